#include "install/ui/win32/main_window.h"

#include "install/ui/please_wait_layout.h"
#include "install/ui/title_font_fit.h"

namespace install::ui {
namespace {

// Messages that are accepted and need nothing done.
constexpr UINT kIgnoredMessage996 = 996;
constexpr UINT kIgnoredMessage997 = 997;
constexpr UINT kIgnoredUserMessage = WM_USER + 4;

COLORREF ToColorRef(Rgb colour) { return RGB(colour.red, colour.green, colour.blue); }

void FillArea(HDC dc, int left, int top, int right, int bottom, Rgb colour) {
  RECT area{left, top, right, bottom};
  HBRUSH brush = CreateSolidBrush(ToColorRef(colour));
  FillRect(dc, &area, brush);
  DeleteObject(brush);
}

HFONT MakeTitleFont(const BackdropStyle& style, int height, int weight) {
  return CreateFontA(height, 0, 0, 0, weight, style.italic, style.underline, FALSE,
                     static_cast<BYTE>(style.charset), OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS,
                     PROOF_QUALITY, DEFAULT_PITCH | FF_DONTCARE, style.font_face.c_str());
}

}  // namespace

MainWindow::~MainWindow() {
  if (hwnd_ && IsWindow(hwnd_)) {
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
  }
}

bool MainWindow::Create(HINSTANCE instance) {
  WNDCLASSA window_class{};
  window_class.lpfnWndProc = WindowProc;
  window_class.hInstance = instance;
  window_class.hCursor = LoadCursor(nullptr, IDC_ARROW);
  window_class.hbrBackground = nullptr;  // the backdrop paints itself
  window_class.lpszClassName = kMainWindowClass;
  window_class.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
  RegisterClassA(&window_class);
  hwnd_ = CreateWindowExA(0, kMainWindowClass, kMainWindowTitle, WS_POPUP, 0, 0,
                          GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr,
                          nullptr, instance, this);
  return hwnd_ != nullptr;
}

void MainWindow::ShowMaximised() {
  ShowWindow(hwnd_, SW_SHOWMAXIMIZED);
  InvalidateRect(hwnd_, nullptr, TRUE);
  UpdateWindow(hwnd_);
}

LRESULT CALLBACK MainWindow::WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lparam);
    auto* window = static_cast<MainWindow*>(create->lpCreateParams);
    window->hwnd_ = hwnd;
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
  }
  auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcA(hwnd, message, wparam, lparam);
  return self->OnMessage(message, wparam, lparam);
}

LRESULT MainWindow::OnMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_ERASEBKGND: {
      RECT client;
      GetClientRect(hwnd_, &client);
      PaintBackground(reinterpret_cast<HDC>(wparam), client.right, client.bottom);
      return 1;
    }
    case WM_PAINT: OnPaint(); return 0;
    case kProgressRefreshMessage:
      if (progress_ && IsWindow(progress_)) SendMessageA(progress_, WM_USER, wparam, 0);
      return 0;
    case kRunInstallationMessage:
      if (run_) run_();
      return 0;
    case kNextDiskMessage: {
      if (!next_disk_) return 0;
      const int result = next_disk_(wparam == 1);
      return result > 0 ? result : 0;
    }
    case kPleaseWaitMessage: DrawPleaseWait(); return 0;
    case kIgnoredMessage996:
    case kIgnoredMessage997:
    case kIgnoredUserMessage: return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcA(hwnd_, message, wparam, lparam);
  }
}

void MainWindow::PaintBackground(HDC dc, int width, int height) {
  if (!graphic_.has_bitmap() || graphic_.NeedsBackground(width, height)) {
    for (const ColourBand& band : BackgroundBands(style_.top_colour, style_.bottom_colour, height)) {
      FillArea(dc, 0, band.top, width, band.top + band.height, band.colour);
    }
  }
  graphic_.Draw(dc, width, height);
}

void MainWindow::PaintTitle(HDC dc) {
  if (style_.title.empty()) return;
  const std::string& title = style_.title;
  const int length = static_cast<int>(title.size());
  auto width_at = [&](int height, int weight) {
    HFONT font = MakeTitleFont(style_, height, weight);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE extent{};
    GetTextExtentPoint32A(dc, title.c_str(), length, &extent);
    SelectObject(dc, old);
    DeleteObject(font);
    return static_cast<int>(extent.cx);
  };
  const TitleFontChoice choice =
      ChooseTitleFont(style_.font_size, style_.bold, style_.screen_width, width_at);
  HFONT font = MakeTitleFont(style_, choice.height, choice.weight);
  HGDIOBJ old = SelectObject(dc, font);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(0, 0, 0));  // the shadow
  TextOutA(dc, 23, 23, title.c_str(), length);
  SetTextColor(dc, ToColorRef(style_.title_colour));
  TextOutA(dc, 20, 20, title.c_str(), length);
  SelectObject(dc, old);
  DeleteObject(font);
}

void MainWindow::OnPaint() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(hwnd_, &paint);
  PaintTitle(dc);
  EndPaint(hwnd_, &paint);
}

void MainWindow::DrawPleaseWait() {
  ShowMaximised();
  RECT client;
  GetClientRect(hwnd_, &client);
  const PleaseWaitLayout layout =
      LayOutPleaseWait(client.right, client.bottom, style_.screen_width, style_.charset);
  HDC dc = GetDC(hwnd_);
  HFONT font = CreateFontA(layout.font_height, 0, 0, 0, layout.font_weight, FALSE, FALSE, FALSE,
                           static_cast<BYTE>(style_.charset), OUT_DEFAULT_PRECIS,
                           CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                           layout.face.c_str());
  HGDIOBJ old_font = SelectObject(dc, font);
  HGDIOBJ old_pen = SelectObject(dc, GetStockObject(BLACK_PEN));

  HBRUSH grey = CreateSolidBrush(RGB(63, 63, 63));
  HGDIOBJ old_brush = SelectObject(dc, grey);
  Rectangle(dc, layout.frame.left, layout.frame.top, layout.frame.right, layout.frame.bottom);
  SelectObject(dc, GetStockObject(WHITE_BRUSH));
  Rectangle(dc, layout.panel.left, layout.panel.top, layout.panel.right, layout.panel.bottom);
  MoveToEx(dc, layout.edge[0].x, layout.edge[0].y, nullptr);
  LineTo(dc, layout.edge[1].x, layout.edge[1].y);
  LineTo(dc, layout.edge[2].x, layout.edge[2].y);

  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(0, 0, 0));
  SetTextAlign(dc, TA_CENTER | TA_BASELINE);
  TextOutA(dc, layout.text.x, layout.text.y, style_.locate_text.c_str(),
           static_cast<int>(style_.locate_text.size()));
  SetTextAlign(dc, TA_LEFT | TA_TOP);

  SelectObject(dc, old_brush);
  SelectObject(dc, old_pen);
  SelectObject(dc, old_font);
  DeleteObject(grey);
  DeleteObject(font);
  ReleaseDC(hwnd_, dc);
}

}  // namespace install::ui
