// How the installer talks to the user. The engine never touches windows
// directly; it calls this interface. ui/win32 implements it with the real main
// window and dialogs; ui/host answers from a list of responses and records
// what was shown.
//
// The question dialogs (text screens, ASK questions, group pages) return
// kIdOk, or kIdCancel only after the user confirmed quitting: their Cancel
// button and Escape ask QUITPROMPT through ConfirmQuit, and a No keeps the
// dialog open. Their checks (an empty group choice) are made by the dialog,
// which shows the message and stays open.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "install/ui/builtin_texts.h"

namespace install::ui {

// Message box styles and answers (the values of MB_* and ID*).
enum : unsigned {
  kMbOk = 0x0000,
  kMbOkCancel = 0x0001,
  kMbYesNo = 0x0004,
  kMbIconWarning = 0x0030,
  kMbIconInformation = 0x0040,
  kMbIconQuestion = 0x0020,
  kMbIconStop = 0x0010,
};
enum : int { kIdOk = 1, kIdCancel = 2, kIdYes = 6, kIdNo = 7 };

// A dialog the script built from one of its text blocks: the template bytes
// (DLGTEMPLATE layout, see script/dialog_template.h) and its text lines, for
// desktops without windows.
struct ScriptDialog {
  const std::vector<uint8_t>* bytes = nullptr;
  std::vector<std::string> lines;
};

enum class TextScreen { First, Last };

// One page of the group selection: its template (one check box, or one radio
// button when exclusive, per group, ids 100, 101, ...), the groups' names in
// that order, and the buttons' state.
struct GroupPageView {
  ScriptDialog dialog;
  std::vector<std::string> names;
  bool exclusive = false;
};

class Desktop {
 public:
  virtual ~Desktop() = default;
  // Shows a message box owned by the main window. `caption` nullptr means the
  // system's default caption. Returns the button pressed (kIdOk, ...).
  virtual int MessageBox(const std::string& text, const char* caption, unsigned style) = 0;
  // The please-wait box with `text` (LOCATEPROMPT) drawn on the backdrop,
  // which is shown maximised first, while the drives are searched for a file.
  // Returns at once; nothing closes the box: it goes with the backdrop's
  // next repaint.
  virtual void ShowPleaseWait(const std::string& text) = 0;
  // Lets waiting window messages run (keeps the windows responsive during long
  // work). Returns true when the user asked to cancel.
  virtual bool PumpMessages() = 0;

  // --- Questions ---
  // The first or last screen. kIdOk or kIdCancel (quit confirmed).
  virtual int ShowTextScreen(TextScreen which, const ScriptDialog& dialog,
                             const PromptTexts& texts) = 0;
  // Question `number` (1..5) of the ASK lines, `answer` holding the default.
  // kIdOk with the answer as typed (TrimAnswer is applied by the caller), or
  // kIdCancel (quit confirmed).
  virtual int AskQuestion(int number, const std::string& prompt, std::string* answer,
                          const PromptTexts& texts) = 0;
  // One group page; `checked` holds the state the page opens with (see
  // InitialGroupChecks) and receives the state at OK. The dialog refuses OK
  // with nothing checked (NOGROUPPROMPT). kIdOk or kIdCancel (quit confirmed).
  virtual int ChooseGroups(const GroupPageView& page, std::vector<bool>* checked,
                           const PromptTexts& texts) = 0;
  // The disk-change prompt: `text` in an OK/Cancel box. kIdOk when the user
  // says the disk is in, kIdCancel otherwise.
  virtual int PromptForDisk(const std::string& text) = 0;

  // --- Copy phase ---
  // The progress window (one at a time), counting `step_total` FILE entries
  // unless byte counts are passed.
  virtual void OpenProgress(int step_total, const PromptTexts& texts) = 0;
  // Items 101 and 103: the copy prompt and the file (shown upper-cased).
  virtual void ShowProgressFile(const std::string& prompt, const std::string& file) = 0;
  // A progress refresh: `step_done` when a FILE entry was finished; byte
  // counts when they count (total above 0), else total 0.
  virtual void UpdateProgress(bool step_done, int64_t bytes_done, int64_t bytes_total) = 0;
  virtual void CloseProgress() = 0;
  // A pop-up message window replacing the current one; ClosePopup closes it.
  virtual void ShowPopup(const ScriptDialog& dialog) = 0;
  virtual void ClosePopup() = 0;
};

// Asks QUITPROMPT (Yes/No, warning icon, `caption`); true when Yes.
bool ConfirmQuit(Desktop& desktop, const PromptTexts& texts, const char* caption = "");

}  // namespace install::ui
