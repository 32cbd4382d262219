#include "install/ui/win32/main_window.h"

#include "install/ui/please_wait_layout.h"
#include "install/ui/title_font_fit.h"
#include "install/ui/win32/gdi_handles.h"
#include "install/ui/win32/progress_window.h"
#include "install/ui/win32/window_procedure.h"

namespace install::ui {
namespace {

// Messages that are accepted and need nothing done.
constexpr UINT kIgnoredMessage996 = 996;
constexpr UINT kIgnoredMessage997 = 997;
constexpr UINT kIgnoredUserMessage = WM_USER + 4;

COLORREF ToColorRef(Rgb colour) { return RGB(colour.red, colour.green, colour.blue); }

void FillArea(HDC dc, int left, int top, int right, int bottom, Rgb colour) {
  RECT area{left, top, right, bottom};
  BrushObject brush(CreateSolidBrush(ToColorRef(colour)));
  FillRect(dc, &area, brush.get());
}

FontObject MakeTitleFont(const BackdropStyle& style, int height, int weight) {
  return FontObject(CreateFontA(height, 0, 0, 0, weight, style.italic, style.underline, FALSE,
                                static_cast<BYTE>(style.charset), OUT_TT_PRECIS,
                                CLIP_DEFAULT_PRECIS, PROOF_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                                style.font_face.c_str()));
}

void DrawBox(HDC dc, const BoxRect& box) { Rectangle(dc, box.left, box.top, box.right, box.bottom); }

}  // namespace

MainWindow::~MainWindow() {
  if (hwnd_ && IsWindow(hwnd_)) {
    DetachWindow(hwnd_);
    DestroyWindow(hwnd_);
  }
}

bool MainWindow::Create(HINSTANCE instance) {
  WNDCLASSA window_class{};
  window_class.lpfnWndProc = WindowProcedure<MainWindow>;
  window_class.hInstance = instance;
  window_class.hCursor = LoadCursor(nullptr, IDC_ARROW);
  window_class.hbrBackground = nullptr;  // the backdrop paints itself
  window_class.lpszClassName = kMainWindowClass;
  window_class.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
  RegisterClassA(&window_class);
  hwnd_ = CreateWindowExA(0, kMainWindowClass, kMainWindowTitle, WS_POPUP, 0, 0,
                          GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr,
                          nullptr, instance, this);
  // Until the script's style is set: the please-wait box of a condition
  // evaluated during the parse is sized for this screen.
  style_.screen_width = GetSystemMetrics(SM_CXSCREEN);
  return hwnd_ != nullptr;
}

void MainWindow::ShowMaximised() {
  ShowWindow(hwnd_, SW_SHOWMAXIMIZED);
  InvalidateRect(hwnd_, nullptr, TRUE);
  UpdateWindow(hwnd_);
}

LRESULT MainWindow::OnMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_ERASEBKGND: return OnEraseBackground(reinterpret_cast<HDC>(wparam));
    case WM_PAINT: OnPaint(); return 0;
    case kProgressRefreshMessage: OnProgressRefresh(wparam); return 0;
    case kRunInstallationMessage: if (run_) run_(); return 0;
    case kNextDiskMessage: return OnNextDisk(wparam);
    case kShowCopyFileMessage: OnShowCopyFile(reinterpret_cast<const char*>(lparam)); return 0;
    case kPleaseWaitMessage: DrawPleaseWait(); return 0;
    case kIgnoredMessage996:
    case kIgnoredMessage997:
    case kIgnoredUserMessage: return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcA(hwnd_, message, wparam, lparam);
  }
}

LRESULT MainWindow::OnEraseBackground(HDC dc) {
  RECT client;
  GetClientRect(hwnd_, &client);
  PaintBackground(dc, client.right, client.bottom);
  return 1;
}

LRESULT MainWindow::OnNextDisk(WPARAM advance) {
  if (!next_disk_) return 0;
  const int result = next_disk_(advance == 1);
  return result > 0 ? result : 0;
}

void MainWindow::OnShowCopyFile(const char* file) {
  if (progress_ && IsWindow(progress_)) ShowCopyFileLine(progress_, copy_file_prompt_, file ? file : "");
}

void MainWindow::OnProgressRefresh(WPARAM step_done) {
  if (progress_ && IsWindow(progress_)) SendMessageA(progress_, kProgressUpdateMessage, step_done, 0);
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
    FontObject font = MakeTitleFont(style_, height, weight);
    SelectedObject selected(dc, font.get());
    SIZE extent{};
    GetTextExtentPoint32A(dc, title.c_str(), length, &extent);
    return static_cast<int>(extent.cx);
  };
  const TitleFontChoice choice =
      ChooseTitleFont(style_.font_size, style_.bold, style_.screen_width, width_at);
  FontObject font = MakeTitleFont(style_, choice.height, choice.weight);
  SelectedObject selected(dc, font.get());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(0, 0, 0));  // the shadow
  TextOutA(dc, 23, 23, title.c_str(), length);
  SetTextColor(dc, ToColorRef(style_.title_colour));
  TextOutA(dc, 20, 20, title.c_str(), length);
}

void MainWindow::OnPaint() {
  PaintDc paint(hwnd_);
  PaintTitle(paint.get());
}

void MainWindow::DrawPleaseWait() {
  ShowMaximised();
  RECT client;
  GetClientRect(hwnd_, &client);
  const PleaseWaitLayout layout =
      LayOutPleaseWait(client.right, client.bottom, style_.screen_width, style_.charset);
  WindowDc dc(hwnd_);
  FontObject font(CreateFontA(layout.font_height, 0, 0, 0, layout.font_weight, FALSE, FALSE, FALSE,
                              static_cast<BYTE>(style_.charset), OUT_DEFAULT_PRECIS,
                              CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                              layout.face.c_str()));
  BrushObject grey(CreateSolidBrush(RGB(63, 63, 63)));
  SelectedObject selected_font(dc.get(), font.get());
  SelectedObject selected_pen(dc.get(), GetStockObject(BLACK_PEN));
  {
    SelectedObject selected_brush(dc.get(), grey.get());
    DrawBox(dc.get(), layout.frame);
  }
  SelectedObject selected_brush(dc.get(), GetStockObject(WHITE_BRUSH));
  DrawBox(dc.get(), layout.panel);
  MoveToEx(dc.get(), layout.edge[0].x, layout.edge[0].y, nullptr);
  LineTo(dc.get(), layout.edge[1].x, layout.edge[1].y);
  LineTo(dc.get(), layout.edge[2].x, layout.edge[2].y);

  SetBkMode(dc.get(), TRANSPARENT);
  SetTextColor(dc.get(), RGB(0, 0, 0));
  SetTextAlign(dc.get(), TA_CENTER | TA_BASELINE);
  TextOutA(dc.get(), layout.text.x, layout.text.y, style_.locate_text.c_str(),
           static_cast<int>(style_.locate_text.size()));
  SetTextAlign(dc.get(), TA_LEFT | TA_TOP);
}

}  // namespace install::ui
