// The edits of AUTOEXEC.BAT, CONFIG.SYS, INI files and an ADDTEXT file on
// the fault-injecting machine: at every failure point of the run each file is
// either as it was or wholly the new one, no temporary file is left, nothing
// is renamed before it reached the disk, and every edit that did not happen
// was named in a warning.
#include "install/sysedit/system_edits.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "install/app/plan_defaults.h"
#include "install/os/host/host_profile.h"
#include "install/ui/host/host_desktop.h"
#include "tests/support/fault_walk.h"
#include "tests/support/faulty_machine.h"
#include "tests/support/fixture_builder.h"

namespace install::sysedit {
namespace {

using test_support::FaultPoint;
using test_support::Outcome;

// The files the run writes, each with the warning that names it when its edit fails.
const std::map<std::string, std::string> kEditedFiles = {
    {"C:\\AUTOEXEC.BAT", "Cannot create file C:\\AUTOEXEC.BAT"},
    {"C:\\CONFIG.SYS", "Cannot create file C:\\CONFIG.SYS"},
    {"C:\\WINDOWS\\QUILL.INI", "Cannot create file C:\\WINDOWS\\QUILL.INI"},
    {"C:\\WINDOWS\\NEW.INI", "Cannot create file C:\\WINDOWS\\NEW.INI"},
    {"C:\\APP\\README.TXT", "Cannot create file README.TXT"},
};
// Files that follow an edited one: the backups hold the old files.
const char* const kBackups[] = {"C:\\AUTOEXEC.BAK", "C:\\CONFIG.BAK"};

struct EditWorld {
  EditWorld() {
    dir.Write("AUTOEXEC.BAT", "@ECHO OFF\r\nPATH C:\\DOS\r\nWIN\r\n");
    dir.Write("CONFIG.SYS", "FILES=20\r\nDEVICE=HIMEM.SYS");
    dir.Write("WINDOWS/QUILL.INI", "[Quill]\r\nHome=C:\\OLD\r\n\r\n[Other]\r\nx=1\r\n");
    dir.Write("APP/README.TXT", "one\r\ntwo\r\n");
    machine.MapDrive('C', dir.path(), os::DriveType::Fixed);
    plan = app::CreateInstallPlan(app::MachineFacts{});
    plan->macros.windows_dir = "C:\\WINDOWS";
    plan->macros.default_dir = "C:\\APP";
    plan->autoexec_edits.mode = script::EditMode::Edit;
    plan->autoexec_edits.add_install_dir = true;
    plan->autoexec_edits.added_lines.push_back(script::MacroText{"SET QUILL=1", true});
    plan->config_edits.mode = script::EditMode::Edit;
    plan->config_edits.files_min = 30;
    script::IniEntry existing;
    existing.section = "Quill";
    existing.key = "Home";
    existing.value = "C:\\APP";
    existing.file = "QUILL.INI";
    plan->ini_edits.push_back(existing);
    script::IniEntry created = existing;
    created.file = "NEW.INI";
    plan->ini_edits.push_back(created);
    script::AddTextEntry insertion;
    insertion.text = "three";
    insertion.file = "README.TXT";
    plan->text_insertions.push_back(insertion);
  }
  void Run() {
    SystemEditServices services{machine, desktop, log, &profile};
    EditSystemFiles(*plan, services);
    InsertTexts(*plan, services);
  }
  std::optional<test_support::FileState> State(const std::string& path) {
    const uint32_t attributes = machine.GetAttributes(path);
    auto local = machine.ToLocal(path);
    auto bytes = local ? test_support::ReadLocalFile(*local) : std::nullopt;
    if (attributes == os::kInvalidAttributes || !bytes) return std::nullopt;
    return test_support::FileState{*bytes, attributes};
  }
  std::vector<std::string> Warnings() const {
    std::vector<std::string> texts;
    for (const auto& message : desktop.Messages()) texts.push_back(message.text);
    return texts;
  }

  test_support::TempDir dir;
  test_support::FaultyMachine machine;
  ui::HostDesktop desktop;
  InstallLog log{machine};  // off: the log's own failures are tested with the log
  os::HostProfile profile{machine};
  std::unique_ptr<script::InstallPlan> plan;
};

TEST(SystemEditsFaults, EveryFileIsOldOrNewAndEveryFailureIsNamed) {
  std::vector<test_support::WrittenFile> files;
  test_support::OperationCounts counts;
  {
    EditWorld world;
    std::vector<std::string> paths;
    for (const auto& [path, warning] : kEditedFiles) paths.push_back(path);
    paths.insert(paths.end(), std::begin(kBackups), std::end(kBackups));
    std::vector<std::optional<test_support::FileState>> before;
    for (const std::string& path : paths) before.push_back(world.State(path));
    world.machine.Arm(FaultPoint{});
    world.Run();
    EXPECT_TRUE(world.Warnings().empty());
    for (std::size_t i = 0; i < paths.size(); ++i) {
      std::optional<test_support::FileState> after = world.State(paths[i]);
      ASSERT_TRUE(after) << paths[i];
      files.push_back(test_support::WrittenFile{paths[i], before[i], *after});
    }
    counts = world.machine.counts();
  }
  ASSERT_GE(counts.writes, 5);
  ASSERT_GE(counts.renames, 5);
  for (const FaultPoint& point : test_support::FailurePointsOf(counts)) {
    SCOPED_TRACE(test_support::Describe(point));
    EditWorld world;
    world.machine.Arm(point);
    world.Run();
    std::vector<std::string> expected_warnings;
    for (const test_support::WrittenFile& file : files) {
      const Outcome outcome = test_support::OutcomeOf(world.machine, file);
      EXPECT_NE(outcome, Outcome::Broken) << file.path;
      auto edited = kEditedFiles.find(file.path);
      if (edited != kEditedFiles.end() && outcome == Outcome::Old) expected_warnings.push_back(edited->second);
    }
    // A backup goes with its file: new beside a new file, old (absent) beside an old one.
    for (std::size_t i = 0; i < std::size(kBackups); ++i) {
      const std::string file = i == 0 ? "C:\\AUTOEXEC.BAT" : "C:\\CONFIG.SYS";
      auto find = [&](const std::string& path) {
        for (const auto& written : files) {
          if (written.path == path) return test_support::OutcomeOf(world.machine, written);
        }
        return Outcome::Broken;
      };
      EXPECT_EQ(find(kBackups[i]), find(file)) << kBackups[i];
    }
    std::vector<std::string> warnings = world.Warnings();
    std::sort(warnings.begin(), warnings.end());
    std::sort(expected_warnings.begin(), expected_warnings.end());
    EXPECT_EQ(warnings, expected_warnings);
    EXPECT_TRUE(test_support::FilesStartingWith(world.dir.path(), {"~Tarsk"}).empty());
    EXPECT_EQ(world.machine.unflushed_renames(), 0);
  }
}

}  // namespace
}  // namespace install::sysedit
