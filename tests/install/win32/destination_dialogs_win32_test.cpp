// The destination dialogs 250, 300 and 350 on real windows under Wine: the
// path split over their fields, what OK makes of the typed text, the bad
// drive and the directory that cannot be created, and Cancel.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "install/os/win32/windows_api.h"
#include "install/ui/win32/dialog_resources.h"
#include "install/ui/win32/win32_desktop.h"
#include "install/ui/win32/win32_destination_dialogs.h"
#include "tests/install/win32/dialog_driver.h"
#include "tests/install/win32/window_shot.h"

namespace install::ui {
namespace {

using testing::DialogDriver;
using testing::FrameOf;
using testing::ItemTextOf;
using testing::MessageText;
using testing::Press;
using testing::PressEscape;
using testing::TextOf;
using testing::Type;
using testing::CaptureWindow;
using testing::SaveShot;

class DestinationDialogTest : public ::testing::Test {
 protected:
  DestinationDialogTest()
      : dialogs_(desktop_, texts_, [this](const std::string& path) {
          created_.push_back(path);
          return failures_left_ > 0 ? (--failures_left_, 1) : 0;
        }) {}

  int Ask(int mode, const std::string& path, const std::string& prompt = "") {
    return dialogs_.AskDestination(DestinationQuestion{mode, prompt, path}, &chosen_);
  }

  Win32Desktop desktop_;
  PromptTexts texts_;
  Win32DestinationDialogs dialogs_;
  std::vector<std::string> created_;
  int failures_left_ = 0;
  std::string chosen_ = "(untouched)";
};

TEST_F(DestinationDialogTest, DirectoryOnlyShowsTheDriveApartAndCutsAtASpace) {
  texts_.ok = "Install";
  texts_.cancel = "Leave";
  DialogDriver driver;
  driver.Then([&](HWND dialog) {
    EXPECT_EQ(ItemTextOf(dialog, IDC_PROMPT_FIRST), "");
    EXPECT_EQ(ItemTextOf(dialog, IDC_PROMPT_SECOND), "Please enter the destination directory:");
    EXPECT_EQ(ItemTextOf(dialog, IDC_DESTINATION_DRIVE), "C:\\");
    EXPECT_EQ(ItemTextOf(dialog, IDC_DESTINATION_ENTRY), "APPS\\TOOL");
    EXPECT_EQ(ItemTextOf(dialog, IDOK), "Install");
    EXPECT_EQ(ItemTextOf(dialog, IDCANCEL), "Leave");
    EXPECT_EQ(GetDlgItem(dialog, IDC_DESTINATION_REST), nullptr);
    EXPECT_TRUE(GetWindowLongA(GetDlgItem(dialog, IDC_DESTINATION_DRIVE), GWL_STYLE) & ES_READONLY);
    EXPECT_TRUE(GetWindowLongA(GetDlgItem(dialog, IDC_DESTINATION_ENTRY), GWL_STYLE) & ES_UPPERCASE);
    const RECT frame = FrameOf(dialog);
    EXPECT_EQ(frame.left, (GetSystemMetrics(SM_CXSCREEN) - (frame.right - frame.left)) / 2);
    SaveShot(CaptureWindow(dialog), "install-destination-directory");
    Type(dialog, IDC_DESTINATION_ENTRY, "MY APP");
    Press(dialog, IDOK);
  });
  EXPECT_EQ(Ask(1, "c:\\APPS\\TOOL"), kDestinationConfirmed);
  EXPECT_EQ(chosen_, "c:\\MY");
  EXPECT_EQ(created_, (std::vector<std::string>{"c:\\MY"}));
}

TEST_F(DestinationDialogTest, DriveOnlyRefusesADigitAndPutsTheDriveBack) {
  texts_.bad_drive = "No such drive.";
  const std::string prompt = "Choose the drive on which the program and all of its data will go";
  DialogDriver driver;
  driver
      .Then([&](HWND dialog) {
        EXPECT_EQ(ItemTextOf(dialog, IDC_PROMPT_FIRST), "Choose the drive on which the program and all");
        EXPECT_EQ(ItemTextOf(dialog, IDC_PROMPT_SECOND), "of its data will go");
        EXPECT_EQ(ItemTextOf(dialog, IDC_DESTINATION_ENTRY), "D");
        EXPECT_EQ(ItemTextOf(dialog, IDC_DESTINATION_REST), ":\\GAMES");
        EXPECT_EQ(GetDlgItem(dialog, IDC_DESTINATION_DRIVE), nullptr);
        SaveShot(CaptureWindow(dialog), "install-destination-drive");
        Type(dialog, IDC_DESTINATION_ENTRY, "5");
        Press(dialog, IDOK);
      })
      .Then([&](HWND box) {
        EXPECT_EQ(MessageText(box), "No such drive.");
        EXPECT_EQ(TextOf(box), " ");
        Press(box, IDOK);
      })
      .Then([&](HWND dialog) {
        EXPECT_EQ(ItemTextOf(dialog, IDC_DESTINATION_ENTRY), "D");  // put back
        Type(dialog, IDC_DESTINATION_ENTRY, "e");
        Press(dialog, IDOK);
      });
  EXPECT_EQ(Ask(2, "D:\\GAMES", prompt), kDestinationConfirmed);
  EXPECT_EQ(chosen_, "E:\\GAMES");
  EXPECT_EQ(created_, (std::vector<std::string>{"E:\\GAMES"}));
}

TEST_F(DestinationDialogTest, DriveAndDirectoryChecksTheDriveAndKeepsSpaces) {
  DialogDriver driver;
  driver
      .Then([&](HWND dialog) {
        // The default prompt is longer than a line.
        EXPECT_EQ(ItemTextOf(dialog, IDC_PROMPT_FIRST), "Please enter the destination drive and");
        EXPECT_EQ(ItemTextOf(dialog, IDC_PROMPT_SECOND), "directory:");
        EXPECT_EQ(ItemTextOf(dialog, IDC_DESTINATION_ENTRY), "C:\\NEWFILES");
        SaveShot(CaptureWindow(dialog), "install-destination-path");
        Type(dialog, IDC_DESTINATION_ENTRY, "C:APP");
        Press(dialog, IDOK);
      })
      .Then([&](HWND box) {
        EXPECT_EQ(MessageText(box), "Invalid drive specification.");
        Press(box, IDOK);
      })
      .Then([&](HWND dialog) {
        EXPECT_EQ(ItemTextOf(dialog, IDC_DESTINATION_ENTRY), "C:\\NEWFILES");
        Type(dialog, IDC_DESTINATION_ENTRY, "C:\\MY APP,2");
        Press(dialog, IDOK);
      });
  EXPECT_EQ(Ask(3, "C:\\NEWFILES"), kDestinationConfirmed);
  EXPECT_EQ(chosen_, "C:\\MY APP");
  EXPECT_EQ(created_, (std::vector<std::string>{"C:\\MY APP"}));
}

TEST_F(DestinationDialogTest, ADirectoryThatCannotBeCreatedKeepsTheDialogOpen) {
  failures_left_ = 1;  // the creator shows its own message; none here
  HWND first = nullptr;
  DialogDriver driver;
  driver
      .Then([&](HWND dialog) {
        first = dialog;
        Type(dialog, IDC_DESTINATION_ENTRY, "Q:\\LOCKED");
        Press(dialog, IDOK);
      })
      .Then([&](HWND dialog) {
        EXPECT_EQ(dialog, first);
        EXPECT_EQ(ItemTextOf(dialog, IDC_DESTINATION_ENTRY), "C:\\");
        Type(dialog, IDC_DESTINATION_ENTRY, "C:");  // a bare drive is accepted
        Press(dialog, IDOK);
      });
  EXPECT_EQ(Ask(3, "C:\\"), kDestinationConfirmed);
  EXPECT_EQ(chosen_, "C:");
  EXPECT_EQ(created_, (std::vector<std::string>{"Q:\\LOCKED", "C:"}));
}

TEST_F(DestinationDialogTest, CancelAsksToQuitAndLeavesThePathAlone) {
  texts_.quit = "Quit the set-up?";
  DialogDriver driver;
  driver.Then([](HWND dialog) { Press(dialog, IDCANCEL); })
      .Then([&](HWND box) {
        EXPECT_EQ(MessageText(box), "Quit the set-up?");
        EXPECT_EQ(TextOf(box), "");
        Press(box, IDNO);
      })
      .Then([](HWND dialog) {
        EXPECT_NE(GetDlgItem(dialog, IDC_DESTINATION_ENTRY), nullptr);  // the dialog again
        PressEscape(dialog);
      })
      .Then([](HWND box) { Press(box, IDYES); });
  EXPECT_EQ(Ask(1, "C:\\APPS"), kDestinationCancelled);
  EXPECT_EQ(chosen_, "(untouched)");
  EXPECT_TRUE(created_.empty());
}

TEST_F(DestinationDialogTest, OtherModesKeepThePathWithoutADialog) {
  EXPECT_EQ(Ask(0, "C:\\KEEP"), kDestinationConfirmed);
  EXPECT_EQ(chosen_, "C:\\KEEP");
  EXPECT_TRUE(created_.empty());
}

}  // namespace
}  // namespace install::ui
