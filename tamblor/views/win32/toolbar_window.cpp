#include <windows.h>

#include "tamblor/lang/language_set.h"
#include "tamblor/lang/resource_names.h"
#include "tamblor/lang/string_ids.h"
#include "tamblor/os/win32/gdi.h"
#include "tamblor/os/win32/window_procedure.h"
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

const ButtonPlace* ButtonOf(int id) {
  for (const ButtonPlace& b : kButtons) {
    if (b.id == id) return &b;
  }
  return nullptr;
}

void DrawButton(lang::LanguageSet* languages, const DRAWITEMSTRUCT& item) {
  const ButtonPlace* button = ButtonOf(static_cast<int>(item.CtlID));
  if (!button || !languages) return;
  bool pressed = (item.itemState & ODS_SELECTED) != 0;
  HBITMAP bitmap = reinterpret_cast<HBITMAP>(languages->Bitmap(pressed ? button->down : button->up));
  if (!bitmap) return;  // a language without this bitmap: the button draws nothing
  BITMAP info;
  if (!GetObjectA(bitmap, sizeof info, &info)) return;
  os::win32::MemoryDC source(item.hDC);
  os::win32::SelectedObject selected(source.get(), bitmap);
  StretchBlt(item.hDC, 0, 0, item.rcItem.right - item.rcItem.left, item.rcItem.bottom - item.rcItem.top,
             source.get(), 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
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


// The object of each "ToolBar" window; the creation parameter is the
// LanguageSet its texts and bitmaps come from.
class Toolbar {
 public:
  Toolbar(HWND window, const CREATESTRUCTA& create)
      : window_(window), languages_(static_cast<lang::LanguageSet*>(create.lpCreateParams)) {}

  bool OnMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) {
    switch (message) {
      case WM_CREATE: OnCreate(*reinterpret_cast<const CREATESTRUCTA*>(lparam)); return true;
      case WM_DRAWITEM: DrawButton(languages_, *reinterpret_cast<const DRAWITEMSTRUCT*>(lparam)); *result = TRUE; return true;
      case WM_COMMAND: OnCommand(LOWORD(wparam), HIWORD(wparam)); return true;
      case WM_CTLCOLORSTATIC:
      case WM_CTLCOLORBTN:
      case WM_CTLCOLOREDIT:
      case WM_CTLCOLORLISTBOX: *result = OnControlColour(reinterpret_cast<HDC>(wparam)); return true;
      default: return false;
    }
  }

  // After a language switch: the "Word Search" text and the bitmaps again.
  void Reload() {
    if (!languages_) return;
    SetDlgItemTextA(window_, kWordSearchBox, languages_->String(lang::kStrWordSearch));
    InvalidateRect(window_, nullptr, TRUE);
    for (const ButtonPlace& b : kButtons) InvalidateRect(GetDlgItem(window_, b.id), nullptr, TRUE);
  }

 private:
  void OnCreate(const CREATESTRUCTA& create) {
    HINSTANCE instance = create.hInstance;
    for (const ButtonPlace& b : kButtons) {
      CreateWindowA("BUTTON", "", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, b.x, b.y, b.size, b.size, window_,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(b.id)), instance, nullptr);
    }
    HWND group = CreateWindowA("BUTTON", languages_ ? languages_->String(lang::kStrWordSearch) : "",
                               WS_CHILD | WS_VISIBLE | BS_GROUPBOX, 160, 0, 210, 46, window_,
                               reinterpret_cast<HMENU>(kWordSearchBox), instance, nullptr);
    HWND combo = CreateWindowA("COMBOBOX", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL,
                               165, 18, 120, 80, window_, reinterpret_cast<HMENU>(kSearchText), instance, nullptr);
    HGDIOBJ font = GetStockObject(ANSI_VAR_FONT);
    SendMessageA(group, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    SendMessageA(combo, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  }

  void OnCommand(int id, int notification) {
    if (notification == BN_CLICKED || notification == BN_DOUBLECLICKED) OnButton(window_, id);
  }

  static LRESULT OnControlColour(HDC dc) {
    SetBkColor(dc, kControlFace);
    return reinterpret_cast<LRESULT>(GetStockObject(LTGRAY_BRUSH));
  }

  HWND window_;
  lang::LanguageSet* languages_;
};

}  // namespace

LRESULT CALLBACK ToolbarWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  return os::win32::WindowProcedure<Toolbar>(window, message, wparam, lparam);
}

HWND CreateToolbar(HWND parent, HINSTANCE instance, lang::LanguageSet* languages) {
  return CreateWindowA("ToolBar", "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0, 0, 0, parent,
                       reinterpret_cast<HMENU>(kToolbarId), instance, languages);
}

void ReloadToolbar(HWND toolbar) {
  if (Toolbar* self = os::win32::WindowObject<Toolbar>(toolbar)) self->Reload();
}

}  // namespace tamblor::views
