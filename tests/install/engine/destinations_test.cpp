#include "install/engine/destinations.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "install/ui/builtin_texts.h"
#include "install/ui/destination_dialogs.h"
#include "tests/install/engine/run_services_fixture.h"

namespace install::engine {
namespace {

using script::DestinationDir;

class DestinationsTest : public testing::RunServicesFixture {
 protected:
  DestinationServices Services() {
    return DestinationServices{machine_, desktop_, log_, Dialogs(), Expander()};
  }
  void Destination(std::size_t slot, std::string path, int ask_mode, std::string prompt = "") {
    DestinationDir record;
    record.path = std::move(path);
    record.ask_mode = ask_mode;
    record.prompt = prompt;
    record.has_own_prompt = prompt.empty() ? 0 : 1;
    plan_->destinations[slot] = record;
  }
  int Run() { return SetUpDestinations(*plan_, state_, Services()); }
};

TEST(DestinationDialogFields, SplitAndComposeByAskMode) {
  EXPECT_EQ(ui::DestinationTemplateId(1), 250);
  EXPECT_EQ(ui::DestinationTemplateId(2), 300);
  EXPECT_EQ(ui::DestinationTemplateId(3), 350);

  ui::DestinationFields one = ui::SplitDestinationPath(1, "c:\\APPS\\TOOL");
  EXPECT_EQ(one.fixed, "C:\\");
  EXPECT_EQ(one.entry, "APPS\\TOOL");
  EXPECT_EQ(ui::SplitDestinationPath(1, "C:").entry, "");
  ui::DestinationFields two = ui::SplitDestinationPath(2, "C:\\APPS");
  EXPECT_EQ(two.entry, "C");
  EXPECT_EQ(two.fixed, ":\\APPS");
  EXPECT_EQ(ui::SplitDestinationPath(3, "C:\\APPS").entry, "C:\\APPS");

  // Directory only: cut at a space or a comma.
  EXPECT_EQ(ui::DestinationFromEntry(1, "C:\\OLD", "NEW DIR"), "C:\\NEW");
  EXPECT_EQ(ui::DestinationFromEntry(1, "C:\\OLD", "NEW,X"), "C:\\NEW");
  // Drive only: the typed letter on the old path; not a letter: refused.
  EXPECT_EQ(ui::DestinationFromEntry(2, "C:\\APPS\\TOOL", "D"), "D:\\APPS\\TOOL");
  EXPECT_EQ(ui::DestinationFromEntry(2, "C:\\APPS", "1"), std::nullopt);
  EXPECT_EQ(ui::DestinationFromEntry(2, "C:\\APPS", ""), std::nullopt);
  // Drive and directory: spaces stay, a comma cuts; the drive is checked.
  EXPECT_EQ(ui::DestinationFromEntry(3, "C:\\X", "D:\\MY APP,2"), "D:\\MY APP");
  EXPECT_EQ(ui::DestinationFromEntry(3, "C:\\X", "D"), "D");
  EXPECT_EQ(ui::DestinationFromEntry(3, "C:\\X", "D:"), "D:");
  EXPECT_EQ(ui::DestinationFromEntry(3, "C:\\X", "DX"), std::nullopt);
  EXPECT_EQ(ui::DestinationFromEntry(3, "C:\\X", "D:X"), std::nullopt);
  EXPECT_EQ(ui::DestinationFromEntry(3, "C:\\X", "\\APPS"), std::nullopt);
  // The typed text is read up to 497 characters.
  const std::string long_text = "C:\\" + std::string(600, 'A');
  EXPECT_EQ(ui::DestinationFromEntry(3, "C:\\X", long_text)->size(), ui::kDestinationEntryCapacity);
  EXPECT_EQ(ui::DestinationFromEntry(1, "C:\\X", std::string(600, 'A'))->size(), 3 + ui::kDestinationEntryCapacity - 1);
}

TEST_F(DestinationsTest, WithoutDefaultDirAsksForNewFilesOnTheBootDrive) {
  plan_->hard_disk_letter = 'A';
  machine_.SetDriveType('A', os::DriveType::Fixed);
  machine_.SetDriveFreeSpace('A', 123456);
  ASSERT_EQ(Run(), 0);

  ASSERT_EQ(Dialogs().Questions().size(), 1u);
  const ui::DestinationQuestion& asked = Dialogs().Questions()[0];
  EXPECT_EQ(asked.ask_mode, 3);
  EXPECT_EQ(asked.prompt, "Please enter the destination drive and directory:");
  EXPECT_EQ(asked.path, "A:\\NEWFILES");

  EXPECT_EQ(state_.installation_dir, "A:\\NEWFILES");
  EXPECT_EQ(state_.destination_drive, 'A');
  EXPECT_EQ(state_.free_space, 123456);
  EXPECT_EQ(plan_->macros.default_dir, "A:\\NEWFILES");
  EXPECT_EQ(plan_->macros.default_drive, "A");
  EXPECT_EQ(log_.log_path(), "A:\\NEWFILES\\install.log");
  // The dialog created the directory first; DEFAULTDIR follows without an
  // empty line of its own.
  EXPECT_EQ(ReadLocal("A/NEWFILES/install.log"),
            "DIRECTORY: A:\\NEWFILES\r\nDEFAULTDIR: A:\\NEWFILES\r\n");
}

TEST_F(DestinationsTest, EachAskModeShowsItsQuestionAndTakesTheTypedPath) {
  struct Case {
    int mode;
    std::string own_prompt;
    std::string typed;
    std::string expected_prompt;
    std::string expected_dir;
  };
  const Case cases[] = {
      {1, "", "tools, later", "Please enter the destination directory:", "C:\\TOOLS"},
      {2, "", "d", "Please enter the destination drive:", "D:\\APPS\\TOOL"},
      {3, "", "D:\\MY APP,2", "Please enter the destination drive and directory:", "D:\\MY APP"},
      {3, "Where to?", "C:\\OTHER", "Where to?", "C:\\OTHER"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    dialogs_.reset();
    Destination(0, "C:\\APPS\\TOOL", c.mode, c.own_prompt);
    Dialogs().QueueOk(c.typed);
    ASSERT_EQ(Run(), 0);
    ASSERT_EQ(Dialogs().Questions().size(), 1u);
    EXPECT_EQ(Dialogs().Questions()[0].prompt, c.expected_prompt);
    EXPECT_EQ(Dialogs().Questions()[0].path, "C:\\APPS\\TOOL");
    EXPECT_EQ(state_.installation_dir, c.expected_dir);
    EXPECT_EQ(machine_.GetAttributes(c.expected_dir) & os::kAttrDirectory, os::kAttrDirectory);
  }
}

TEST_F(DestinationsTest, UnaskedDefaultDirIsLoggedFirstThenCreated) {
  Destination(0, "C:\\APPS\\TOOL", script::kAskNothing);
  machine_.SetDriveFreeSpace('C', 5'000'000'000ull);
  ASSERT_EQ(Run(), 0);
  EXPECT_TRUE(Dialogs().Questions().empty());
  EXPECT_EQ(state_.installation_dir, "C:\\APPS\\TOOL");
  EXPECT_EQ(state_.free_space, INT32_MAX);  // saturated
  EXPECT_TRUE(std::filesystem::is_directory(Local("C/APPS/TOOL")));
  // DEFAULTDIR waited for the directory and brought its own line end.
  EXPECT_EQ(ReadLocal("C/APPS/TOOL/install.log"),
            "DEFAULTDIR: C:\\APPS\\TOOL\r\n"
            "DIRECTORY: C:\\APPS\r\nDIRECTORY: C:\\APPS\\TOOL\r\n\r\n");
}

TEST_F(DestinationsTest, UnaskedDefaultDirThatExistsGivesTheEmptyLineAfterIt) {
  std::filesystem::create_directories(Local("C/APP"));
  Destination(0, "C:\\APP", script::kAskNothing);
  ASSERT_EQ(Run(), 0);
  EXPECT_EQ(ReadLocal("C/APP/install.log"), "DEFAULTDIR: C:\\APP\r\n\r\n");
}

TEST_F(DestinationsTest, DriveThatCannotBeQueriedStopsWithInvalidDrive) {
  for (bool mapped : {false, true}) {
    SCOPED_TRACE(mapped);
    sysedit::InstallLog fresh_log(machine_);
    fresh_log.set_enabled(true);
    ui::HostDesktop desktop;
    if (mapped) {
      machine_.SetDriveFreeSpace('D', std::nullopt);
      Destination(0, "D:\\APP", script::kAskNothing);
    } else {
      Destination(0, "Q:\\APP", script::kAskNothing);
    }
    DestinationServices services{machine_, desktop, fresh_log, Dialogs(), Expander()};
    EXPECT_EQ(SetUpDestinations(*plan_, state_, services), 1);
    ASSERT_EQ(desktop.Messages().size(), 1u);
    EXPECT_EQ(desktop.Messages()[0].text, std::string(ui::BuiltinPromptTextFor("BADDRIVEPROMPT")));
    EXPECT_EQ(desktop.Messages()[0].caption, " ");
    EXPECT_EQ(desktop.Messages()[0].style, ui::kMbOk | ui::kMbIconWarning);
    // The entry was logged before the drive was found wanting.
    EXPECT_EQ(fresh_log.pending_text(), std::string("DEFAULTDIR: ") + (mapped ? "D" : "Q") + ":\\APP\n");
  }
}

TEST_F(DestinationsTest, DirectoryThatCannotBeCreatedStops) {
  WriteLocal("C/BLOCK", "a file where a directory should go");
  Destination(0, "C:\\BLOCK\\APP", script::kAskNothing);
  EXPECT_EQ(Run(), 1);
  ASSERT_FALSE(desktop_.Messages().empty());
  EXPECT_EQ(desktop_.Messages().back().text, "Invalid directory.");
}

TEST_F(DestinationsTest, CancelAsksToQuitAndNoGoesBackToTheDialog) {
  Destination(0, "C:\\APP", script::kAskDriveAndDirectory);
  Dialogs().QueueCancel();
  desktop_.QueueAnswer(ui::kIdNo);
  Dialogs().QueueOk("D:\\APP");
  ASSERT_EQ(Run(), 0);
  ASSERT_EQ(desktop_.Messages().size(), 1u);
  EXPECT_EQ(desktop_.Messages()[0].text, "Do you wish to quit?");
  EXPECT_EQ(desktop_.Messages()[0].caption, "");
  EXPECT_EQ(desktop_.Messages()[0].style, ui::kMbYesNo | ui::kMbIconWarning);
  EXPECT_EQ(state_.installation_dir, "D:\\APP");

  dialogs_.reset();
  Dialogs().QueueCancel();
  desktop_.QueueAnswer(ui::kIdYes);
  EXPECT_EQ(Run(), 1);
}

TEST_F(DestinationsTest, BadDriveInTheDialogKeepsItOpen) {
  Destination(0, "C:\\APP", script::kAskDriveAndDirectory);
  Dialogs().QueueOk("1:\\APP");
  Dialogs().QueueOk("D:\\APP");
  ASSERT_EQ(Run(), 0);
  ASSERT_EQ(desktop_.Messages().size(), 1u);
  EXPECT_EQ(desktop_.Messages()[0].text, std::string(ui::BuiltinPromptTextFor("BADDRIVEPROMPT")));
  EXPECT_EQ(desktop_.Messages()[0].caption, " ");
  EXPECT_EQ(state_.installation_dir, "D:\\APP");
}

TEST_F(DestinationsTest, DirectoryTheDialogCannotCreateKeepsItOpen) {
  WriteLocal("C/BLOCK", "a file");
  Destination(0, "C:\\BLOCK\\APP", script::kAskDriveAndDirectory);
  Dialogs().QueueOk();           // as proposed: cannot be created
  Dialogs().QueueOk("C:\\APP");  // a second try
  ASSERT_EQ(Run(), 0);
  EXPECT_EQ(desktop_.Messages().at(0).text, "Invalid directory.");
  EXPECT_EQ(state_.installation_dir, "C:\\APP");

  // A host dialog never waits: out of responses it ends as cancelled.
  dialogs_.reset();
  Destination(0, "C:\\BLOCK\\APP", script::kAskDriveAndDirectory);
  EXPECT_EQ(Run(), 1);
}

TEST_F(DestinationsTest, SecondAndThirdDirectoriesSetTheirMacrosWithoutLogOrSpaceQuery) {
  Destination(0, "C:\\APP", script::kAskNothing);
  Destination(1, "$WINDIR$\\SHARED", script::kAskNothing);
  Destination(2, "D:\\DATA", script::kAskDriveOnly);
  Dialogs().QueueOk();  // the drive as shown
  ASSERT_EQ(Run(), 0);
  EXPECT_EQ(plan_->macros.dir2, "C:\\WINDOWS\\SHARED");
  EXPECT_TRUE(std::filesystem::is_directory(Local("C/WINDOWS/SHARED")));
  EXPECT_EQ(plan_->macros.dir3, "D:\\DATA");
  EXPECT_TRUE(std::filesystem::is_directory(Local("D/DATA")));  // made by the dialog
  ASSERT_EQ(Dialogs().Questions().size(), 1u);
  EXPECT_EQ(Dialogs().Questions()[0].prompt, "Please enter the destination drive:");
  EXPECT_EQ(ReadLocal("C/APP/install.log"),
            "DEFAULTDIR: C:\\APP\r\nDIRECTORY: C:\\APP\r\n\r\n"
            "DIRECTORY: C:\\WINDOWS\r\nDIRECTORY: C:\\WINDOWS\\SHARED\r\n\r\n"
            "DIRECTORY: D:\\DATA\r\n\r\n");
  EXPECT_EQ(state_.installation_dir, "C:\\APP");
}

TEST_F(DestinationsTest, SecondDirectoryFailuresStop) {
  WriteLocal("C/BLOCK", "x");
  Destination(0, "C:\\APP", script::kAskNothing);
  Destination(1, "C:\\BLOCK\\SUB", script::kAskNothing);
  EXPECT_EQ(Run(), 1);
  EXPECT_EQ(desktop_.Messages().back().text, "Invalid directory.");

  plan_->destinations[1].reset();
  Destination(2, "C:\\THIRD", script::kAskDirectoryOnly);
  Dialogs().QueueCancel();
  desktop_.QueueAnswer(ui::kIdYes);
  EXPECT_EQ(Run(), 1);
}

}  // namespace
}  // namespace install::engine
