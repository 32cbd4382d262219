#include "install/app/finishing.h"

#include <gtest/gtest.h>

#include "install/app/plan_defaults.h"
#include "install/os/host/host_machine.h"
#include "install/ui/host/host_desktop.h"
#include "tests/support/fault_walk.h"
#include "tests/support/faulty_machine.h"
#include "tests/support/fixture_builder.h"

namespace install::app {
namespace {

class FinishingTest : public ::testing::Test {
 protected:
  FinishingTest() {
    machine_.MapDrive('C', dir_.path(), os::DriveType::Fixed);
    machine_.SetTempPath(std::string("C:\\TEMP\\"));
    plan_ = CreateInstallPlan(MachineFacts{4.0, 7.0, 'C'});
    plan_->macros.Set(script::Macro::DefaultDir, "C:\\APP");
  }
  std::vector<std::string> Started() const {
    std::vector<std::string> lines;
    for (const auto& p : machine_.StartedProcesses()) lines.push_back(p.command_line);
    return lines;
  }
  test_support::TempDir dir_;
  test_support::FaultyMachine machine_;
  ui::HostDesktop desktop_;
  std::unique_ptr<script::InstallPlan> plan_;
};

TEST_F(FinishingTest, TheReadmeOpensInTheInstallationDirectoryUnlessItNamesItsPlace) {
  plan_->readme = "README.TXT";
  EXPECT_EQ(ReadmeCommand(*plan_, "C:\\APP"), "notepad C:\\APP\\README.TXT");
  plan_->readme = "$DEFAULTDIR$\\DOCS\\README.TXT";
  EXPECT_EQ(ReadmeCommand(*plan_, "C:\\APP"), "notepad C:\\APP\\DOCS\\README.TXT");
  plan_->readme = "\\README.TXT";
  EXPECT_EQ(ReadmeCommand(*plan_, "C:\\APP"), "notepad \\README.TXT");
  plan_->readme = "\"D:\\MY DOCS\\README.TXT\"";
  EXPECT_EQ(ReadmeCommand(*plan_, "C:\\APP"), "notepad \"D:\\MY DOCS\\README.TXT\"");
  plan_->readme = "\"READ ME.TXT\"";
  EXPECT_EQ(ReadmeCommand(*plan_, "C:\\APP"), "notepad C:\\APP\\\"READ ME.TXT\"");
}

TEST_F(FinishingTest, AtExitTheReadmeAndCommandsStartAndNoToTheRestartEndsWithoutOne) {
  plan_->readme = "README.TXT";
  plan_->run_at_exit = {{"C:\\APP\\SETUP2.EXE /Q"}, {""}};
  plan_->reboot_mode = script::kRebootSystem;
  desktop_.QueueAnswer(ui::kIdNo);
  FinishRun(*plan_, "C:\\APP", "C:\\TEMP\\~0000.exe", machine_, desktop_);
  EXPECT_EQ(Started(), (std::vector<std::string>{"notepad C:\\APP\\README.TXT", "C:\\APP\\SETUP2.EXE /Q"}));
  ASSERT_EQ(desktop_.Messages().size(), 1u);
  EXPECT_EQ(desktop_.Messages()[0].text, "Do you wish to reboot?");
  EXPECT_EQ(desktop_.Messages()[0].style, ui::kMbYesNo | ui::kMbIconQuestion);
  EXPECT_EQ(plan_->reboot_mode, script::kRebootNone);
  EXPECT_TRUE(machine_.RestartRequests().empty());
}

TEST_F(FinishingTest, ARestartDeletesTheCleanUpFilesAndAsksThePrivilegeOnlyOnNt35) {
  dir_.Write("TEMP/~0000.bat", "@ECHO OFF\n");
  dir_.Write("TEMP/~0000.pif", "pif");
  dir_.Write("TEMP/~0000.exe", "exe");
  plan_->reboot_mode = script::kRebootWindows;
  FinishRun(*plan_, "C:\\APP", "C:\\TEMP\\~0000.exe", machine_, desktop_);  // Yes by default
  EXPECT_EQ(machine_.RestartRequests(), (std::vector<bool>{false}));
  EXPECT_FALSE(std::filesystem::exists(dir_.path() / "TEMP/~0000.bat"));
  EXPECT_FALSE(std::filesystem::exists(dir_.path() / "TEMP/~0000.pif"));
  EXPECT_TRUE(std::filesystem::exists(dir_.path() / "TEMP/~0000.exe"));

  plan_->windows_version = 3.51;
  RestartSystem(*plan_, "C:\\TEMP\\~0000.exe", machine_);
  EXPECT_EQ(machine_.RestartRequests(), (std::vector<bool>{false, true}));
  plan_->reboot_mode = script::kRebootNone;
  RestartSystem(*plan_, "C:\\TEMP\\~0000.exe", machine_);
  EXPECT_EQ(machine_.RestartRequests().size(), 2u);
}

TEST_F(FinishingTest, TheUninstallerIsHandedOverAndTheTemporaryCopyCleansUp) {
  dir_.Write("APP/remvalt.exe", "uninstaller");
  dir_.Write("WINDOWS/remvalt.exe", "old");
  machine_.SetWindowsDirectory("C:\\WINDOWS");
  plan_->uninstall = 1;
  archive::SourceReader sources(machine_);
  ReleaseAtProcessEnd(*plan_, "C:\\APP", "C:\\TEMP\\~0000.exe", machine_, sources);
  EXPECT_EQ(test_support::ReadLocalFile(dir_.path() / "WINDOWS/remvalt.exe"),
            test_support::BytesOf("uninstaller"));
  EXPECT_EQ(Started(), (std::vector<std::string>{"C:\\TEMP\\~0000.pif /C C:\\TEMP\\~0000.bat"}));
  EXPECT_EQ(machine_.StartedProcesses()[0].show, os::kShowHide);

  // Not the temporary copy, no uninstaller to copy: nothing happens, the old copy stays.
  dir_.Write("WINDOWS/remvalt.exe", "old");
  std::filesystem::remove(dir_.path() / "APP/remvalt.exe");
  ReleaseAtProcessEnd(*plan_, "C:\\APP", "A:\\SETUP.EXE", machine_, sources);
  EXPECT_EQ(machine_.StartedProcesses().size(), 1u);
  EXPECT_EQ(test_support::ReadLocalFile(dir_.path() / "WINDOWS/remvalt.exe"), test_support::BytesOf("old"));
}

TEST_F(FinishingTest, TheCopyCleansUpTheFilesBesideItAndNoOthers) {
  // A copy that took the next free name, in a directory with a space.
  for (const char* name : {"MY TEMP/~0000002.bat", "MY TEMP/~0000002.pif", "MY TEMP/~0000.bat", "MY TEMP/~0000.pif"}) {
    dir_.Write(name, "x");
  }
  plan_->reboot_mode = script::kRebootWindows;
  RestartSystem(*plan_, "C:\\MY TEMP\\~0000002.exe", machine_);
  EXPECT_FALSE(std::filesystem::exists(dir_.path() / "MY TEMP/~0000002.bat"));
  EXPECT_FALSE(std::filesystem::exists(dir_.path() / "MY TEMP/~0000002.pif"));
  EXPECT_TRUE(std::filesystem::exists(dir_.path() / "MY TEMP/~0000.bat"));
  // An installer that is not a temporary copy deletes nothing.
  dir_.Write("TEMP/~0000.bat", "someone else's");
  RestartSystem(*plan_, "A:\\SETUP.EXE", machine_);
  EXPECT_TRUE(std::filesystem::exists(dir_.path() / "TEMP/~0000.bat"));
  EXPECT_EQ(machine_.RestartRequests().size(), 2u);

  archive::SourceReader sources(machine_);
  ReleaseAtProcessEnd(*plan_, "C:\\APP", "C:\\MY TEMP\\~0000002.exe", machine_, sources);
  EXPECT_EQ(Started(), (std::vector<std::string>{"\"C:\\MY TEMP\\~0000002.pif\" /C \"C:\\MY TEMP\\~0000002.bat\""}));
}

// Every failure point of handing the uninstaller over: the Windows
// directory's copy is the old one or the whole new one, and no temporary
// file stays beside it.
TEST_F(FinishingTest, EveryFailurePointOfTheUninstallerHandOver) {
  const test_support::Bytes uninstaller(70000, 0x55);
  machine_.SetWindowsDirectory("C:\\WINDOWS");
  plan_->uninstall = 1;
  const test_support::WrittenFile copy{"C:\\WINDOWS\\remvalt.exe",
                                       test_support::FileState{test_support::BytesOf("old"), os::kAttrArchive},
                                       test_support::FileState{uninstaller, os::kAttrArchive}};
  auto run = [&](const test_support::FaultPoint& point) {
    ASSERT_TRUE(test_support::WriteLocalFile(dir_.path() / "APP/remvalt.exe", uninstaller));
    ASSERT_TRUE(test_support::WriteLocalFile(dir_.path() / "WINDOWS/remvalt.exe", test_support::BytesOf("old")));
    machine_.Arm(point);
    archive::SourceReader sources(machine_);
    ReleaseAtProcessEnd(*plan_, "C:\\APP", "A:\\SETUP.EXE", machine_, sources);
  };
  run(test_support::FaultPoint{});
  EXPECT_EQ(test_support::OutcomeOf(machine_, copy), test_support::Outcome::New);
  const test_support::OperationCounts counts = machine_.counts();
  ASSERT_GE(counts.writes, 3);
  for (const test_support::FaultPoint& point : test_support::FailurePointsOf(counts)) {
    SCOPED_TRACE(test_support::Describe(point));
    run(point);
    EXPECT_TRUE(machine_.fired());
    EXPECT_NE(test_support::OutcomeOf(machine_, copy), test_support::Outcome::Broken);
    EXPECT_EQ(test_support::FilesStartingWith(dir_.path() / "WINDOWS", {"remvalt.exe."}), std::vector<std::string>{});
  }
}

TEST_F(FinishingTest, AServerThatDoesNotRegisterIsReportedUnderItsOwnPath) {
  dir_.Write("APP/GOOD.DLL", "dll");
  dir_.Write("APP/BAD.DLL", "dll");
  machine_.SetRegisterResult("C:\\APP\\BAD.DLL", 5);
  EXPECT_TRUE(RegisterServer(machine_, desktop_, "C:\\APP\\GOOD.DLL"));
  EXPECT_FALSE(RegisterServer(machine_, desktop_, "C:\\APP\\BAD.DLL"));
  EXPECT_FALSE(RegisterServer(machine_, desktop_, "C:\\APP\\NONE.DLL"));
  ASSERT_EQ(desktop_.Messages().size(), 2u);
  EXPECT_EQ(desktop_.Messages()[0].text, "C:\\APP\\BAD.DLL has not been successfully registered.");
  EXPECT_EQ(desktop_.Messages()[0].caption, "C:\\APP\\BAD.DLL");
  EXPECT_EQ(desktop_.Messages()[0].style, ui::kMbOk);
  EXPECT_EQ(machine_.RegisteredServers(), (std::vector<std::string>{"C:\\APP\\GOOD.DLL"}));
}

}  // namespace
}  // namespace install::app
