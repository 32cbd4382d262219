#include "install/ui/win32/progress_window.h"

#include <utility>

#include "install/os/ascii_case.h"
#include "install/ui/win32/dialog_controls.h"
#include "install/ui/win32/dialog_resources.h"
#include "install/ui/win32/gdi_handles.h"
#include "install/ui/win32/window_procedure.h"

namespace install::ui {
namespace {

void DrawBarPart(HDC dc, int left, int right, const RECT& bar, const ProgressBarLayout& layout,
                 COLORREF background, COLORREF text) {
  RECT part{left, bar.top, right, bar.bottom};
  SetBkColor(dc, background);
  SetTextColor(dc, text);
  ExtTextOutA(dc, layout.label_x, layout.label_y, ETO_OPAQUE | ETO_CLIPPED, &part,
              layout.label.c_str(), static_cast<UINT>(layout.label.size()), nullptr);
}

}  // namespace

void ShowCopyFileLine(HWND progress, const std::string& prompt, const std::string& file) {
  if (!progress) return;
  SetItemText(progress, IDC_PROGRESS_PROMPT, prompt);
  SetItemText(progress, IDC_PROGRESS_FILE, os::UpperCopy(file));
}

void PaintProgressBar(HDC dc, const RECT& bar, int percent, HFONT font) {
  SelectedObject selected_font(dc, font);
  const std::string label = ProgressLabel(percent);
  SIZE extent{};
  GetTextExtentPoint32A(dc, label.c_str(), static_cast<int>(label.size()), &extent);
  const ProgressBarLayout layout = LayOutProgressBar(
      BarArea{bar.left, bar.top, bar.right, bar.bottom}, percent, extent.cx, extent.cy);
  SetBkMode(dc, OPAQUE);
  DrawBarPart(dc, bar.left, layout.filled_right, bar, layout, RGB(0, 0, 255), RGB(255, 255, 255));
  DrawBarPart(dc, layout.filled_right, bar.right, bar, layout, RGB(255, 255, 255), RGB(0, 0, 255));
}

bool ProgressWindow::Create(HWND owner, Settings settings) {
  Destroy();
  settings_ = std::move(settings);
  meter_ = ProgressMeter(settings_.step_total);
  bytes_done_ = bytes_total_ = 0;
  hwnd_ = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_PROGRESS), owner,
                             DialogProcedure<ProgressWindow>, reinterpret_cast<LPARAM>(this));
  return hwnd_ != nullptr;
}

void ProgressWindow::Destroy() {
  if (!hwnd_) return;
  const HWND closing = std::exchange(hwnd_, nullptr);
  DetachWindow(closing, true);
  DestroyWindow(closing);
}

INT_PTR ProgressWindow::OnDialogMessage(UINT message, WPARAM wparam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG: OnInit(); return TRUE;
    case kProgressUpdateMessage: OnRefresh(wparam == 1); return TRUE;
    case WM_PAINT: OnPaint(); return TRUE;
    case WM_COMMAND:
      if (LOWORD(wparam) == IDCANCEL) OnCancel();
      return TRUE;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      if (!settings_.window_brush) return FALSE;
      return WindowColourBackground(wparam, settings_.window_brush);
    default: return FALSE;
  }
}

void ProgressWindow::OnInit() {
  const SIZE size = WindowSize(hwnd_);
  MoveWindowTo(hwnd_, PlaceProgress(settings_.popup, GetSystemMetrics(SM_CXSCREEN),
                                    GetSystemMetrics(SM_CYSCREEN), size.cx, size.cy));
  const HWND frame = GetDlgItem(hwnd_, IDC_PROGRESS_BAR);
  GetClientRect(frame, &bar_);
  MapWindowPoints(frame, hwnd_, reinterpret_cast<POINT*>(&bar_), 2);
  SetItemText(hwnd_, IDCANCEL, settings_.cancel_text);
}

void ProgressWindow::OnRefresh(bool step_done) {
  meter_.Update(step_done, bytes_done_, bytes_total_);
  InvalidateRect(hwnd_, &bar_, FALSE);
  UpdateWindow(hwnd_);
}

void ProgressWindow::OnPaint() {
  PaintDc paint(hwnd_);
  const HFONT font = reinterpret_cast<HFONT>(SendMessageA(hwnd_, WM_GETFONT, 0, 0));
  PaintProgressBar(paint.get(), bar_, meter_.percent(), font);
}

void ProgressWindow::OnCancel() {
  if (!settings_.confirm_quit || !settings_.confirm_quit()) return;
  if (settings_.on_quit) settings_.on_quit();
  Destroy();
}

}  // namespace install::ui
