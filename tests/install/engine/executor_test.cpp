#include "install/engine/executor.h"

#include <gtest/gtest.h>

#include "install/os/host/host_system_info.h"
#include "tests/install/engine/run_services_fixture.h"

namespace install::engine {
namespace {

class ExecutorTest : public testing::RunServicesFixture {
 protected:
  ExecutorTest() {
    plan_->destinations[0] = script::DestinationDir{};
    plan_->destinations[0]->ask_mode = 0;
    plan_->destinations[0]->path = "C:\\APP";
    WriteLocal("A/SETUP/ONE.TXT", "one");
    WriteLocal("A/SETUP/TWO.TXT", "two");
  }
  script::FileEntry File(const std::string& name, uint16_t group_item = script::kNoGroup) {
    script::FileEntry entry;
    entry.name = name;
    entry.overwrite = script::OverwriteMode::Yes;
    entry.groups[0] = group_item;
    ++plan_->file_count;
    return entry;
  }
  script::FileEntry Disk(const std::string& name) {
    script::FileEntry entry;
    entry.kind = script::FileEntryKind::DiskChange;
    entry.name = name;
    return entry;
  }
  int Run() {
    RunServices services{machine_, system_, desktop_, Dialogs(), sources_, log_, {}};
    InstallExecutor executor(*plan_, services);
    const int result = executor.Run();
    progress_ = executor.state().progress;
    return result;
  }
  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const auto& m : desktop_.Messages()) texts.push_back(m.text);
    return texts;
  }

  os::HostSystemInfo system_;
  archive::SourceReader sources_{machine_};
  ByteProgress progress_;
};

TEST_F(ExecutorTest, AWholeRunInstallsTheSelectedFilesInOrderAndExpandsTheExitCommands) {
  plan_->group_selected[0] = 0;
  plan_->file_list = {File("ONE.TXT"), File("TWO.TXT", 0)};
  plan_->run_at_exit.push_back({"$DEFAULTDIR$\\RUN.EXE"});
  plan_->reboot_mode = script::kRebootWindows;
  EXPECT_EQ(Run(), kRunCompleted);
  EXPECT_EQ(ReadLocal("C/APP/ONE.TXT"), "one");
  EXPECT_FALSE(ExistsLocal("C/APP/TWO.TXT"));  // its group was not chosen
  EXPECT_EQ(plan_->run_at_exit[0].command, "C:\\APP\\RUN.EXE");
  EXPECT_EQ(plan_->reboot_mode, script::kRebootWindows);
  const std::vector<std::string>& shown = desktop_.Shown();
  ASSERT_GE(shown.size(), 3u);
  EXPECT_EQ(shown.front(), "progress-open 2");
  EXPECT_EQ(shown[1], "file Installing file: ONE.TXT");
  EXPECT_EQ(shown.back(), "progress-close");
}

TEST_F(ExecutorTest, TheProcessorRequirementStopsOnlyAnOlderProcessor) {
  system_.SetProcessorType(486);
  plan_->min_cpu = 586;
  plan_->reboot_mode = script::kRebootSystem;
  EXPECT_EQ(Run(), kRunStopped);
  EXPECT_EQ(Texts(), (std::vector<std::string>{
                         "This application requires a computer with a processor no less than: 586"}));
  EXPECT_EQ(plan_->reboot_mode, script::kRebootNone);  // a stop never restarts

  system_.SetProcessorType(386);
  plan_->min_cpu = 386;
  EXPECT_EQ(Run(), kRunCompleted);
}

TEST_F(ExecutorTest, DiskSpaceIsTestedOnlyAgainstANeedAndSetsTheByteTotal) {
  machine_.SetDriveFreeSpace('C', 1000);
  plan_->disk_space = 0;
  EXPECT_EQ(Run(), kRunCompleted);  // no need: no test, even on a nearly full disk
  EXPECT_FALSE(progress_.Counts());

  plan_->disk_space = 100;  // a need of 100 bytes or less leaves byte progress off
  EXPECT_EQ(Run(), kRunCompleted);
  EXPECT_EQ(progress_.total, -1);

  plan_->disk_space = 800;
  EXPECT_EQ(Run(), kRunCompleted);
  EXPECT_EQ(progress_.total, 800);
  plan_->progress_total = 5000;  // PROGRESSBAR wins
  EXPECT_EQ(Run(), kRunCompleted);
  EXPECT_EQ(progress_.total, 5000);

  plan_->disk_space = 2000;
  EXPECT_EQ(Run(), kRunStopped);
  EXPECT_EQ(Texts().back(), "Not enough disk space on the destination drive for installation.");
}

TEST_F(ExecutorTest, ADiskBeforeOnlyUnselectedFilesIsNotAskedFor) {
  plan_->file_list = {Disk("Disk 1"), File("TWO.TXT", 0), Disk("Disk 2"), File("ONE.TXT")};
  EXPECT_EQ(Run(), kRunCompleted);
  EXPECT_EQ(Texts(), (std::vector<std::string>{"Please insert Disk 2"}));
  EXPECT_EQ(ReadLocal("C/APP/ONE.TXT"), "one");
}

TEST_F(ExecutorTest, CancellingTheLastScreenKeepsTheFilesButMakesNoDeletions) {
  plan_->file_list = {File("ONE.TXT")};
  plan_->last_screen = script::DialogTemplate{};
  plan_->deletions.push_back({"ONE.TXT"});
  desktop_.QueueReply({ui::kIdCancel, {}, {}});  // then Yes to the quit question
  EXPECT_EQ(Run(), kRunStopped);
  EXPECT_EQ(ReadLocal("C/APP/ONE.TXT"), "one");
  EXPECT_EQ(Texts(), (std::vector<std::string>{"Do you wish to quit?"}));
}

TEST_F(ExecutorTest, ACancelDuringTheCopyStopsBeforeTheNextFile) {
  plan_->file_list = {File("ONE.TXT"), File("TWO.TXT")};
  desktop_.RequestCancelAfter(0);
  EXPECT_EQ(Run(), kRunStopped);
  EXPECT_FALSE(ExistsLocal("C/APP/TWO.TXT"));
  EXPECT_EQ(desktop_.Shown().back(), "progress-close");
}

}  // namespace
}  // namespace install::engine
