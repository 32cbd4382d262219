#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tamblor/lang/resource_names.h"
#include "tamblor/os/win32/gdi.h"
#include "tamblor/os/win32/window_procedure.h"
#include "tamblor/text/block_file.h"
#include "tamblor/text/index_format.h"
#include "tamblor/text/text_line.h"
#include "tamblor/views/view_document.h"
#include "tamblor/views/win32/child_windows.h"

namespace tamblor::views {
namespace {

// Lines kept for display; a longer file shows its first lines.
constexpr size_t kMaxShownLines = 20000;

struct PaneState {
  PaneState(HWND window, const CREATESTRUCTA&);
  bool OnMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result);
  bool OnDocumentMessage(UINT message, WPARAM wparam, LPARAM lparam);

  HWND window;
  std::vector<std::string> lines;  // in the ANSI character set
  std::vector<int64_t> starts;     // byte position of each line's first byte
  std::vector<int64_t> ends;       // byte position of the last byte consumed for each line
  int top = 0;                     // first visible line
  int char_width = 8;
  int line_height = 16;
  int rows = 1;
  ViewDocument* document = nullptr;  // lent by the top view
  text::BlockFile file;              // the document's file while it is attached
  bool open_on_release = false;      // a double click in an index opens the entry on release
};

PaneState* State(HWND pane) { return os::win32::WindowObject<PaneState>(pane); }

int LineCount(const PaneState& s) { return static_cast<int>(s.lines.size()); }
int LastTop(const PaneState& s) { return std::max(0, LineCount(s) - s.rows + 1); }
bool IsIndex(const PaneState& s) { return s.document && s.document->mode == DisplayMode::IndexEntries; }

// The line that holds byte `position` (the last line for positions past it).
int LineAt(const PaneState& s, int64_t position) {
  auto after = std::upper_bound(s.starts.begin(), s.starts.end(), position);
  return std::max(0, static_cast<int>(after - s.starts.begin()) - 1);
}

void UpdateScrollBar(HWND pane, const PaneState& s) {
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  info.nMin = 0;
  info.nMax = std::max(0, LineCount(s) - 1);
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

// Brings the selection into the window: its first line at the top when it
// lies above, its last line on the last full row when it lies below.
void ShowSelection(HWND pane, PaneState& s) {
  if (!s.document || s.document->selection_start < 0 || s.lines.empty()) return;
  int first = LineAt(s, s.document->selection_start);
  int last = LineAt(s, std::max(s.document->selection_start, s.document->selection_end));
  int full_rows = std::max(1, s.rows - 1);
  if (first < s.top) {
    ScrollTo(pane, s, first);
  } else if (last >= s.top + full_rows) {
    ScrollTo(pane, s, last - full_rows + 1);
  }
}

// Selects `start` … `end`; in an index the whole entry that holds `start`.
void SetSelection(HWND pane, PaneState& s, int64_t start, int64_t end) {
  ViewDocument* d = s.document;
  if (!d) return;
  if (start >= 0 && IsIndex(s)) {
    if (s.file.Size() <= 0) {
      start = -1;  // an empty index has no entry to select
    } else {
      start = text::EntryStart(s.file, std::min(start, s.file.Size() - 1));
      end = text::NextEntryStart(s.file, start) - 1;
    }
  }
  if (start < 0) end = -1;
  if (start == d->selection_start && end == d->selection_end) return;
  d->selection_start = start;
  d->selection_end = end;
  InvalidateRect(pane, nullptr, TRUE);
}

void Paint(HWND pane, PaneState& s) {
  os::win32::PaintDC paint(pane);
  HDC dc = paint.get();
  FillRect(dc, &paint.update(), static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  os::win32::SelectedObject font(dc, GetStockObject(ANSI_FIXED_FONT));
  SetBkColor(dc, RGB(255, 255, 255));
  RECT client;
  GetClientRect(pane, &client);
  int first = paint.update().top / s.line_height;
  int last = paint.update().bottom / s.line_height;
  for (int row = first; row <= last; ++row) {
    size_t index = static_cast<size_t>(s.top + row);
    if (index >= s.lines.size()) break;
    const std::string& line = s.lines[index];
    TextOutA(dc, s.char_width, row * s.line_height, line.c_str(), static_cast<int>(line.size()));
    const ViewDocument* d = s.document;
    if (d && d->selection_start >= 0 && s.starts[index] <= std::max(d->selection_start, d->selection_end) &&
        s.ends[index] >= d->selection_start) {
      RECT band{0, row * s.line_height, client.right, (row + 1) * s.line_height};
      InvertRect(dc, &band);
    }
  }
}

// Up and Down in an index move the selection from entry to entry.
void MoveSelection(HWND pane, PaneState& s, bool down) {
  ViewDocument* d = s.document;
  int64_t size = s.file.Size();
  if (size <= 0) return;
  int64_t target = d->selection_start < 0 ? 0 : down ? d->selection_end + 1 : d->selection_start - 1;
  target = std::clamp<int64_t>(target, 0, size - 1);
  SetSelection(pane, s, target, target);
  ShowSelection(pane, s);
}

void OnKey(HWND pane, PaneState& s, WPARAM key) {
  if (IsIndex(s) && (key == VK_UP || key == VK_DOWN)) {
    MoveSelection(pane, s, key == VK_DOWN);
    return;
  }
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

// A click in an index selects the entry under the pointer.
void OnButtonDown(HWND pane, PaneState& s, LPARAM point, bool double_click) {
  SetFocus(pane);
  if (!IsIndex(s) || s.lines.empty()) return;
  int row = std::max(0, static_cast<int>(static_cast<short>(HIWORD(point))) / s.line_height);
  int line = std::min(s.top + row, LineCount(s) - 1);
  SetSelection(pane, s, s.starts[line], s.starts[line]);
  s.open_on_release = double_click;
}

PaneState::PaneState(HWND pane, const CREATESTRUCTA&) : window(pane) {
  os::win32::WindowDC dc(pane);
  os::win32::SelectedObject font(dc.get(), GetStockObject(ANSI_FIXED_FONT));
  TEXTMETRICA metrics;
  if (GetTextMetricsA(dc.get(), &metrics)) {
    char_width = std::max(1, static_cast<int>(metrics.tmAveCharWidth));
    line_height = std::max(1, static_cast<int>(metrics.tmHeight + metrics.tmExternalLeading));
  }
}

bool PaneState::OnMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT*) {
  switch (message) {
    case WM_SIZE:
      rows = HIWORD(lparam) / line_height + 1;
      top = std::clamp(top, 0, LastTop(*this));
      UpdateScrollBar(window, *this);
      return true;
    case WM_PAINT:
      Paint(window, *this);
      return true;
    default:
      // Without a document the pane only paints itself white.
      return document && OnDocumentMessage(message, wparam, lparam);
  }
}

bool PaneState::OnDocumentMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  PaneState& s = *this;
  switch (message) {
    case WM_KEYDOWN:
      OnKey(window, s, wparam);
      return true;
    case WM_CHAR:
      if (wparam == VK_RETURN || wparam == 10) {
        SendMessageA(GetParent(window), WM_COMMAND, lang::kCmdSelect, 0);
      } else if (wparam == VK_ESCAPE) {
        SendMessageA(GetParent(window), WM_COMMAND, lang::kCmdBack, 0);
      } else if (IsIndex(s) && (wparam == 'n' || wparam == 'N' || wparam == 14)) {
        MoveSelection(window, s, true);
      } else if (IsIndex(s) && (wparam == 'p' || wparam == 'P' || wparam == 16)) {
        MoveSelection(window, s, false);
      } else {
        SendMessageA(GetParent(window), message, wparam, lparam);
      }
      return true;
    case WM_VSCROLL:
      OnVerticalScroll(window, s, wparam);
      return true;
    case WM_LBUTTONDOWN:
      OnButtonDown(window, s, lparam, false);
      return true;
    case WM_LBUTTONDBLCLK:
      OnButtonDown(window, s, lparam, true);
      return true;
    case WM_LBUTTONUP:
      if (open_on_release) {
        open_on_release = false;
        SendMessageA(GetParent(window), WM_COMMAND, lang::kCmdSelect, 0);
      }
      return true;
    case kPaneSnapSelection:
      if (IsIndex(s)) SetSelection(window, s, document->selection_start, document->selection_end);
      return true;
    default:
      return false;
  }
}

}  // namespace

LRESULT CALLBACK TextPaneWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  return os::win32::WindowProcedure<PaneState>(window, message, wparam, lparam);
}

HWND CreateTextPane(HWND parent, HINSTANCE instance) {
  return CreateWindowA("ScrollWin", "", WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_HSCROLL | WS_CLIPSIBLINGS,
                       0, 0, 0, 0, parent, reinterpret_cast<HMENU>(kTextPaneId), instance, nullptr);
}

void AttachDocument(HWND pane, ViewDocument* document) {
  PaneState* s = State(pane);
  if (!s || !document) return;
  os::win32::WaitCursor wait;
  s->document = document;
  s->open_on_release = false;
  s->lines.clear();
  s->starts.clear();
  s->ends.clear();
  s->file.Open(document->path, 0);
  text::TextLine line(text::TextLine::kDefaultLimit);
  int64_t position = 0;
  while (s->lines.size() < kMaxShownLines && line.ReadLine(s->file, position)) {
    std::string shown(line.View());
    if (!shown.empty()) OemToCharBuffA(shown.data(), shown.data(), static_cast<DWORD>(shown.size()));
    s->lines.push_back(std::move(shown));
    s->starts.push_back(line.Start());
    s->ends.push_back(line.End());
    position = line.End() + 1;
  }
  s->top = s->lines.empty() ? 0 : std::clamp(LineAt(*s, document->top), 0, LastTop(*s));
  if (IsIndex(*s)) {
    // An index always has an entry selected: the one kept, or the first.
    int64_t start = document->selection_start < 0 ? 0 : document->selection_start;
    document->selection_start = document->selection_end = -2;  // forces the snap
    SetSelection(pane, *s, start, start);
  }
  SetWindowTextA(pane, document->path.c_str());  // names the shown file to tools that inspect the window
  UpdateScrollBar(pane, *s);
  InvalidateRect(pane, nullptr, TRUE);
}

void DetachDocument(HWND pane) {
  PaneState* s = State(pane);
  if (!s || !s->document) return;
  size_t top = static_cast<size_t>(s->top);
  s->document->top = top < s->starts.size() ? s->starts[top] : s->file.Size();
  s->document = nullptr;
  s->file.Close();
  s->lines.clear();
  s->starts.clear();
  s->ends.clear();
  s->top = 0;
  InvalidateRect(pane, nullptr, TRUE);
}

void SetPaneWrap(HWND pane, bool wrap) {
  PaneState* s = State(pane);
  if (!s || !s->document) return;
  s->document->wrap = wrap;
  InvalidateRect(pane, nullptr, TRUE);
}

int64_t PaneSelectionStart(HWND pane) {
  PaneState* s = State(pane);
  return s && s->document ? s->document->selection_start : -1;
}

void TextPaneMetrics(HWND pane, int* char_width, int* line_height) {
  PaneState* s = State(pane);
  *char_width = s ? s->char_width : 8;
  *line_height = s ? s->line_height : 16;
}

}  // namespace tamblor::views
