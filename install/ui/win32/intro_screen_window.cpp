#include "install/ui/win32/intro_screen_window.h"

#include <algorithm>
#include <cstdint>

namespace install::ui {

bool IntroScreenWindow::Create(HINSTANCE instance, HWND owner, ScreenPicture picture, int seconds,
                               std::function<void()> on_close) {
  picture_ = std::move(picture);
  seconds_ = seconds;
  on_close_ = std::move(on_close);
  closed_ = false;
  WNDCLASSA window_class{};
  window_class.lpfnWndProc = WindowProc;
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
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
  }
  hwnd_ = nullptr;
}

LRESULT CALLBACK IntroScreenWindow::WindowProc(HWND hwnd, UINT message, WPARAM wparam,
                                               LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lparam);
    auto* window = static_cast<IntroScreenWindow*>(create->lpCreateParams);
    window->hwnd_ = hwnd;
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
  }
  auto* self = reinterpret_cast<IntroScreenWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcA(hwnd, message, wparam, lparam);
  return self->OnMessage(message, wparam, lparam);
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
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(hwnd_, &paint);
  if (seconds_ > 0 && !closed_) {
    const uint64_t milliseconds = std::min<uint64_t>(uint64_t(seconds_) * 1000u, USER_TIMER_MAXIMUM);
    SetTimer(hwnd_, kIntroTimerId, static_cast<UINT>(milliseconds), nullptr);
  }
  RECT client;
  GetClientRect(hwnd_, &client);
  picture_.Draw(dc, client.right, client.bottom);
  EndPaint(hwnd_, &paint);
}

}  // namespace install::ui
