// One window procedure for every window class of the browser whose windows
// each own an object: the object is made at WM_NCCREATE from the creation
// data, kept in the window's user data, and destroyed after WM_NCDESTROY.
//
// `Window` provides
//   Window(HWND window, const CREATESTRUCTA& create);
//   bool OnMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result);
// OnMessage returns false for a message it leaves to DefWindowProcA; it is
// written as a switch of one-line cases that call the window's handlers.
#pragma once

#include <windows.h>

namespace tamblor::os::win32 {

// The object of a window of `Window`'s class; null before WM_NCCREATE, after
// WM_NCDESTROY and for any window of another class that keeps no user data.
template <class Window>
Window* WindowObject(HWND window) {
  return window ? reinterpret_cast<Window*>(GetWindowLongPtrA(window, GWLP_USERDATA)) : nullptr;
}

template <class Window>
LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  Window* self = WindowObject<Window>(window);
  if (message == WM_NCCREATE && !self) {
    self = new Window(window, *reinterpret_cast<const CREATESTRUCTA*>(lparam));
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  LRESULT result = 0;
  bool handled = self && self->OnMessage(message, wparam, lparam, &result);
  if (message == WM_NCDESTROY && self) {
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    delete self;
  }
  return handled ? result : DefWindowProcA(window, message, wparam, lparam);
}

}  // namespace tamblor::os::win32
