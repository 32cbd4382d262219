// The progress dialog (template 100), modeless, for the whole copy phase:
// the copy prompt and the file being copied (items 101 and 103), the bar in
// the area of item 102 with its percentage drawn inverted where the bar has
// passed, and Cancel, which asks QUITPROMPT and on Yes ends the copying.
// Refreshes arrive as WM_USER (wParam 1: a step is complete), passed on by
// the main window.
#pragma once

#include "install/os/win32/windows_api.h"

#include <cstdint>
#include <functional>
#include <string>

#include "install/ui/dialog_placement.h"
#include "install/ui/progress_meter.h"

namespace install::ui {

inline constexpr UINT kProgressUpdateMessage = WM_USER;

// Items 101 and 103 of a progress dialog: the prompt, and the file name with
// ASCII letters in upper case.
void ShowCopyFileLine(HWND progress, const std::string& prompt, const std::string& file);

// Draws the bar in `bar` at `percent` with `font`: blue with a white label up
// to the split, white with a blue label after it.
void PaintProgressBar(HDC dc, const RECT& bar, int percent, HFONT font);

class ProgressWindow {
 public:
  struct Settings {
    int step_total = 0;
    std::string cancel_text;      // CANCELPROMPT
    PopupTrace popup;             // where the last pop-up window went
    HBRUSH window_brush = nullptr;  // the controls' background
    // Asks whether to quit; true on Yes.
    std::function<bool()> confirm_quit;
    // The user confirmed quitting; the dialog closes after this.
    std::function<void()> on_quit;
  };

  ProgressWindow() = default;
  ProgressWindow(const ProgressWindow&) = delete;
  ProgressWindow& operator=(const ProgressWindow&) = delete;
  ~ProgressWindow() { Destroy(); }

  // Creates and shows the dialog owned by `owner`. False when it could not be
  // created.
  bool Create(HWND owner, Settings settings);
  void Destroy();
  // The dialog, or null once it is closed.
  HWND hwnd() const { return hwnd_; }

  // The byte figures the next refresh counts with (total 0: steps count).
  void SetBytes(int64_t done, int64_t total) {
    bytes_done_ = done;
    bytes_total_ = total;
  }
  const ProgressMeter& meter() const { return meter_; }
  // The area of item 102 in the dialog's client coordinates.
  const RECT& bar() const { return bar_; }

  void AttachWindow(HWND hwnd) { hwnd_ = hwnd; }
  INT_PTR OnDialogMessage(UINT message, WPARAM wparam, LPARAM lparam);

 private:
  void OnInit();
  void OnRefresh(bool step_done);
  void OnPaint();
  void OnCancel();

  HWND hwnd_ = nullptr;
  Settings settings_;
  ProgressMeter meter_;
  RECT bar_{};
  int64_t bytes_done_ = 0;
  int64_t bytes_total_ = 0;
};

}  // namespace install::ui
