// The Desktop over real windows: message boxes, the question dialogs, the
// progress dialog and the pop-up message windows, all owned by the main
// window, and the message pump that keeps the windows alive during long work.
//
// Message boxes are owned by the window set with SetOwner: the main window,
// or the question dialog that is up while one is shown. A question dialog
// that cannot be created counts as cancelled.
#pragma once

#include "install/os/win32/windows_api.h"

#include <cstdint>
#include <memory>
#include <vector>

#include "install/ui/desktop.h"
#include "install/ui/dialog_placement.h"
#include "install/ui/progress_meter.h"
#include "install/ui/win32/gdi_handles.h"

namespace install::ui {

class MainWindow;
class PopupWindow;
class ProgressWindow;

class Win32Desktop : public Desktop {
 public:
  Win32Desktop();
  Win32Desktop(const Win32Desktop&) = delete;
  Win32Desktop& operator=(const Win32Desktop&) = delete;
  ~Win32Desktop() override;

  // The owner of message boxes and dialogs; none until the main window exists.
  void SetOwner(HWND owner) { owner_ = owner; }
  HWND owner() const { return owner_; }
  // The main window: it becomes the owner, and progress refreshes (WM_USER)
  // and file names (WM_USER+3) go to the progress dialog through it. Without
  // one they are sent to the progress dialog directly.
  void SetMainWindow(MainWindow* window);
  // Set when the user confirmed quitting from the progress dialog.
  void RequestCancel() { cancel_requested_ = true; }
  bool cancel_requested() const { return cancel_requested_; }
  // A brush of the system window colour, for the dialogs' controls.
  HBRUSH window_brush() const { return window_brush_.get(); }

  // The exit message from its template (OK only); returns when it was closed.
  void ShowExitMessage(const std::vector<uint8_t>& bytes);

  // The progress dialog and the pop-up message window now up, or null.
  HWND progress_window() const;
  HWND popup_window() const;
  // The progress dialog's figures; null while there is none.
  const ProgressMeter* progress_meter() const;
  const PopupTrace& popup_trace() const { return popup_trace_; }

  int MessageBox(const std::string& text, const char* caption, unsigned style) override;
  bool PumpMessages() override;
  // Sends WM_USER+5 to the main window with `text` as its locate text;
  // nothing without a main window.
  void ShowPleaseWait(const std::string& text) override;
  int ShowTextScreen(TextScreen which, const ScriptDialog& dialog, const PromptTexts& texts) override;
  int AskQuestion(int number, const std::string& prompt, std::string* answer,
                  const PromptTexts& texts) override;
  int ChooseGroups(const GroupPageView& page, std::vector<bool>* checked,
                   const PromptTexts& texts) override;
  // MessageBox(text, " ", OK/Cancel, information icon).
  int PromptForDisk(const std::string& text) override;
  void OpenProgress(int step_total, const PromptTexts& texts) override;
  void ShowProgressFile(const std::string& prompt, const std::string& file) override;
  void UpdateProgress(bool step_done, int64_t bytes_done, int64_t bytes_total) override;
  void CloseProgress() override;
  void ShowPopup(const ScriptDialog& dialog) override;
  void ClosePopup() override;

 private:
  // The quit question of the progress dialog, owned by that dialog.
  bool ConfirmQuitFromProgress(const PromptTexts& texts);

  HWND owner_ = nullptr;
  MainWindow* main_window_ = nullptr;
  bool cancel_requested_ = false;
  BrushObject window_brush_;
  std::unique_ptr<ProgressWindow> progress_;
  std::unique_ptr<PopupWindow> popup_;
  PopupTrace popup_trace_;
};

}  // namespace install::ui
