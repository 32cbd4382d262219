// uidriver — drives the real programs through Win32 for the end-to-end tests.
// Runs under the same Wine prefix as the program under test. Every command
// prints its answer on standard output and exits 0, or prints a reason on
// standard error and exits 1. Window handles are printed and read in hex.
//
//   uidriver wait <class|*> <title|*> <timeout_ms>  top-level window by class and title
//   uidriver wait-gone <hwnd> <timeout_ms>           until the window no longer exists
//   uidriver wait-item <id> <text|*> <timeout_ms>     top-level window with a child control
//                                                    of that id and text (dialogs without captions)
//   uidriver wait-text <text> <timeout_ms>           top-level window whose caption or one of
//                                                    whose controls reads exactly <text>
//   uidriver list                                    top-level visible windows
//   uidriver text <hwnd>                             the window's text (caption)
//   uidriver children <hwnd>                         descendants: hwnd id class "text"
//   uidriver item-text <hwnd> <id>                   text of a child control by id
//   uidriver checked <hwnd> <id>                     a button's check state: 0, 1 (checked) or 2
//   uidriver set-check <hwnd> <id> <0|1>             sets a button's check state (BM_SETCHECK)
//   uidriver style <hwnd> <id>                       a child control's window style, in hex
//   uidriver text-fit <child-hwnd> <face> <points>   a control's text extent in the font its
//                                                    dialog template names, and its client
//                                                    width, in pixels: "extent width"
//   uidriver rect <hwnd>                             the window's screen rectangle: left top right bottom
//   uidriver move <hwnd> <x> <y>                     moves a top-level window (size and order kept)
//   uidriver set-text <hwnd> <id> <text>             sets a child control's text
//   uidriver click <hwnd> <id>                       clicks a button by id
//   uidriver command <hwnd> <id>                     posts WM_COMMAND id
//   uidriver key <hwnd> <vk>                         posts a key press (virtual-key code, decimal)
//   uidriver close <hwnd>                            posts WM_CLOSE
//   uidriver menu <hwnd>                             menu bar items: id check "text" (submenus indented)
//   uidriver screenshot <hwnd|0> <file.png>          the window (0: whole screen) as PNG
//   uidriver send-key <hwnd> <vk>                    sends a key press and returns once it is handled
//   uidriver send-char <hwnd> <code>                 sends a typed character (decimal) the same way
//   uidriver pane <hwnd>                             the browser's text pane: top and selection
//                                                    positions, horizontal offset, the line at the
//                                                    top, the word at the selection start and where
//                                                    the first three rows start
//   uidriver pane-click <hwnd> <row> [double]        a click (or double click) on a row of the pane
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tests/support/png_writer.h"

namespace {

HWND ParseHandle(const char* text) {
  return reinterpret_cast<HWND>(static_cast<uintptr_t>(std::strtoull(text, nullptr, 16)));
}

// Sends a message with a bound, so that a window whose thread is busy (a
// program waiting on a process, say) cannot hang the driver.
LRESULT SendBounded(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutA(hwnd, message, wparam, lparam, SMTO_ABORTIFHUNG | SMTO_BLOCK, 2000, &result)) {
    return 0;
  }
  return static_cast<LRESULT>(result);
}

std::string WindowText(HWND hwnd) {
  // WM_GETTEXT works across processes for standard controls.
  LRESULT length = SendBounded(hwnd, WM_GETTEXTLENGTH, 0, 0);
  if (length < 0 || length > 65536) length = 65536;
  std::vector<char> buffer(static_cast<size_t>(length) + 2, '\0');
  SendBounded(hwnd, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()));
  return std::string(buffer.data());
}

std::string ClassOf(HWND hwnd) {
  char name[256] = "";
  GetClassNameA(hwnd, name, sizeof name);
  return name;
}

bool Matches(const char* pattern, const std::string& value) {
  return std::strcmp(pattern, "*") == 0 || value == pattern;
}

struct FindRequest {
  const char* cls;
  const char* title;
  HWND found;
};

BOOL CALLBACK FindTop(HWND hwnd, LPARAM param) {
  auto* request = reinterpret_cast<FindRequest*>(param);
  if (!IsWindowVisible(hwnd)) return TRUE;
  if (Matches(request->cls, ClassOf(hwnd)) && Matches(request->title, WindowText(hwnd))) {
    request->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

struct ItemRequest {
  int id;
  const char* text;
  HWND found;
};

BOOL CALLBACK FindTopWithItem(HWND hwnd, LPARAM param) {
  auto* request = reinterpret_cast<ItemRequest*>(param);
  if (!IsWindowVisible(hwnd)) return TRUE;
  HWND item = GetDlgItem(hwnd, request->id);
  if (item && Matches(request->text, WindowText(item))) {
    request->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

struct TextRequest {
  const char* text;
  bool seen;
  HWND found;
};

BOOL CALLBACK FindChildWithText(HWND hwnd, LPARAM param) {
  auto* request = reinterpret_cast<TextRequest*>(param);
  if (WindowText(hwnd) != request->text) return TRUE;
  request->seen = true;
  return FALSE;
}

BOOL CALLBACK FindTopWithText(HWND hwnd, LPARAM param) {
  auto* request = reinterpret_cast<TextRequest*>(param);
  if (!IsWindowVisible(hwnd)) return TRUE;
  request->seen = WindowText(hwnd) == request->text;
  if (!request->seen) EnumChildWindows(hwnd, FindChildWithText, param);
  if (!request->seen) return TRUE;
  request->found = hwnd;
  return FALSE;
}

// Calls `find` until it succeeds or `timeout_ms` has passed.
template <class Find>
bool WaitFor(const char* timeout_ms, Find find) {
  DWORD deadline = GetTickCount() + static_cast<DWORD>(std::atol(timeout_ms));
  for (;;) {
    if (find()) return true;
    if (static_cast<LONG>(GetTickCount() - deadline) >= 0) return false;
    Sleep(100);
  }
}

void PrintHandle(HWND hwnd) {
  std::printf("%lx\n", static_cast<unsigned long>(reinterpret_cast<uintptr_t>(hwnd)));
}

BOOL CALLBACK ListTop(HWND hwnd, LPARAM) {
  if (IsWindowVisible(hwnd)) {
    std::printf("%lx %s \"%s\"\n", static_cast<unsigned long>(reinterpret_cast<uintptr_t>(hwnd)),
                ClassOf(hwnd).c_str(), WindowText(hwnd).c_str());
  }
  return TRUE;
}

BOOL CALLBACK ListChild(HWND hwnd, LPARAM) {
  std::printf("%lx %d %s \"%s\"\n", static_cast<unsigned long>(reinterpret_cast<uintptr_t>(hwnd)),
              GetDlgCtrlID(hwnd), ClassOf(hwnd).c_str(), WindowText(hwnd).c_str());
  return TRUE;
}

void PrintMenu(HMENU menu, int depth) {
  int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    char text[256] = "";
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_ID | MIIM_STATE | MIIM_SUBMENU | MIIM_STRING | MIIM_FTYPE;
    info.dwTypeData = text;
    info.cch = sizeof text - 1;
    if (!GetMenuItemInfoA(menu, i, TRUE, &info)) continue;
    if (info.fType & MFT_SEPARATOR) continue;
    std::printf("%*s%u %s \"%s\"\n", depth * 2, "", info.wID,
                (info.fState & MFS_CHECKED) ? "checked" : "-", text);
    if (info.hSubMenu) PrintMenu(info.hSubMenu, depth + 1);
  }
}

int Screenshot(HWND hwnd, const char* path) {
  RECT rect;
  if (hwnd) {
    if (!GetWindowRect(hwnd, &rect)) return 1;
  } else {
    rect = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  }
  int width = rect.right - rect.left, height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0) return 1;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
  SelectObject(memory, old);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  int stride = (width * 3 + 3) & ~3;
  std::vector<uint8_t> bgr(static_cast<size_t>(stride) * height);
  GetDIBits(memory, bitmap, 0, height, bgr.data(), &info, DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  std::vector<uint8_t> rgb(static_cast<size_t>(width) * height * 3);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const uint8_t* p = &bgr[static_cast<size_t>(y) * stride + x * 3];
      uint8_t* q = &rgb[(static_cast<size_t>(y) * width + x) * 3];
      q[0] = p[2];
      q[1] = p[1];
      q[2] = p[0];
    }
  }
  return test_support::WritePngFile(path, width, height, rgb) ? 0 : 1;
}

// The browser's text pane answers these with byte positions (-1: none) and
// its metrics in pixels.
constexpr UINT kPaneQueryTop = WM_USER + 10;
constexpr UINT kPaneQuerySelectionStart = WM_USER + 11;
constexpr UINT kPaneQuerySelectionEnd = WM_USER + 12;
constexpr UINT kPaneQueryLineHeight = WM_USER + 13;
constexpr UINT kPaneQueryCharWidth = WM_USER + 14;
constexpr UINT kPaneQueryHorizontalOffset = WM_USER + 15;
constexpr UINT kPaneQueryRowStart = WM_USER + 16;

long long PaneValue(HWND pane, UINT query) { return static_cast<long long>(static_cast<int>(SendBounded(pane, query, 0, 0))); }

// The bytes of `path` from `position` up to the line end, carriage returns left out.
std::string LineAt(const std::string& path, long long position) {
  std::string line;
  FILE* f = position >= 0 ? std::fopen(path.c_str(), "rb") : nullptr;
  if (!f) return line;
  if (std::fseek(f, static_cast<long>(position), SEEK_SET) == 0) {
    for (int c = std::fgetc(f); c != EOF && c != '\n' && line.size() < 512; c = std::fgetc(f)) {
      if (c != '\r') line += static_cast<char>(c);
    }
  }
  std::fclose(f);
  return line;
}

// The first word at a position, as an index entry's name is read.
std::string WordAt(const std::string& path, long long position) {
  std::string line = LineAt(path, position);
  size_t start = line.find_first_not_of(" \t\b");
  if (start == std::string::npos) return "";
  size_t end = start;
  while (end < line.size() && static_cast<unsigned char>(line[end]) >= 33 && static_cast<unsigned char>(line[end]) <= 122) ++end;
  return line.substr(start, end - start);
}

int PrintPane(HWND pane) {
  std::string path = WindowText(pane);
  long long top = PaneValue(pane, kPaneQueryTop);
  long long start = PaneValue(pane, kPaneQuerySelectionStart);
  long long end = PaneValue(pane, kPaneQuerySelectionEnd);
  std::printf("file=%s\ntop=%lld\nselection=%lld-%lld\nhorizontal=%lld\n", path.c_str(), top, start, end,
              PaneValue(pane, kPaneQueryHorizontalOffset));
  std::printf("top-line=%s\nselected=%s\n", LineAt(path, top).c_str(), WordAt(path, start).c_str());
  std::printf("rows=%lld,%lld,%lld\n", static_cast<long long>(static_cast<int>(SendBounded(pane, kPaneQueryRowStart, 0, 0))),
              static_cast<long long>(static_cast<int>(SendBounded(pane, kPaneQueryRowStart, 1, 0))),
              static_cast<long long>(static_cast<int>(SendBounded(pane, kPaneQueryRowStart, 2, 0))));
  return 0;
}

int ClickPaneRow(HWND pane, int row, bool double_click) {
  long long height = PaneValue(pane, kPaneQueryLineHeight);
  long long width = PaneValue(pane, kPaneQueryCharWidth);
  if (height <= 0 || width <= 0) return 1;
  LPARAM point = MAKELPARAM(static_cast<int>(width * 2 + width / 2), static_cast<int>(row * height + height / 2));
  SendBounded(pane, WM_LBUTTONDOWN, MK_LBUTTON, point);
  SendBounded(pane, WM_LBUTTONUP, 0, point);
  if (double_click) {
    SendBounded(pane, WM_LBUTTONDBLCLK, MK_LBUTTON, point);
    SendBounded(pane, WM_LBUTTONUP, 0, point);
  }
  return 0;
}

// The pixel width of a control's text in a font made as the dialog manager
// makes a template's font (the control's own font handle belongs to the other
// process), and the width of its client area.
int PrintTextFit(HWND item, const char* face, int points) {
  const std::string text = WindowText(item);
  HDC dc = GetDC(item);
  if (!dc) return 1;
  HFONT font = CreateFontA(-MulDiv(points, GetDeviceCaps(dc, LOGPIXELSY), 72), 0, 0, 0, FW_NORMAL,
                           FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                           CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
  HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
  SIZE extent{};
  BOOL measured = old && GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent);
  if (old) SelectObject(dc, old);
  if (font) DeleteObject(font);
  ReleaseDC(item, dc);
  RECT client;
  if (!measured || !GetClientRect(item, &client)) return 1;
  std::printf("%ld %ld\n", static_cast<long>(extent.cx), static_cast<long>(client.right - client.left));
  return 0;
}

int Usage() {
  std::fprintf(stderr, "usage: uidriver wait|wait-gone|wait-item|wait-text|list|text|children|"
                       "item-text|checked|set-check|style|text-fit|rect|move|set-text|click|"
                       "command|key|close|menu|screenshot|send-key|send-char|pane|pane-click ...\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  std::string verb = argv[1];
  if (verb == "wait" && argc == 5) {
    FindRequest request{argv[2], argv[3], nullptr};
    if (WaitFor(argv[4], [&] {
          EnumWindows(FindTop, reinterpret_cast<LPARAM>(&request));
          return request.found != nullptr;
        })) {
      PrintHandle(request.found);
      return 0;
    }
    std::fprintf(stderr, "no window of class %s titled %s\n", argv[2], argv[3]);
    return 1;
  }
  if (verb == "wait-item" && argc == 5) {
    ItemRequest request{std::atoi(argv[2]), argv[3], nullptr};
    if (WaitFor(argv[4], [&] {
          EnumWindows(FindTopWithItem, reinterpret_cast<LPARAM>(&request));
          return request.found != nullptr;
        })) {
      PrintHandle(request.found);
      return 0;
    }
    std::fprintf(stderr, "no window with item %s reading %s\n", argv[2], argv[3]);
    return 1;
  }
  if (verb == "wait-text" && argc == 4) {
    TextRequest request{argv[2], false, nullptr};
    if (WaitFor(argv[3], [&] {
          EnumWindows(FindTopWithText, reinterpret_cast<LPARAM>(&request));
          return request.found != nullptr;
        })) {
      PrintHandle(request.found);
      return 0;
    }
    std::fprintf(stderr, "no window reading %s\n", argv[2]);
    return 1;
  }
  if (verb == "wait-gone" && argc == 4) {
    HWND hwnd = ParseHandle(argv[2]);
    return WaitFor(argv[3], [&] { return !IsWindow(hwnd); }) ? 0 : 1;
  }
  if (verb == "list" && argc == 2) {
    EnumWindows(ListTop, 0);
    return 0;
  }
  if (argc < 3) return Usage();
  HWND hwnd = ParseHandle(argv[2]);
  if (verb != "screenshot" && !IsWindow(hwnd)) {
    std::fprintf(stderr, "not a window: %s\n", argv[2]);
    return 1;
  }
  if (verb == "text" && argc == 3) {
    std::printf("%s\n", WindowText(hwnd).c_str());
    return 0;
  }
  if (verb == "children" && argc == 3) {
    EnumChildWindows(hwnd, ListChild, 0);
    return 0;
  }
  if (verb == "menu" && argc == 3) {
    HMENU menu = GetMenu(hwnd);
    if (!menu) return 1;
    PrintMenu(menu, 0);
    return 0;
  }
  if (verb == "rect" && argc == 3) {
    RECT rect;
    if (!GetWindowRect(hwnd, &rect)) return 1;
    std::printf("%ld %ld %ld %ld\n", static_cast<long>(rect.left), static_cast<long>(rect.top),
                static_cast<long>(rect.right), static_cast<long>(rect.bottom));
    return 0;
  }
  if (verb == "close" && argc == 3) return PostMessageA(hwnd, WM_CLOSE, 0, 0) ? 0 : 1;
  if (verb == "pane" && argc == 3) return PrintPane(hwnd);
  if (verb == "screenshot" && argc == 4) return Screenshot(hwnd, argv[3]);
  if (argc < 4) return Usage();
  int id = std::atoi(argv[3]);
  if (verb == "item-text" && argc == 4) {
    HWND item = GetDlgItem(hwnd, id);
    if (!item) return 1;
    std::printf("%s\n", WindowText(item).c_str());
    return 0;
  }
  if (verb == "checked" && argc == 4) {
    HWND item = GetDlgItem(hwnd, id);
    if (!item) return 1;
    std::printf("%d\n", static_cast<int>(SendBounded(item, BM_GETCHECK, 0, 0)));
    return 0;
  }
  if (verb == "text-fit" && argc == 5) return PrintTextFit(hwnd, argv[3], std::atoi(argv[4]));
  if (verb == "move" && argc == 5) {
    return SetWindowPos(hwnd, nullptr, id, std::atoi(argv[4]), 0, 0,
                        SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE) ? 0 : 1;
  }
  if (verb == "set-check" && argc == 5) {
    HWND item = GetDlgItem(hwnd, id);
    if (!item) return 1;
    SendBounded(item, BM_SETCHECK, std::atoi(argv[4]) ? BST_CHECKED : BST_UNCHECKED, 0);
    return 0;
  }
  if (verb == "style" && argc == 4) {
    HWND item = GetDlgItem(hwnd, id);
    if (!item) return 1;
    std::printf("%lx\n", static_cast<unsigned long>(GetWindowLongA(item, GWL_STYLE)));
    return 0;
  }
  if (verb == "set-text" && argc == 5) {
    HWND item = GetDlgItem(hwnd, id);
    if (!item) return 1;
    SendBounded(item, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[4]));
    return 0;
  }
  if (verb == "click" && argc == 4) {
    HWND item = GetDlgItem(hwnd, id);
    if (!item) return 1;
    // Posted, so that a modal loop the click starts does not block the driver.
    PostMessageA(item, BM_CLICK, 0, 0);
    return 0;
  }
  if (verb == "command" && argc == 4) return PostMessageA(hwnd, WM_COMMAND, MAKEWPARAM(id, 0), 0) ? 0 : 1;
  if (verb == "send-key" && argc == 4) {
    SendBounded(hwnd, WM_KEYDOWN, static_cast<WPARAM>(id), 1);
    SendBounded(hwnd, WM_KEYUP, static_cast<WPARAM>(id), 0xC0000001);
    return 0;
  }
  if (verb == "send-char" && argc == 4) {
    SendBounded(hwnd, WM_CHAR, static_cast<WPARAM>(id), 1);
    return 0;
  }
  if (verb == "pane-click" && (argc == 4 || (argc == 5 && std::strcmp(argv[4], "double") == 0))) {
    return ClickPaneRow(hwnd, id, argc == 5);
  }
  if (verb == "key" && argc == 4) {
    PostMessageA(hwnd, WM_KEYDOWN, static_cast<WPARAM>(id), 1);
    PostMessageA(hwnd, WM_KEYUP, static_cast<WPARAM>(id), 0xC0000001);
    return 0;
  }
  return Usage();
}
