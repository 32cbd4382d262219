#include "install/ui/win32/win32_desktop.h"

namespace install::ui {

int Win32Desktop::MessageBox(const std::string& text, const char* caption, unsigned style) {
  return ::MessageBoxA(owner_, text.c_str(), caption, style);
}

bool Win32Desktop::PumpMessages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      // Leave the quit request for the main message loop.
      PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return cancel_requested_;
}

}  // namespace install::ui
