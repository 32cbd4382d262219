#include <windows.h>

#include "tamblor/views/win32/child_windows.h"

namespace tamblor::views {
namespace {

void Paint(HWND panel) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(panel, &paint);
  RECT client;
  GetClientRect(panel, &client);
  RECT face{client.left, client.top, client.right - 2, client.bottom - 2};
  FillRect(dc, &face, static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH)));

  char title[512] = {};
  GetWindowTextA(panel, title, sizeof title);
  SetBkColor(dc, RGB(192, 192, 192));
  HGDIOBJ old_font = SelectObject(dc, GetStockObject(ANSI_VAR_FONT));
  DrawTextA(dc, title, -1, &face, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  SelectObject(dc, old_font);

  HGDIOBJ old_pen = SelectObject(dc, GetStockObject(WHITE_PEN));
  MoveToEx(dc, 0, client.bottom - 1, nullptr);
  LineTo(dc, 0, 0);
  LineTo(dc, client.right, 0);
  HPEN dark = CreatePen(PS_SOLID, 1, RGB(128, 128, 128));
  SelectObject(dc, dark);
  for (int i = 1; i <= 2; ++i) {
    MoveToEx(dc, client.right - i, 0, nullptr);
    LineTo(dc, client.right - i, client.bottom - i);
    LineTo(dc, -1, client.bottom - i);
  }
  SelectObject(dc, old_pen);
  DeleteObject(dark);
  EndPaint(panel, &paint);
}

}  // namespace

LRESULT CALLBACK TitlePanelWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_PAINT:
      Paint(window);
      return 0;
    case WM_SETFOCUS:
      SetFocus(GetParent(window));
      return 0;
    default:
      return DefWindowProcA(window, message, wparam, lparam);
  }
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
