// A modal question dialog of the installer: a text screen, an ASK question, a
// group page or a destination question. It centres itself on the screen; OK
// calls OnOk, which may keep it open; Cancel and Escape ask QUITPROMPT and
// only a Yes closes it (kIdCancel). While it is up, the desktop's message
// boxes are owned by it, so that a message keeps the dialog waiting.
//
// A dialog that cannot be created counts as cancelled.
#pragma once

#include "install/os/win32/windows_api.h"

#include <cstdint>
#include <vector>

#include "install/ui/builtin_texts.h"
#include "install/ui/win32/win32_desktop.h"

namespace install::ui {

class QuestionDialog {
 public:
  // `quit_caption`: the caption of the quit question ("" or " "); nullptr
  // when Cancel and Escape close the dialog without asking (the exit
  // message, which has only OK).
  QuestionDialog(Win32Desktop& desktop, const PromptTexts& texts, const char* quit_caption)
      : desktop_(desktop), texts_(texts), quit_caption_(quit_caption) {}
  QuestionDialog(const QuestionDialog&) = delete;
  QuestionDialog& operator=(const QuestionDialog&) = delete;
  virtual ~QuestionDialog() = default;

  // Shows the dialog of the program's resource `resource_id`, or of an
  // in-memory template; returns kIdOk or kIdCancel when it has closed.
  int RunResource(int resource_id);
  int RunTemplate(const std::vector<uint8_t>& bytes);

  void AttachWindow(HWND hwnd) { hwnd_ = hwnd; }
  INT_PTR OnDialogMessage(UINT message, WPARAM wparam, LPARAM lparam);

 protected:
  // After centring: fill the controls.
  virtual void OnInit() {}
  // OK was pressed: true closes the dialog with kIdOk.
  virtual bool OnOk() { return true; }
  // A command from another control.
  virtual void OnCommand(int id, int notification) {}
  // Paint the controls' backgrounds in the system window colour.
  void PaintControlsOnWindowColour() { window_colour_controls_ = true; }

  HWND hwnd() const { return hwnd_; }
  Win32Desktop& desktop() { return desktop_; }
  const PromptTexts& texts() const { return texts_; }

 private:
  int Finish(INT_PTR result, HWND previous_owner);
  void OnCancel();

  Win32Desktop& desktop_;
  const PromptTexts& texts_;
  const char* quit_caption_;
  bool window_colour_controls_ = false;
  HWND hwnd_ = nullptr;
};

}  // namespace install::ui
