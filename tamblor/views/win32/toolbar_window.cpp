#include <windows.h>

#include "tamblor/lang/language_set.h"
#include "tamblor/lang/resource_names.h"
#include "tamblor/lang/string_ids.h"
#include "tamblor/views/win32/child_windows.h"

namespace tamblor::views {
namespace {

struct ButtonPlace {
  int id, x, y, size;
  const char* up;
  const char* down;
};

constexpr ButtonPlace kButtons[] = {
    {kPrevButton, 10, 5, 40, "IDB_PREV_UP", "IDB_PREV_DOWN"},
    {kSelectButton, 60, 5, 40, "IDB_SELCT_UP", "IDB_SELCT_DOWN"},
    {kCopyButton, 110, 5, 40, "IDB_COPY_UP", "IDB_COPY_DOWN"},
    {kFindNextButton, 295, 13, 30, "IDB_FINDNEXT_UP", "IDB_FINDNEXT_DOWN"},
    {kFindPrevButton, 335, 13, 30, "IDB_FINDPREV_UP", "IDB_FINDPREV_DOWN"},
};

constexpr COLORREF kControlFace = RGB(192, 192, 192);

lang::LanguageSet* Languages(HWND toolbar) {
  return reinterpret_cast<lang::LanguageSet*>(GetWindowLongPtrA(toolbar, GWLP_USERDATA));
}

const ButtonPlace* ButtonOf(int id) {
  for (const ButtonPlace& b : kButtons) {
    if (b.id == id) return &b;
  }
  return nullptr;
}

void DrawButton(HWND toolbar, const DRAWITEMSTRUCT& item) {
  const ButtonPlace* button = ButtonOf(static_cast<int>(item.CtlID));
  lang::LanguageSet* languages = Languages(toolbar);
  if (!button || !languages) return;
  bool pressed = (item.itemState & ODS_SELECTED) != 0;
  HBITMAP bitmap = reinterpret_cast<HBITMAP>(languages->Bitmap(pressed ? button->down : button->up));
  if (!bitmap) return;  // a language without this bitmap: the button draws nothing
  BITMAP info;
  GetObjectA(bitmap, sizeof info, &info);
  HDC source = CreateCompatibleDC(item.hDC);
  HGDIOBJ old = SelectObject(source, bitmap);
  StretchBlt(item.hDC, 0, 0, item.rcItem.right - item.rcItem.left, item.rcItem.bottom - item.rcItem.top, source, 0,
             0, info.bmWidth, info.bmHeight, SRCCOPY);
  SelectObject(source, old);
  DeleteDC(source);
}

void OnButton(HWND toolbar, int id) {
  HWND main = GetParent(toolbar);
  HWND pane = GetDlgItem(main, kTextPaneId);
  switch (id) {
    case kPrevButton:
      if (pane) SendMessageA(pane, WM_CHAR, VK_ESCAPE, 0);
      break;
    case kSelectButton:
    case kCopyButton:
      if (pane) SendMessageA(pane, WM_USER + 2, 0, 0);
      SendMessageA(main, WM_COMMAND, id == kSelectButton ? lang::kCmdSelect : lang::kCmdCopyFile, 0);
      break;
    case kFindNextButton:
    case kFindPrevButton: {
      char text[255] = {};
      GetDlgItemTextA(toolbar, kSearchText, text, sizeof text);
      if (text[0] && pane) SendMessageA(pane, WM_USER + 1, id == kFindNextButton ? 256 : 257, reinterpret_cast<LPARAM>(text));
      break;
    }
    default:
      return;
  }
  SetFocus(main);
}

LRESULT OnCreate(HWND toolbar, const CREATESTRUCTA& create) {
  SetWindowLongPtrA(toolbar, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create.lpCreateParams));
  HINSTANCE instance = create.hInstance;
  for (const ButtonPlace& b : kButtons) {
    CreateWindowA("BUTTON", "", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, b.x, b.y, b.size, b.size, toolbar,
                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(b.id)), instance, nullptr);
  }
  lang::LanguageSet* languages = Languages(toolbar);
  HWND group = CreateWindowA("BUTTON", languages ? languages->String(lang::kStrWordSearch) : "",
                             WS_CHILD | WS_VISIBLE | BS_GROUPBOX, 160, 0, 210, 46, toolbar,
                             reinterpret_cast<HMENU>(kWordSearchBox), instance, nullptr);
  HWND combo = CreateWindowA("COMBOBOX", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL, 165,
                             18, 120, 80, toolbar, reinterpret_cast<HMENU>(kSearchText), instance, nullptr);
  HGDIOBJ font = GetStockObject(ANSI_VAR_FONT);
  SendMessageA(group, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  SendMessageA(combo, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return 0;
}

}  // namespace

LRESULT CALLBACK ToolbarWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CREATE:
      return OnCreate(window, *reinterpret_cast<CREATESTRUCTA*>(lparam));
    case WM_DRAWITEM:
      DrawButton(window, *reinterpret_cast<DRAWITEMSTRUCT*>(lparam));
      return TRUE;
    case WM_COMMAND:
      if (HIWORD(wparam) == BN_CLICKED || HIWORD(wparam) == BN_DOUBLECLICKED) OnButton(window, LOWORD(wparam));
      return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
      SetBkColor(reinterpret_cast<HDC>(wparam), kControlFace);
      return reinterpret_cast<LRESULT>(GetStockObject(LTGRAY_BRUSH));
    default:
      return DefWindowProcA(window, message, wparam, lparam);
  }
}

HWND CreateToolbar(HWND parent, HINSTANCE instance, lang::LanguageSet* languages) {
  return CreateWindowA("ToolBar", "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0, 0, 0, parent,
                       reinterpret_cast<HMENU>(kToolbarId), instance, languages);
}

void ReloadToolbar(HWND toolbar) {
  lang::LanguageSet* languages = Languages(toolbar);
  if (!languages) return;
  SetDlgItemTextA(toolbar, kWordSearchBox, languages->String(lang::kStrWordSearch));
  InvalidateRect(toolbar, nullptr, TRUE);
  for (const ButtonPlace& b : kButtons) InvalidateRect(GetDlgItem(toolbar, b.id), nullptr, TRUE);
}

}  // namespace tamblor::views
