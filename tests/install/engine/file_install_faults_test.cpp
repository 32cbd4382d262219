// Every failure point of the installer's copy and volume extraction, walked
// on the fault-injecting machine: a dry run counts the operations, then one
// run per failure point (each in a fresh directory) checks that every file is
// either as it was, attributes included, or wholly the new one; that no
// temporary file is left; that a failure is reported; and that the install
// log holds whole lines and names exactly the files that were replaced.
#include "install/engine/file_install.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "install/engine/create_directories.h"
#include "install/ui/host/host_desktop.h"
#include "tests/support/fault_walk.h"
#include "tests/support/faulty_machine.h"
#include "tests/support/fixture_builder.h"

namespace install::engine {
namespace {

using script::FileEntry;
using script::OverwriteMode;
using test_support::Bytes;
using test_support::BytesOf;
using test_support::Fault;
using test_support::FaultPoint;
using test_support::FileState;
using test_support::Outcome;
using test_support::WrittenFile;

constexpr uint32_t kDate1995 = (15u << 9) | (8u << 5) | 24u;
constexpr uint32_t kNoon = 12u << 11;
constexpr const char* kEarlierLog = "FILE: C:\\APP\\EARLIER.TXT\r\n";

class NoDisks : public archive::NextDiskRequester {
 public:
  int RequestNextDisk(bool) override { return 1; }
};

Bytes Pattern(size_t size, uint8_t seed) {
  Bytes out(size);
  uint32_t x = seed * 2654435761u + 1;
  for (size_t i = 0; i < size; ++i) {
    x = x * 1103515245u + 12345u;
    out[i] = (i % 5 == 0) ? uint8_t(x >> 16) : uint8_t('A' + i % 11);
  }
  return out;
}

// One installation world in a fresh directory: source disk A:, hard disk C:
// with C:\APP, an install log that already holds an earlier entry.
struct World {
  World() {
    std::filesystem::create_directories(dir.path() / "disk1");
    std::filesystem::create_directories(dir.path() / "hd" / "APP");
    machine.MapDrive('A', dir.path() / "disk1", os::DriveType::Removable, "DISK1");
    machine.MapDrive('C', dir.path() / "hd", os::DriveType::Fixed, "HARDDISK");
    dir.Write("hd/APP/install.log", std::string(kEarlierLog));
    state.installation_dir = "C:\\APP";
    state.source_dir = "A:";
    log.set_enabled(true);
    log.SetLogPath("C:\\APP");
    log.ReportFailuresTo(&desktop);
  }

  // Puts an existing file on the hard disk with `attributes`.
  void PutOld(const std::string& relative, const Bytes& bytes, uint32_t attributes) {
    dir.Write("hd/" + relative, bytes);
    std::string path = "C:\\" + relative;
    for (char& c : path) {
      if (c == '/') c = '\\';
    }
    EXPECT_TRUE(machine.SetAttributes(path, attributes));
  }
  void PutSource(const std::string& name, const Bytes& bytes) {
    dir.Write("disk1/" + name, bytes);
    EXPECT_TRUE(machine.SetDosFileTime("A:\\" + name, os::DosDateTime{kDate1995, kNoon}));
  }
  std::string LogText() {
    auto bytes = test_support::ReadLocalFile(dir.path() / "hd" / "APP" / "install.log");
    return bytes ? std::string(bytes->begin(), bytes->end()) : "<none>";
  }

  test_support::TempDir dir;
  test_support::FaultyMachine machine;
  ui::HostDesktop desktop;
  archive::SourceReader sources{machine};
  NoDisks disks;
  archive::ProgressHooks progress;
  archive::VolumeSetReader volumes{sources, desktop, disks, progress};
  sysedit::InstallLog log{machine};
  EngineState state;
  FileInstaller installer{machine, desktop, sources, volumes, disks, progress, log, state};
};

// A scenario: fills a fresh world, returns the files its run writes; the run
// returns true when the installation went on.
struct Scenario {
  std::function<std::vector<WrittenFile>(World&)> prepare;
  std::function<bool(World&)> run;
};

// True when `text` holds `line` as a whole line (the last one may lack its end).
bool HasLine(const std::string& text, const std::string& line) {
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string found = text.substr(start, end - start);
    if (!found.empty() && found.back() == '\r') found.pop_back();
    if (found == line) return true;
    start = end + 1;
  }
  return false;
}

// Checks one finished run. `point` is the fault that was armed (None for the
// dry run).
void CheckRun(World& world, const std::vector<WrittenFile>& files, bool went_on, const FaultPoint& point) {
  const bool fired = world.machine.fired();
  if (point.fault != Fault::None) {
    EXPECT_TRUE(fired) << "the fault was never reached";
  }
  if (!went_on) {
    EXPECT_FALSE(world.desktop.Messages().empty()) << "a failure without a message";
  }
  const std::string log_text = world.LogText();
  EXPECT_TRUE(test_support::IsWholeLines(log_text)) << log_text;
  EXPECT_EQ(log_text.rfind(kEarlierLog, 0), 0u) << "the earlier entries changed: " << log_text;
  const std::string logged = log_text + world.log.pending_text();
  for (const WrittenFile& file : files) {
    const Outcome outcome = test_support::OutcomeOf(world.machine, file);
    SCOPED_TRACE(file.path);
    EXPECT_NE(outcome, Outcome::Broken) << "neither the old file nor the new one";
    const bool in_log = HasLine(logged, "FILE: " + file.path);
    EXPECT_EQ(in_log, outcome == Outcome::New) << test_support::NameOf(outcome) << ", log:\n" << logged;
    if (point.fault == Fault::None) {
      EXPECT_EQ(outcome, Outcome::New);
    }
  }
  // A fault that did not stop the run and was not reported must have done no
  // harm: every file in place and its entry in the log file.
  if (fired && went_on && world.desktop.Messages().empty()) {
    EXPECT_EQ(world.log.pending_text(), "") << "a fault passed unnoticed";
    for (const WrittenFile& file : files) {
      EXPECT_EQ(test_support::OutcomeOf(world.machine, file), Outcome::New) << "a fault passed unnoticed";
    }
  }
  EXPECT_EQ(test_support::FilesStartingWith(world.dir.path() / "hd", {"~INS"}), std::vector<std::string>{});
}

void WalkEveryFailurePoint(const Scenario& scenario) {
  test_support::OperationCounts counts;
  {
    World world;
    const std::vector<WrittenFile> files = scenario.prepare(world);
    world.machine.Arm(FaultPoint{});
    const bool went_on = scenario.run(world);
    ASSERT_TRUE(went_on);
    EXPECT_TRUE(world.desktop.Messages().empty()) << world.desktop.Messages()[0].text;
    CheckRun(world, files, went_on, FaultPoint{});
    EXPECT_EQ(world.machine.unflushed_renames(), 0) << "a file was committed before it was flushed";
    counts = world.machine.counts();
  }
  ASSERT_GT(counts.writes, 2);
  ASSERT_GT(counts.renames, 0);
  for (const FaultPoint& point : test_support::FailurePointsOf(counts)) {
    SCOPED_TRACE(test_support::Describe(point));
    World world;
    const std::vector<WrittenFile> files = scenario.prepare(world);
    world.machine.Arm(point);
    const bool went_on = scenario.run(world);
    CheckRun(world, files, went_on, point);
  }
}

FileEntry AllFiles(uint8_t attributes) {
  FileEntry entry;
  entry.name = "*.*";
  entry.overwrite = OverwriteMode::Yes;
  entry.attributes = attributes;
  return entry;
}

TEST(FileInstallFaults, PlainCopiesOverGuardedAndIntoNewFiles) {
  const Bytes big = Pattern(70000, 1);  // three writes of the copy buffer
  const Bytes small = BytesOf("new help text\r\n");
  const Bytes old_big = BytesOf("the old program");
  constexpr uint32_t kGuarded = os::kAttrReadOnly | os::kAttrHidden | os::kAttrSystem;
  Scenario scenario;
  scenario.prepare = [&](World& world) {
    world.PutSource("BIG.BIN", big);
    world.PutSource("HELP.TXT", small);
    world.PutOld("APP/BIG.BIN", old_big, kGuarded);
    return std::vector<WrittenFile>{
        {"C:\\APP\\BIG.BIN", FileState{old_big, kGuarded}, FileState{big, os::kAttrArchive}},
        {"C:\\APP\\HELP.TXT", std::nullopt, FileState{small, os::kAttrArchive}},
    };
  };
  scenario.run = [](World& world) {
    return world.installer.InstallEntryFiles(AllFiles(script::kFileAttrArchive)) == kEntryContinue;
  };
  WalkEveryFailurePoint(scenario);
}

TEST(FileInstallFaults, VolumeSetMembersOverAReadOnlyFileAndIntoASubdirectory) {
  const Bytes first = BytesOf("first member, replacing a read-only file\r\n");
  const Bytes second = Pattern(20000, 2);  // several 4096-byte writes of the decoder
  const Bytes old_first = BytesOf("read-only original");
  Scenario scenario;
  scenario.prepare = [&](World& world) {
    std::vector<test_support::VolumeMember> members = {
        test_support::ImplodedMember("ONE.TXT", first, kDate1995, kNoon),
        test_support::ImplodedMember("SUB\\TWO.BIN", second, kDate1995, kNoon),
    };
    auto volumes = test_support::BuildVolumeSet(members);
    EXPECT_EQ(volumes.size(), 1u);
    EXPECT_TRUE(test_support::WriteVolumeSet(world.dir.path() / "disk1", volumes));
    world.PutOld("APP/ONE.TXT", old_first, os::kAttrReadOnly);
    return std::vector<WrittenFile>{
        {"C:\\APP\\ONE.TXT", FileState{old_first, os::kAttrReadOnly}, FileState{first, 0}},
        {"C:\\APP\\SUB\\TWO.BIN", std::nullopt, FileState{second, 0}},  // normal: no bits
    };
  };
  scenario.run = [](World& world) {
    return world.installer.InstallFile("C:\\APP\\DATA.1", "A:\\DATA.1", OverwriteMode::Yes,
                                       os::kAttrNormal) == kInstallDone;
  };
  WalkEveryFailurePoint(scenario);
}

}  // namespace
}  // namespace install::engine
