// The installer's question dialogs on real windows under Wine: text screens,
// the exit message, ASK questions, group pages and the disk prompt. A timer
// plays the user: it reads the controls, types, clicks and answers the quit
// question.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "install/os/win32/windows_api.h"
#include "install/script/win32/win32_screen_presenter.h"
#include "install/ui/dialog_rules.h"
#include "install/ui/win32/dialog_resources.h"
#include "install/ui/win32/win32_desktop.h"
#include "tests/install/win32/dialog_driver.h"
#include "tests/install/win32/screen_templates.h"
#include "tests/install/win32/window_shot.h"

namespace install::ui {
namespace {

using testing::Click;
using testing::DialogDriver;
using testing::FrameOf;
using testing::IsChecked;
using testing::ItemTextOf;
using testing::MessageText;
using testing::Press;
using testing::PressEscape;
using testing::ScreenOptions;
using testing::ScreenTemplate;
using testing::StaticTexts;
using testing::TextOf;
using testing::Type;
using testing::CaptureWindow;
using testing::SaveShot;

// A Win32 desktop that also notes every message box it shows.
class RecordingDesktop : public Win32Desktop {
 public:
  struct Box {
    std::string text;
    std::string caption;
    unsigned style;
    int answer;
    HWND owner;
  };
  int MessageBox(const std::string& text, const char* caption, unsigned style) override {
    const HWND owner = this->owner();
    const int answer = Win32Desktop::MessageBox(text, caption, style);
    boxes.push_back(Box{text, caption ? caption : "(default)", style, answer, owner});
    return answer;
  }
  std::vector<Box> boxes;
};

bool IsCentred(HWND hwnd) {
  const RECT frame = FrameOf(hwnd);
  const int x = (GetSystemMetrics(SM_CXSCREEN) - (frame.right - frame.left)) / 2;
  const int y = (GetSystemMetrics(SM_CYSCREEN) - (frame.bottom - frame.top)) / 2;
  return frame.left == x && frame.top == y;
}

// A step that expects the quit question and answers it.
DialogDriver::Step AnswerQuit(const PromptTexts& texts, int answer, const char* caption) {
  return [&texts, answer, caption](HWND box) {
    EXPECT_EQ(MessageText(box), texts.quit);
    EXPECT_EQ(TextOf(box), caption);
    Press(box, answer);
  };
}

TEST(TextScreenDialogTest, ShowsItsLinesCentredAndOkCloses) {
  RecordingDesktop desktop;
  PromptTexts texts;
  const std::vector<uint8_t> bytes = ScreenTemplate({"Welcome to the set-up.", "", "  Press OK."},
                                                    ScreenOptions{.ok_text = "Go", .cancel_text = "Stop"});
  DialogDriver driver;
  driver.Then([&](HWND dialog) {
    EXPECT_EQ(StaticTexts(dialog), (std::vector<std::string>{"Welcome to the set-up.", "  Press OK."}));
    EXPECT_EQ(ItemTextOf(dialog, IDOK), "Go");
    EXPECT_EQ(ItemTextOf(dialog, IDCANCEL), "Stop");
    EXPECT_TRUE(IsCentred(dialog));
    EXPECT_EQ(desktop.owner(), dialog);  // message boxes now belong to the dialog
    SaveShot(CaptureWindow(dialog), "install-text-screen");
    Press(dialog, IDOK);
  });
  EXPECT_EQ(desktop.ShowTextScreen(TextScreen::First, ScriptDialog{&bytes, {}}, texts), kIdOk);
  EXPECT_TRUE(driver.done());
  EXPECT_TRUE(desktop.boxes.empty());
  EXPECT_EQ(desktop.owner(), nullptr);  // given back
}

TEST(TextScreenDialogTest, CancelAndEscapeAskToQuitAndOnlyYesCloses) {
  RecordingDesktop desktop;
  PromptTexts texts;
  texts.quit = "Really stop now?";
  const std::vector<uint8_t> bytes = ScreenTemplate({"The last screen."});
  HWND screen = nullptr;
  DialogDriver driver;
  driver.Then([&](HWND dialog) { screen = dialog; Press(dialog, IDCANCEL); })
      .Then(AnswerQuit(texts, IDNO, ""))
      .Then([&](HWND dialog) { EXPECT_EQ(dialog, screen); PressEscape(dialog); })
      .Then(AnswerQuit(texts, IDYES, ""));
  EXPECT_EQ(desktop.ShowTextScreen(TextScreen::Last, ScriptDialog{&bytes, {}}, texts), kIdCancel);
  ASSERT_EQ(desktop.boxes.size(), 2u);
  EXPECT_EQ(desktop.boxes[0].style, kMbYesNo | kMbIconWarning);
  EXPECT_EQ(desktop.boxes[0].caption, "");
  EXPECT_EQ(desktop.boxes[0].owner, screen);
  EXPECT_EQ(desktop.boxes[0].answer, kIdNo);
  EXPECT_EQ(desktop.boxes[1].answer, kIdYes);
}

TEST(TextScreenDialogTest, MissingTemplateCountsAsCancelled) {
  RecordingDesktop desktop;
  PromptTexts texts;
  EXPECT_EQ(desktop.ShowTextScreen(TextScreen::First, ScriptDialog{}, texts), kIdCancel);
  const std::vector<uint8_t> empty;
  EXPECT_EQ(desktop.ShowTextScreen(TextScreen::First, ScriptDialog{&empty, {}}, texts), kIdCancel);
}

TEST(ExitMessageTest, ShownFromItsTemplateWithTheOkButtonOnly) {
  RecordingDesktop desktop;
  script::Win32ScreenPresenter presenter(desktop);
  script::DialogTemplate dialog;
  dialog.bytes = ScreenTemplate({"This program needs a newer system."},
                                ScreenOptions{.kind = script::ScreenKind::ExitMessage, .ok_text = "Fine"});
  {
    DialogDriver driver;
    driver.Then([&](HWND shown) {
      EXPECT_EQ(StaticTexts(shown), (std::vector<std::string>{"This program needs a newer system."}));
      EXPECT_EQ(ItemTextOf(shown, IDOK), "Fine");
      EXPECT_EQ(GetDlgItem(shown, IDCANCEL), nullptr);
      EXPECT_TRUE(IsCentred(shown));
      Press(shown, IDOK);
    });
    presenter.ShowExitMessage(dialog, {});
    EXPECT_TRUE(driver.done());
  }
  {
    // Escape closes it too, without a quit question.
    DialogDriver driver;
    driver.Then([](HWND shown) { PressEscape(shown); });
    presenter.ShowExitMessage(dialog, {});
    EXPECT_TRUE(driver.done());
  }
  EXPECT_TRUE(desktop.boxes.empty());
}

TEST(AskDialogTest, ShowsTheSplitPromptAndTheDefaultAndTakesTheTypedText) {
  RecordingDesktop desktop;
  PromptTexts texts;
  texts.ok = "Weiter";
  texts.cancel = "Abbruch";
  const std::string prompt = "Please enter the name of the directory where the files go";
  std::string answer = "Joe";
  DialogDriver driver;
  driver.Then([&](HWND dialog) {
    const PromptLines lines = SplitPrompt(prompt);
    EXPECT_EQ(ItemTextOf(dialog, IDC_PROMPT_FIRST), "Please enter the name of the directory where");
    EXPECT_EQ(ItemTextOf(dialog, IDC_PROMPT_SECOND), lines.second);
    EXPECT_EQ(ItemTextOf(dialog, IDC_ASK_ANSWER), "Joe");
    EXPECT_EQ(ItemTextOf(dialog, IDOK), "Weiter");
    EXPECT_EQ(ItemTextOf(dialog, IDCANCEL), "Abbruch");
    EXPECT_TRUE(IsCentred(dialog));
    // The controls are painted on the system window colour.
    HDC dc = GetDC(dialog);
    const LRESULT brush = SendMessageA(dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                       reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_PROMPT_SECOND)));
    EXPECT_EQ(reinterpret_cast<HBRUSH>(brush), desktop.window_brush());
    EXPECT_EQ(GetBkColor(dc), GetSysColor(COLOR_WINDOW));
    ReleaseDC(dialog, dc);
    SaveShot(CaptureWindow(dialog), "install-ask");
    Type(dialog, IDC_ASK_ANSWER, "  , (yes)");
    Press(dialog, IDOK);
  });
  EXPECT_EQ(desktop.AskQuestion(2, prompt, &answer, texts), kIdOk);
  EXPECT_EQ(answer, "  , (yes)");  // as typed; the caller trims it
  EXPECT_EQ(TrimAnswer(answer), "yes)");
}

TEST(AskDialogTest, ShortPromptOnTheSecondLineAndAnswersCutAtTheirCapacity) {
  RecordingDesktop desktop;
  PromptTexts texts;
  std::string answer;
  DialogDriver driver;
  driver.Then([&](HWND dialog) {
    EXPECT_EQ(ItemTextOf(dialog, IDC_PROMPT_FIRST), "");
    EXPECT_EQ(ItemTextOf(dialog, IDC_PROMPT_SECOND), "Your name?");
    EXPECT_EQ(ItemTextOf(dialog, IDC_ASK_ANSWER), "");
    EXPECT_EQ(ItemTextOf(dialog, IDOK), "OK");
    Type(dialog, IDC_ASK_ANSWER, std::string(600, 'n'));
    Press(dialog, IDOK);
  });
  EXPECT_EQ(desktop.AskQuestion(1, "Your name?", &answer, texts), kIdOk);
  EXPECT_EQ(answer, std::string(kAnswerCapacity, 'n'));
}

TEST(AskDialogTest, CancelAsksWithASpaceCaptionAndKeepsTheAnswerWhenQuitting) {
  RecordingDesktop desktop;
  PromptTexts texts;
  std::string answer = "kept";
  HWND ask = nullptr;
  DialogDriver driver;
  driver.Then([&](HWND dialog) { ask = dialog; Type(dialog, IDC_ASK_ANSWER, "typed"); Press(dialog, IDCANCEL); })
      .Then(AnswerQuit(texts, IDNO, " "))
      .Then([&](HWND dialog) {
        EXPECT_EQ(dialog, ask);
        EXPECT_EQ(ItemTextOf(dialog, IDC_ASK_ANSWER), "typed");
        PostMessageA(dialog, WM_CLOSE, 0, 0);  // the close box counts as Cancel
      })
      .Then(AnswerQuit(texts, IDYES, " "));
  EXPECT_EQ(desktop.AskQuestion(3, "Company?", &answer, texts), kIdCancel);
  EXPECT_EQ(answer, "kept");
  ASSERT_EQ(desktop.boxes.size(), 2u);
  EXPECT_EQ(desktop.boxes[1].caption, " ");
  EXPECT_EQ(desktop.boxes[1].style, kMbYesNo | kMbIconWarning);
}

std::vector<uint8_t> GroupTemplate(bool exclusive, int first_item) {
  return ScreenTemplate({"Choose what to install:", "01 [X] Program files", "Extras:",
                         "02 [ ] Samples", "03 [X] Help"},
                        ScreenOptions{.kind = script::ScreenKind::GroupPage, .exclusive = exclusive,
                                      .first_item = first_item});
}

TEST(GroupDialogTest, ChecksThePreselectionAndRefusesAnEmptyChoice) {
  RecordingDesktop desktop;
  PromptTexts texts;
  texts.no_group = "Pick at least one.";
  const std::vector<uint8_t> bytes = GroupTemplate(false, 2);  // the second page: ids 102..104
  GroupPageView page{ScriptDialog{&bytes, {}}, {"Program files", "Samples", "Help"}, false};
  std::vector<bool> checked = InitialGroupChecks({true, false, true}, false);
  HWND groups = nullptr;
  DialogDriver driver;
  driver
      .Then([&](HWND dialog) {
        groups = dialog;
        EXPECT_TRUE(IsCentred(dialog));
        EXPECT_EQ(ItemTextOf(dialog, 102), " Program files");
        EXPECT_TRUE(IsChecked(dialog, 102));
        EXPECT_FALSE(IsChecked(dialog, 103));
        EXPECT_TRUE(IsChecked(dialog, 104));
        SaveShot(CaptureWindow(dialog), "install-group-page");
        Click(dialog, 102);
        Click(dialog, 104);
        EXPECT_FALSE(IsChecked(dialog, 102));
        Press(dialog, IDOK);
      })
      .Then([&](HWND box) {
        EXPECT_EQ(MessageText(box), "Pick at least one.");
        EXPECT_EQ(TextOf(box), " ");
        Press(box, IDOK);
      })
      .Then([&](HWND dialog) {
        EXPECT_EQ(dialog, groups);  // still open
        Click(dialog, 103);
        Click(dialog, 104);
        Press(dialog, IDOK);
      });
  EXPECT_EQ(desktop.ChooseGroups(page, &checked, texts), kIdOk);
  EXPECT_EQ(checked, (std::vector<bool>{false, true, true}));
  ASSERT_EQ(desktop.boxes.size(), 1u);
  EXPECT_EQ(desktop.boxes[0].style, kMbOk | kMbIconWarning);
  EXPECT_EQ(desktop.boxes[0].owner, groups);
}

TEST(GroupDialogTest, ExclusivePageKeepsOneRadioButtonAcrossTheStaticLines) {
  RecordingDesktop desktop;
  PromptTexts texts;
  const std::vector<uint8_t> bytes = GroupTemplate(true, 0);
  GroupPageView page{ScriptDialog{&bytes, {}}, {"Program files", "Samples", "Help"}, true};
  std::vector<bool> checked = InitialGroupChecks({true, false, true}, true);
  DialogDriver driver;
  driver.Then([&](HWND dialog) {
    char name[32] = "";
    GetClassNameA(GetDlgItem(dialog, 100), name, sizeof name);
    EXPECT_EQ(std::string(name), "Button");
    EXPECT_EQ(GetWindowLongA(GetDlgItem(dialog, 100), GWL_STYLE) & BS_TYPEMASK, BS_AUTORADIOBUTTON);
    EXPECT_TRUE(IsChecked(dialog, 100));
    EXPECT_FALSE(IsChecked(dialog, 101));
    EXPECT_FALSE(IsChecked(dialog, 102));  // only the first pre-selected group
    Click(dialog, 101);  // "Extras:" stands between 100 and 101
    EXPECT_FALSE(IsChecked(dialog, 100));
    EXPECT_TRUE(IsChecked(dialog, 101));
    Click(dialog, 102);
    EXPECT_FALSE(IsChecked(dialog, 101));
    EXPECT_TRUE(IsChecked(dialog, 102));
    SaveShot(CaptureWindow(dialog), "install-group-page-exclusive");
    Press(dialog, IDOK);
  });
  EXPECT_EQ(desktop.ChooseGroups(page, &checked, texts), kIdOk);
  EXPECT_EQ(checked, (std::vector<bool>{false, false, true}));
}

TEST(GroupDialogTest, ExclusivePageWithoutDefaultOpensEmptyAndCancelQuits) {
  RecordingDesktop desktop;
  PromptTexts texts;
  const std::vector<uint8_t> bytes = ScreenTemplate(
      {"01 [ ] Full", "02 [ ] Small"},
      ScreenOptions{.kind = script::ScreenKind::GroupPage, .exclusive = true});
  GroupPageView page{ScriptDialog{&bytes, {}}, {"Full", "Small"}, true};
  std::vector<bool> checked = InitialGroupChecks({false, false}, true);
  DialogDriver driver;
  driver
      .Then([&](HWND dialog) {
        EXPECT_FALSE(IsChecked(dialog, 100));
        EXPECT_FALSE(IsChecked(dialog, 101));
        PressEscape(dialog);
      })
      .Then(AnswerQuit(texts, IDYES, ""));
  EXPECT_EQ(desktop.ChooseGroups(page, &checked, texts), kIdCancel);
  EXPECT_EQ(checked, (std::vector<bool>{false, false}));
}

TEST(DiskPromptTest, OkCancelBoxWithABlankCaptionAndTheInformationIcon) {
  RecordingDesktop desktop;
  const std::string text = "Please insert disk 2.";
  DialogDriver driver;
  driver.Then([&](HWND box) {
    EXPECT_EQ(MessageText(box), text);
    EXPECT_EQ(TextOf(box), " ");
    EXPECT_NE(GetDlgItem(box, IDOK), nullptr);
    EXPECT_NE(GetDlgItem(box, IDCANCEL), nullptr);
    Press(box, IDCANCEL);
  }).Then([&](HWND box) { Press(box, IDOK); });
  EXPECT_EQ(desktop.PromptForDisk(text), kIdCancel);
  EXPECT_EQ(desktop.PromptForDisk(text), kIdOk);
  ASSERT_EQ(desktop.boxes.size(), 2u);
  EXPECT_EQ(desktop.boxes[0].style, kMbOkCancel | kMbIconInformation);
  EXPECT_EQ(desktop.boxes[0].caption, " ");
}

}  // namespace
}  // namespace install::ui
