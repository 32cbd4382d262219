#include "install/ui/win32/intro_screen_window.h"

#include <algorithm>
#include <cstdint>

#include "install/ui/win32/gdi_handles.h"
#include "install/ui/win32/window_procedure.h"

namespace install::ui {

bool IntroScreenWindow::Create(HINSTANCE instance, HWND owner, ScreenPicture picture, int seconds,
                               std::function<void()> on_close) {
  picture_ = std::move(picture);
  seconds_ = seconds;
  on_close_ = std::move(on_close);
  closed_ = false;
  WNDCLASSA window_class{};
  window_class.lpfnWndProc = WindowProcedure<IntroScreenWindow>;
  window_class.hInstance = instance;
  window_class.hCursor = LoadCursor(nullptr, IDC_ARROW);
  window_class.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  window_class.lpszClassName = kIntroWindowClass;
  RegisterClassA(&window_class);
  hwnd_ = CreateWindowExA(0, kIntroWindowClass, "", WS_POPUP, 0, 0, GetSystemMetrics(SM_CXSCREEN),
                          GetSystemMetrics(SM_CYSCREEN), owner, nullptr, instance, this);
  return hwnd_ != nullptr;
}

void IntroScreenWindow::ShowMaximised() {
  ShowWindow(hwnd_, SW_SHOWMAXIMIZED);
  InvalidateRect(hwnd_, nullptr, TRUE);
  UpdateWindow(hwnd_);
}

void IntroScreenWindow::Close() {
  if (closed_) return;
  closed_ = true;
  if (on_close_) on_close_();
  if (hwnd_) KillTimer(hwnd_, kIntroTimerId);
  picture_.Free();
}

void IntroScreenWindow::Destroy() {
  if (hwnd_ && IsWindow(hwnd_)) {
    KillTimer(hwnd_, kIntroTimerId);
    DetachWindow(hwnd_);
    DestroyWindow(hwnd_);
  }
  hwnd_ = nullptr;
}

LRESULT IntroScreenWindow::OnMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_PAINT: OnPaint(); return 0;
    case WM_CHAR:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_TIMER: Close(); return 0;
    default: return DefWindowProcA(hwnd_, message, wparam, lparam);
  }
}

void IntroScreenWindow::OnPaint() {
  PaintDc paint(hwnd_);
  if (seconds_ > 0 && !closed_) {
    const uint64_t milliseconds = std::min<uint64_t>(uint64_t(seconds_) * 1000u, USER_TIMER_MAXIMUM);
    SetTimer(hwnd_, kIntroTimerId, static_cast<UINT>(milliseconds), nullptr);
  }
  RECT client;
  GetClientRect(hwnd_, &client);
  picture_.Draw(paint.get(), client.right, client.bottom);
}

}  // namespace install::ui
