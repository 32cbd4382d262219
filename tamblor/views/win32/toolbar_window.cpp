#include <windows.h>

#include <string>

#include "tamblor/lang/language_set.h"
#include "tamblor/lang/resource_names.h"
#include "tamblor/lang/string_ids.h"
#include "tamblor/os/win32/gdi.h"
#include "tamblor/os/win32/window_procedure.h"
#include "tamblor/views/search_history.h"
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

HWND MainWindowOf(HWND toolbar) { return GetParent(toolbar); }
HWND PaneOf(HWND toolbar) { return GetDlgItem(MainWindowOf(toolbar), kTextPaneId); }

// The combo box's edit field: Escape hands the focus back and turns a found
// text into its entry; Enter searches forwards. Neither character goes on.
LRESULT CALLBACK SearchFieldProc(HWND edit, UINT message, WPARAM wparam, LPARAM lparam) {
  auto previous = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(edit, GWLP_USERDATA));
  HWND toolbar = GetParent(GetParent(edit));
  if (message == WM_KEYDOWN && wparam == VK_ESCAPE) {
    SetFocus(MainWindowOf(toolbar));
    if (HWND pane = PaneOf(toolbar)) SendMessageA(pane, kPaneSnapSelection, 0, 0);
    return 0;
  }
  if (message == WM_KEYDOWN && wparam == VK_RETURN) {
    SendMessageA(GetDlgItem(toolbar, kFindNextButton), BM_CLICK, 0, 0);  // press and release
    SetFocus(MainWindowOf(toolbar));
    return 0;
  }
  if (message == WM_CHAR && (wparam == VK_RETURN || wparam == VK_ESCAPE)) return 0;
  return previous ? CallWindowProcA(previous, edit, message, wparam, lparam) : DefWindowProcA(edit, message, wparam, lparam);
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
      case WM_DRAWITEM: *result = OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lparam)); return true;
      case WM_COMMAND: OnCommand(LOWORD(wparam), HIWORD(wparam)); return true;
      case WM_CTLCOLORSTATIC:
      case WM_CTLCOLORBTN:
      case WM_CTLCOLOREDIT:
      case WM_CTLCOLORLISTBOX: *result = OnControlColour(reinterpret_cast<HDC>(wparam)); return true;
      default: return false;
    }
  }

  LRESULT OnDrawItem(const DRAWITEMSTRUCT& item) {
    DrawButton(languages_, item);
    return TRUE;
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
    if (HWND field = GetWindow(combo, GW_CHILD)) {
      LONG_PTR previous = SetWindowLongPtrA(field, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SearchFieldProc));
      SetWindowLongPtrA(field, GWLP_USERDATA, previous);
    }
  }

  // A double click on a button counts as another click. After any button
  // the focus goes back to the main window (and from there to the pane).
  void OnCommand(int id, int notification) {
    if (notification != BN_CLICKED && notification != BN_DOUBLECLICKED) return;
    HWND pane = PaneOf(window_);
    switch (id) {
      case kPrevButton:
        if (pane) SendMessageA(pane, WM_CHAR, VK_ESCAPE, 0);
        break;
      case kSelectButton:
      case kCopyButton:
        if (pane) SendMessageA(pane, kPaneSnapSelection, 0, 0);  // a found text becomes its entry
        SendMessageA(MainWindowOf(window_), WM_COMMAND, id == kSelectButton ? lang::kCmdSelect : lang::kCmdCopyFile, 0);
        break;
      case kFindNextButton:
      case kFindPrevButton:
        Search(pane, id == kFindNextButton ? kSearchForwards : kSearchBackwards);
        break;
      default:
        return;
    }
    SetFocus(MainWindowOf(window_));
  }

  // The box's text goes to the top of its list (seven searches, newest
  // first, no repeats), stays in the field, and is searched for in the pane.
  void Search(HWND pane, WPARAM direction) {
    char text[SearchHistory::kMaxText + 1] = {};
    GetDlgItemTextA(window_, kSearchText, text, sizeof text);
    if (!history_.Add(text)) return;
    HWND combo = GetDlgItem(window_, kSearchText);
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    for (const std::string& entry : history_.entries()) {
      SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
    }
    SetWindowTextA(combo, history_.entries().front().c_str());
    if (pane) SendMessageA(pane, kPaneWordSearch, direction, reinterpret_cast<LPARAM>(history_.entries().front().c_str()));
  }

  static LRESULT OnControlColour(HDC dc) {
    SetBkColor(dc, kControlFace);
    return reinterpret_cast<LRESULT>(GetStockObject(LTGRAY_BRUSH));
  }

  HWND window_;
  lang::LanguageSet* languages_;
  SearchHistory history_;
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
