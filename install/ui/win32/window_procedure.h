// One window procedure and one dialog procedure for every window class and
// dialog of the installer. The object that handles a window's messages is
// its creation parameter (CreateWindowEx's lpParam, or the dialog's init
// parameter); it is kept in the window's user data, learns its window
// through AttachWindow(HWND), and handles the messages in
//   LRESULT OnMessage(UINT, WPARAM, LPARAM)          (windows), or
//   INT_PTR OnDialogMessage(UINT, WPARAM, LPARAM)    (dialogs).
// Messages before the attachment and after DetachWindow go to the default
// handling.
#pragma once

#include "install/os/win32/windows_api.h"

namespace install::ui {

template <class Handler>
LRESULT CALLBACK WindowProcedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* handler = static_cast<Handler*>(reinterpret_cast<CREATESTRUCTA*>(lparam)->lpCreateParams);
    handler->AttachWindow(hwnd);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(handler));
  }
  auto* handler = reinterpret_cast<Handler*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (!handler) return DefWindowProcA(hwnd, message, wparam, lparam);
  return handler->OnMessage(message, wparam, lparam);
}

template <class Handler>
INT_PTR CALLBACK DialogProcedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    auto* handler = reinterpret_cast<Handler*>(lparam);
    handler->AttachWindow(hwnd);
    SetWindowLongPtrA(hwnd, DWLP_USER, static_cast<LONG_PTR>(lparam));
  }
  auto* handler = reinterpret_cast<Handler*>(GetWindowLongPtrA(hwnd, DWLP_USER));
  if (!handler) return FALSE;
  return handler->OnDialogMessage(message, wparam, lparam);
}

// Stops a window's messages from reaching its handler object (before the
// object goes away while the window may still receive messages).
inline void DetachWindow(HWND hwnd, bool dialog = false) {
  if (hwnd && IsWindow(hwnd)) SetWindowLongPtrA(hwnd, dialog ? DWLP_USER : GWLP_USERDATA, 0);
}

}  // namespace install::ui
