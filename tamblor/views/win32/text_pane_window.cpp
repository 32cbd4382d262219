#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tamblor/lang/resource_names.h"
#include "tamblor/text/block_file.h"
#include "tamblor/text/text_line.h"
#include "tamblor/views/win32/child_windows.h"

namespace tamblor::views {
namespace {

// Lines kept for display; a longer file shows its first lines.
constexpr size_t kMaxShownLines = 20000;

struct PaneState {
  std::vector<std::string> lines;  // in the ANSI character set
  int top = 0;                     // first visible line
  int char_width = 8;
  int line_height = 16;
  int rows = 1;
};

PaneState* State(HWND pane) { return reinterpret_cast<PaneState*>(GetWindowLongPtrA(pane, GWLP_USERDATA)); }

int LastTop(const PaneState& s) { return std::max(0, static_cast<int>(s.lines.size()) - s.rows + 1); }

void UpdateScrollBar(HWND pane, const PaneState& s) {
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  info.nMin = 0;
  info.nMax = std::max(0, static_cast<int>(s.lines.size()) - 1);
  info.nPage = static_cast<UINT>(std::max(1, s.rows - 1));
  info.nPos = s.top;
  SetScrollInfo(pane, SB_VERT, &info, TRUE);
}

void ScrollTo(HWND pane, PaneState& s, int top) {
  top = std::clamp(top, 0, LastTop(s));
  if (top == s.top) return;
  ScrollWindow(pane, 0, (s.top - top) * s.line_height, nullptr, nullptr);
  s.top = top;
  UpdateScrollBar(pane, s);
  UpdateWindow(pane);
}

void Paint(HWND pane, PaneState& s) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(pane, &paint);
  FillRect(dc, &paint.rcPaint, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  HGDIOBJ old = SelectObject(dc, GetStockObject(ANSI_FIXED_FONT));
  SetBkColor(dc, RGB(255, 255, 255));
  int first = paint.rcPaint.top / s.line_height;
  int last = paint.rcPaint.bottom / s.line_height;
  for (int row = first; row <= last; ++row) {
    size_t index = static_cast<size_t>(s.top + row);
    if (index >= s.lines.size()) break;
    const std::string& line = s.lines[index];
    TextOutA(dc, s.char_width, row * s.line_height, line.c_str(), static_cast<int>(line.size()));
  }
  SelectObject(dc, old);
  EndPaint(pane, &paint);
}

void OnKey(HWND pane, PaneState& s, WPARAM key) {
  switch (key) {
    case VK_UP: ScrollTo(pane, s, s.top - 1); break;
    case VK_DOWN: ScrollTo(pane, s, s.top + 1); break;
    case VK_PRIOR: ScrollTo(pane, s, s.top - std::max(1, s.rows - 1)); break;
    case VK_NEXT: ScrollTo(pane, s, s.top + std::max(1, s.rows - 1)); break;
    case VK_HOME: ScrollTo(pane, s, 0); break;
    case VK_END: ScrollTo(pane, s, LastTop(s)); break;
    default: break;
  }
}

void OnVerticalScroll(HWND pane, PaneState& s, WPARAM request) {
  switch (LOWORD(request)) {
    case SB_LINEUP: ScrollTo(pane, s, s.top - 1); break;
    case SB_LINEDOWN: ScrollTo(pane, s, s.top + 1); break;
    case SB_PAGEUP: ScrollTo(pane, s, s.top - std::max(1, s.rows - 1)); break;
    case SB_PAGEDOWN: ScrollTo(pane, s, s.top + std::max(1, s.rows - 1)); break;
    case SB_TOP: ScrollTo(pane, s, 0); break;
    case SB_BOTTOM: ScrollTo(pane, s, LastTop(s)); break;
    case SB_THUMBTRACK: ScrollTo(pane, s, HIWORD(request)); break;
    default: break;
  }
}

void OnCreate(HWND pane) {
  auto* s = new PaneState;
  HDC dc = GetDC(pane);
  HGDIOBJ old = SelectObject(dc, GetStockObject(ANSI_FIXED_FONT));
  TEXTMETRICA metrics;
  if (GetTextMetricsA(dc, &metrics)) {
    s->char_width = std::max(1, static_cast<int>(metrics.tmAveCharWidth));
    s->line_height = std::max(1, static_cast<int>(metrics.tmHeight + metrics.tmExternalLeading));
  }
  SelectObject(dc, old);
  ReleaseDC(pane, dc);
  SetWindowLongPtrA(pane, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(s));
}

}  // namespace

LRESULT CALLBACK TextPaneWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  PaneState* s = State(window);
  switch (message) {
    case WM_CREATE:
      OnCreate(window);
      return 0;
    case WM_NCDESTROY:
      delete s;
      SetWindowLongPtrA(window, GWLP_USERDATA, 0);
      break;
    case WM_SIZE:
      if (s) {
        s->rows = HIWORD(lparam) / s->line_height + 1;
        s->top = std::clamp(s->top, 0, LastTop(*s));
        UpdateScrollBar(window, *s);
      }
      return 0;
    case WM_PAINT:
      if (s) {
        Paint(window, *s);
        return 0;
      }
      break;
    case WM_KEYDOWN:
      if (s) OnKey(window, *s, wparam);
      return 0;
    case WM_CHAR:
      if (wparam == VK_RETURN || wparam == 10) {
        SendMessageA(GetParent(window), WM_COMMAND, lang::kCmdSelect, 0);
      } else if (wparam == VK_ESCAPE) {
        SendMessageA(GetParent(window), WM_COMMAND, lang::kCmdBack, 0);
      } else {
        SendMessageA(GetParent(window), message, wparam, lparam);
      }
      return 0;
    case WM_VSCROLL:
      if (s) OnVerticalScroll(window, *s, wparam);
      return 0;
    case WM_LBUTTONDOWN:
      SetFocus(window);
      return 0;
    default:
      break;
  }
  return DefWindowProcA(window, message, wparam, lparam);
}

HWND CreateTextPane(HWND parent, HINSTANCE instance) {
  return CreateWindowA("ScrollWin", "", WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_HSCROLL | WS_CLIPSIBLINGS,
                       0, 0, 0, 0, parent, reinterpret_cast<HMENU>(kTextPaneId), instance, nullptr);
}

void ShowFileInPane(HWND pane, const std::string& path) {
  PaneState* s = State(pane);
  if (!s) return;
  HCURSOR old_cursor = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
  s->lines.clear();
  s->top = 0;
  text::BlockFile file;
  file.Open(path, 0);
  text::TextLine line(text::TextLine::kDefaultLimit);
  int64_t position = 0;
  while (s->lines.size() < kMaxShownLines && line.ReadLine(file, position)) {
    std::string shown(line.View());
    if (!shown.empty()) OemToCharBuffA(shown.data(), shown.data(), static_cast<DWORD>(shown.size()));
    s->lines.push_back(std::move(shown));
    position = line.End() + 1;
  }
  file.Close();
  SetWindowTextA(pane, path.c_str());  // names the shown file to tools that inspect the window
  UpdateScrollBar(pane, *s);
  InvalidateRect(pane, nullptr, TRUE);
  SetCursor(old_cursor);
}

void TextPaneMetrics(HWND pane, int* char_width, int* line_height) {
  PaneState* s = State(pane);
  *char_width = s ? s->char_width : 8;
  *line_height = s ? s->line_height : 16;
}

}  // namespace tamblor::views
