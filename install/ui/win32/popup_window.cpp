#include "install/ui/win32/popup_window.h"

#include <utility>

#include "install/ui/win32/dialog_controls.h"
#include "install/ui/win32/window_procedure.h"

namespace install::ui {

bool PopupWindow::Create(HWND owner, const std::vector<uint8_t>& bytes, PopupTrace* trace) {
  Destroy();
  if (bytes.empty()) return false;
  trace_ = trace;
  hwnd_ = CreateDialogIndirectParamA(GetModuleHandleA(nullptr),
                                     reinterpret_cast<const DLGTEMPLATE*>(bytes.data()), owner,
                                     DialogProcedure<PopupWindow>, reinterpret_cast<LPARAM>(this));
  trace_ = nullptr;
  return hwnd_ != nullptr;
}

void PopupWindow::Destroy() {
  if (!hwnd_) return;
  const HWND closing = std::exchange(hwnd_, nullptr);
  DetachWindow(closing, true);
  DestroyWindow(closing);
}

INT_PTR PopupWindow::OnDialogMessage(UINT message, WPARAM, LPARAM) {
  switch (message) {
    case WM_INITDIALOG: Place(); return FALSE;  // a message takes no focus
    default: return FALSE;
  }
}

void PopupWindow::Place() {
  RECT created{};
  GetWindowRect(hwnd_, &created);
  const WindowOrigin origin =
      PlacePopup(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                 created.right - created.left, created.bottom - created.top);
  MoveWindowTo(hwnd_, origin);
  if (trace_) *trace_ = PopupTrace{true, origin.y, static_cast<int>(created.bottom)};
}

}  // namespace install::ui
