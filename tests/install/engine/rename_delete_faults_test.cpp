// RENAME and DELETE on the fault-injecting machine: every failure point of a
// rename to another drive (the old target kept aside until the new file is in
// place) and of deleting a read-only file, each checked for files that are
// either as they were or wholly changed, no file left aside, and a log that
// names exactly the renames that happened.
#include "install/engine/rename_delete.h"

#include <gtest/gtest.h>

#include <memory>

#include "install/app/plan_defaults.h"
#include "install/ui/host/host_desktop.h"
#include "tests/support/fault_walk.h"
#include "tests/support/faulty_machine.h"
#include "tests/support/fixture_builder.h"

namespace install::engine {
namespace {

using test_support::BytesOf;
using test_support::Fault;
using test_support::FaultPoint;
using test_support::FileState;
using test_support::Outcome;
using test_support::WrittenFile;

constexpr const char* kRenamed = "RENAME: D:\\OUT\\NEW.TXT, C:\\APP\\OLD.TXT";

struct World {
  World() {
    for (const char* drive : {"C/APP", "D/OUT"}) std::filesystem::create_directories(dir.path() / drive);
    machine.MapDrive('C', dir.path() / "C", os::DriveType::Fixed);
    machine.MapDrive('D', dir.path() / "D", os::DriveType::Fixed);
    machine.SetCurrentDirectory("C:\\");
    plan = app::CreateInstallPlan(app::MachineFacts{});
    state.installation_dir = "C:\\APP";
    log.set_enabled(true);
    log.SetLogPath("C:\\APP");
    log.ReportFailuresTo(&desktop);
  }
  FileOperationServices Services() { return FileOperationServices{machine, desktop, log, nullptr}; }
  void Put(const std::string& drive_relative, const std::string& text, uint32_t attributes) {
    dir.Write(drive_relative, text);
    std::string path = drive_relative.substr(0, 1) + ":\\" + drive_relative.substr(2);
    for (char& c : path) {
      if (c == '/') c = '\\';
    }
    EXPECT_TRUE(machine.SetAttributes(path, attributes));
  }
  std::string Logged() {
    auto bytes = test_support::ReadLocalFile(dir.path() / "C" / "APP" / "install.log");
    return (bytes ? std::string(bytes->begin(), bytes->end()) : std::string()) + log.pending_text();
  }

  test_support::TempDir dir;
  test_support::FaultyMachine machine;
  ui::HostDesktop desktop;
  sysedit::InstallLog log{machine};
  EngineState state;
  std::unique_ptr<script::InstallPlan> plan;
};

// OLD.TXT on C: renamed over a hidden NEW.TXT on D:.
struct CrossDriveRename {
  static constexpr uint32_t kHidden = os::kAttrHidden | os::kAttrArchive;
  void Prepare(World& world) {
    world.Put("C/APP/OLD.TXT", "moved across", os::kAttrArchive);
    world.Put("D/OUT/NEW.TXT", "old target", kHidden);
  }
  void Run(World& world) {
    ApplyRename(script::RenameEntry{"C:\\APP\\OLD.TXT", "D:\\OUT\\NEW.TXT"}, *world.plan, world.Services());
  }
  const WrittenFile old_file{"C:\\APP\\OLD.TXT", FileState{BytesOf("moved across"), os::kAttrArchive}, {}};
  const WrittenFile target{"D:\\OUT\\NEW.TXT", FileState{BytesOf("old target"), kHidden},
                           FileState{BytesOf("moved across"), os::kAttrArchive}};
};

TEST(RenameDeleteFaults, EveryFailurePointOfARenameToAnotherDrive) {
  CrossDriveRename rename;
  test_support::OperationCounts counts;
  {
    World world;
    rename.Prepare(world);
    world.machine.Arm(FaultPoint{});
    rename.Run(world);
    EXPECT_EQ(test_support::OutcomeOf(world.machine, rename.target), Outcome::New);
    EXPECT_EQ(world.Logged(), std::string(kRenamed) + "\r\n");
    counts = world.machine.counts();
  }
  ASSERT_GE(counts.renames, 3);  // the replacing move that cannot cross drives, aside, across
  for (const FaultPoint& point : test_support::FailurePointsOf(counts)) {
    SCOPED_TRACE(test_support::Describe(point));
    World world;
    rename.Prepare(world);
    world.machine.Arm(point);
    rename.Run(world);
    ASSERT_TRUE(world.machine.fired());
    const Outcome target = test_support::OutcomeOf(world.machine, rename.target);
    const bool source_there = world.machine.GetAttributes("C:\\APP\\OLD.TXT") != os::kInvalidAttributes;
    const std::string logged = world.Logged();
    if (target == Outcome::Old) {
      // Not renamed: both files as they were, nothing logged, no message (a
      // RENAME that cannot be done is passed over).
      EXPECT_EQ(test_support::OutcomeOf(world.machine, rename.old_file), Outcome::Old);
      EXPECT_EQ(logged, "");
      EXPECT_TRUE(world.desktop.Messages().empty());
    } else {
      EXPECT_EQ(target, Outcome::New);
      EXPECT_FALSE(source_there);
      EXPECT_NE(logged.find(kRenamed), std::string::npos) << logged;
    }
    EXPECT_EQ(test_support::FilesStartingWith(world.dir.path(), {"~REN"}), std::vector<std::string>{});
  }
}

TEST(RenameDeleteFaults, AnOldTargetThatCannotBePutBackIsNamedAndLogged) {
  CrossDriveRename rename;
  World world;
  rename.Prepare(world);
  // The move across fails, and so does every way of putting the old file back.
  world.machine.Arm(FaultPoint{Fault::FailRename, 3});
  world.machine.AlsoArm(FaultPoint{Fault::FailRename, 4});
  world.machine.AlsoArm(FaultPoint{Fault::FailRename, 5});
  rename.Run(world);
  const std::vector<std::string> aside = test_support::FilesStartingWith(world.dir.path() / "D" / "OUT", {"~REN"});
  ASSERT_EQ(aside.size(), 1u);
  EXPECT_EQ(test_support::ReadLocalFile(world.dir.path() / "D" / "OUT" / aside[0]), BytesOf("old target"));
  EXPECT_EQ(test_support::OutcomeOf(world.machine, rename.old_file), Outcome::Old);
  const std::string aside_path = "D:\\OUT\\" + aside[0];
  ASSERT_EQ(world.desktop.Messages().size(), 1u);
  EXPECT_EQ(world.desktop.Messages()[0].text, "Cannot create file D:\\OUT\\NEW.TXT. The file it was to replace is kept as " + aside_path);
  // The uninstaller puts it back: a rename from the old name to the aside one.
  EXPECT_EQ(world.Logged(), "RENAME: " + aside_path + ", D:\\OUT\\NEW.TXT\r\n");
}

TEST(RenameDeleteFaults, EveryFailurePointOfDeletingAReadOnlyFile) {
  constexpr uint32_t kReadOnly = os::kAttrReadOnly | os::kAttrArchive;
  const WrittenFile file{"C:\\APP\\RO.TXT", FileState{BytesOf("read-only"), kReadOnly}, {}};
  auto prepare = [](World& world) {
    world.Put("C/APP/RO.TXT", "read-only", kReadOnly);
    world.Put("C/APP/PLAIN.TXT", "plain", os::kAttrArchive);
  };
  auto run = [](World& world) {
    ApplyDelete(script::DeleteEntry{"RO.TXT"}, world.state, world.Services());
    ApplyDelete(script::DeleteEntry{"C:\\APP\\PLAIN.*"}, world.state, world.Services());
  };
  test_support::OperationCounts counts;
  {
    World world;
    prepare(world);
    world.machine.Arm(FaultPoint{});
    run(world);
    EXPECT_EQ(world.machine.GetAttributes("C:\\APP\\RO.TXT"), os::kInvalidAttributes);
    EXPECT_EQ(world.machine.GetAttributes("C:\\APP\\PLAIN.TXT"), os::kInvalidAttributes);
    counts = world.machine.counts();
  }
  ASSERT_GE(counts.deletes, 3);  // refused (read-only), after clearing, the plain one
  for (const FaultPoint& point : test_support::FailurePointsOf(counts)) {
    SCOPED_TRACE(test_support::Describe(point));
    World world;
    prepare(world);
    world.machine.Arm(point);
    run(world);
    // Deleted, or still there with its attributes.
    const Outcome outcome = test_support::OutcomeOf(world.machine, file);
    EXPECT_TRUE(outcome == Outcome::Old || world.machine.GetAttributes(file.path) == os::kInvalidAttributes)
        << test_support::NameOf(outcome);
  }
}

}  // namespace
}  // namespace install::engine
