// A pop-up message window: a modeless dialog from the template the script
// built for a POPMESSAGE block (visible, no buttons). It places itself
// centred horizontally a little above the middle of the screen and leaves
// its top and its bottom as created in a PopupTrace, for the progress dialog.
#pragma once

#include "install/os/win32/windows_api.h"

#include <cstdint>
#include <vector>

#include "install/ui/dialog_placement.h"

namespace install::ui {

class PopupWindow {
 public:
  PopupWindow() = default;
  PopupWindow(const PopupWindow&) = delete;
  PopupWindow& operator=(const PopupWindow&) = delete;
  ~PopupWindow() { Destroy(); }

  // Creates the window owned by `owner` and records its placement in
  // `*trace`. False when the template is empty or the window could not be
  // created (the trace is then unchanged).
  bool Create(HWND owner, const std::vector<uint8_t>& bytes, PopupTrace* trace);
  void Destroy();
  HWND hwnd() const { return hwnd_; }

  void AttachWindow(HWND hwnd) { hwnd_ = hwnd; }
  INT_PTR OnDialogMessage(UINT message, WPARAM wparam, LPARAM lparam);

 private:
  void Place();

  HWND hwnd_ = nullptr;
  PopupTrace* trace_ = nullptr;
};

}  // namespace install::ui
