#include <windows.h>

#include "tamblor/os/win32/gdi.h"
#include "tamblor/os/win32/window_procedure.h"
#include "tamblor/views/win32/child_windows.h"

namespace tamblor::views {
namespace {

constexpr COLORREF kFace = RGB(192, 192, 192);
constexpr COLORREF kShadow = RGB(128, 128, 128);

// The object of each "PanelWin" window: the title is the window text.
class TitlePanel {
 public:
  TitlePanel(HWND window, const CREATESTRUCTA&) : window_(window), shadow_pen_(CreatePen(PS_SOLID, 1, kShadow)) {}

  bool OnMessage(UINT message, WPARAM, LPARAM, LRESULT*) {
    switch (message) {
      case WM_PAINT: OnPaint(); return true;
      case WM_SETFOCUS: SetFocus(GetParent(window_)); return true;  // the panel never keeps the focus
      default: return false;
    }
  }

 private:
  // The face less 2 pixels at right and bottom, the title centred on it, white
  // lines along the top and left, two dark grey lines along right and bottom.
  void OnPaint() {
    os::win32::PaintDC paint(window_);
    HDC dc = paint.get();
    RECT client;
    GetClientRect(window_, &client);
    RECT face{client.left, client.top, client.right - 2, client.bottom - 2};
    FillRect(dc, &face, static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH)));

    char title[512] = {};
    GetWindowTextA(window_, title, sizeof title);
    SetBkColor(dc, kFace);
    {
      os::win32::SelectedObject font(dc, GetStockObject(ANSI_VAR_FONT));
      DrawTextA(dc, title, -1, &face, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }

    {
      os::win32::SelectedObject light(dc, GetStockObject(WHITE_PEN));
      MoveToEx(dc, 0, client.bottom - 1, nullptr);
      LineTo(dc, 0, 0);
      LineTo(dc, client.right, 0);
    }
    os::win32::SelectedObject shadow(dc, shadow_pen_.get());
    for (int i = 1; i <= 2; ++i) {
      MoveToEx(dc, client.right - i, 0, nullptr);
      LineTo(dc, client.right - i, client.bottom - i);
      LineTo(dc, -1, client.bottom - i);
    }
  }

  HWND window_;
  os::win32::OwnedPen shadow_pen_;
};

}  // namespace

LRESULT CALLBACK TitlePanelWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  return os::win32::WindowProcedure<TitlePanel>(window, message, wparam, lparam);
}

HWND CreateTitlePanel(HWND parent, HINSTANCE instance) {
  return CreateWindowA("PanelWin", "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0, 0, 0, parent,
                       reinterpret_cast<HMENU>(kTitlePanelId), instance, nullptr);
}

void SetPanelTitle(HWND panel, const std::string& title) {
  SetWindowTextA(panel, title.c_str());
  InvalidateRect(panel, nullptr, TRUE);
}

}  // namespace tamblor::views
