// The Desktop over real windows: message boxes owned by the main window, and
// the message pump that keeps the windows alive during long work.
#pragma once

#include "install/os/win32/windows_api.h"

#include "install/ui/desktop.h"

namespace install::ui {

class Win32Desktop : public Desktop {
 public:
  // The owner of message boxes; none until the main window exists.
  void SetOwner(HWND owner) { owner_ = owner; }
  HWND owner() const { return owner_; }
  // Set by the progress window's Cancel button.
  void RequestCancel() { cancel_requested_ = true; }

  int MessageBox(const std::string& text, const char* caption, unsigned style) override;
  bool PumpMessages() override;

 private:
  HWND owner_ = nullptr;
  bool cancel_requested_ = false;
};

}  // namespace install::ui
