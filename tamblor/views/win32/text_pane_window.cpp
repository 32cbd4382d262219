// The "ScrollWin" window: paints the ScrollPane's rows and passes the
// keyboard, mouse, scroll-bar and search messages to it.
#include <windows.h>

#include <algorithm>
#include <optional>
#include <string>

#include "tamblor/lang/language_set.h"
#include "tamblor/lang/string_ids.h"
#include "tamblor/os/win32/gdi.h"
#include "tamblor/os/win32/window_procedure.h"
#include "tamblor/views/scroll_pane.h"
#include "tamblor/views/view_document.h"
#include "tamblor/views/win32/child_windows.h"

namespace tamblor::views {
namespace {

constexpr UINT_PTR kDragTimer = 1;
constexpr UINT kDragInterval = 20;  // milliseconds

int PointX(LPARAM lparam) { return static_cast<short>(LOWORD(lparam)); }
int PointY(LPARAM lparam) { return static_cast<short>(HIWORD(lparam)); }

class TextPaneWindow : public PaneWindow {
 public:
  TextPaneWindow(HWND window, const CREATESTRUCTA& create)
      : window_(window),
        services_(*static_cast<const PaneServices*>(create.lpCreateParams)),
        pane_(*services_.machine, *this) {
    os::win32::WindowDC dc(window);
    os::win32::SelectedObject font(dc.get(), GetStockObject(ANSI_FIXED_FONT));
    TEXTMETRICA metrics;
    if (GetTextMetricsA(dc.get(), &metrics)) {
      pane_.SetFontMetrics(metrics.tmAveCharWidth, metrics.tmHeight + metrics.tmExternalLeading);
    }
  }

  ScrollPane& pane() { return pane_; }

  bool OnMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) {
    switch (message) {
      case WM_SIZE: pane_.Resize(LOWORD(lparam), HIWORD(lparam)); return true;
      case WM_PAINT: OnPaint(); return true;
      case kPaneQueryTop: *result = Answer(pane_.document() ? pane_.TopPosition() : -1); return true;
      case kPaneQuerySelectionStart: *result = Answer(pane_.selection_start()); return true;
      case kPaneQuerySelectionEnd: *result = Answer(pane_.selection_end()); return true;
      case kPaneQueryLineHeight: *result = pane_.line_height(); return true;
      case kPaneQueryCharWidth: *result = pane_.char_width(); return true;
      case kPaneQueryHorizontalOffset: *result = pane_.horizontal_offset(); return true;
      case kPaneQueryRowStart: *result = Answer(pane_.RowStart(static_cast<int>(wparam))); return true;
      default: return pane_.document() && OnDocumentMessage(message, wparam, lparam);  // else default processing
    }
  }

  // --- PaneWindow ---------------------------------------------------------------
  void InvalidateRows(int first, int last) override {
    RECT client;
    GetClientRect(window_, &client);
    RECT rows{0, first * pane_.line_height(), client.right, (last + 1) * pane_.line_height()};
    InvalidateRect(window_, &rows, FALSE);
  }
  void InvalidateAll() override { InvalidateRect(window_, nullptr, FALSE); }
  void ScrollContent(int rows) override {
    ScrollWindow(window_, 0, rows * pane_.line_height(), nullptr, nullptr);
    UpdateWindow(window_);
  }
  void SetVerticalBar(bool enabled, int range, int position) override { SetBar(SB_VERT, enabled, range, position); }
  void SetHorizontalBar(bool enabled, int range, int position) override { SetBar(SB_HORZ, enabled, range, position); }
  void SendCommand(int command) override { SendMessageA(GetParent(window_), WM_COMMAND, command, 0); }
  void PassCharacter(unsigned character) override { SendMessageA(GetParent(window_), WM_CHAR, character, 0); }
  void ReportNotFound() override {
    // String returns one shared buffer: the text and the caption one after the other.
    std::string text = services_.languages ? services_.languages->String(lang::kStrNoMoreOccurrences) : "";
    std::string caption = services_.languages ? services_.languages->String(lang::kStrWordSearchCaption) : "";
    MessageBoxA(window_, text.c_str(), caption.c_str(), MB_OK);
  }
  void BeginWait() override {
    if (waits_++ == 0) wait_.emplace();
  }
  void EndWait() override {
    if (waits_ > 0 && --waits_ == 0) wait_.reset();
  }

 private:
  static LRESULT Answer(int64_t position) { return static_cast<LRESULT>(position); }

  bool OnDocumentMessage(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
      case WM_KEYDOWN: return pane_.Key(static_cast<unsigned>(wparam));
      case WM_CHAR: pane_.Character(static_cast<unsigned>(wparam)); return true;
      case WM_VSCROLL: pane_.VerticalRequest(LOWORD(wparam), HIWORD(wparam)); return true;
      case WM_HSCROLL: pane_.HorizontalRequest(LOWORD(wparam), HIWORD(wparam)); return true;
      case WM_LBUTTONDOWN: OnButtonDown(lparam, false); return true;
      case WM_LBUTTONDBLCLK: OnButtonDown(lparam, true); return true;
      case WM_MOUSEMOVE: OnMouseMove(lparam); return true;
      case WM_TIMER: if (wparam == kDragTimer) pane_.MouseTimer(); return true;
      case WM_LBUTTONUP: OnButtonUp(); return true;
      case kPaneWordSearch: OnWordSearch(wparam, lparam); return true;
      case kPaneSnapSelection: pane_.SnapSelection(); return true;
      default: return false;
    }
  }

  void OnButtonDown(LPARAM point, bool double_click) {
    SetFocus(window_);
    SetCapture(window_);
    pane_.MouseDown(PointX(point), PointY(point), double_click);
  }

  void OnMouseMove(LPARAM point) {
    if (!pane_.button_down()) return;
    if (pane_.MouseMove(PointX(point), PointY(point))) {
      SetTimer(window_, kDragTimer, kDragInterval, nullptr);
    } else {
      KillTimer(window_, kDragTimer);
    }
  }

  void OnButtonUp() {
    ReleaseCapture();
    KillTimer(window_, kDragTimer);
    pane_.MouseUp();
  }

  void OnWordSearch(WPARAM direction, LPARAM text) {
    const char* words = reinterpret_cast<const char*>(text);
    if (words && (direction == kSearchForwards || direction == kSearchBackwards)) {
      pane_.WordSearch(words, direction == kSearchForwards);
    }
  }

  // The update rectangle white, the rows' text converted from the DOS
  // character set, then the highlight inverted over the selected columns.
  void OnPaint() {
    os::win32::PaintDC paint(window_);
    HDC dc = paint.get();
    const RECT& update = paint.update();
    FillRect(dc, &update, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    os::win32::SelectedObject font(dc, GetStockObject(ANSI_FIXED_FONT));
    SetBkColor(dc, RGB(255, 255, 255));
    int width = pane_.char_width(), height = pane_.line_height();
    int first = std::max(0, static_cast<int>(update.top) / height);
    int last = std::min(pane_.rows() - 1, static_cast<int>(update.bottom) / height);
    for (int row = first; row <= last; ++row) {
      ScrollPane::RowPaint line = pane_.PaintRow(row);
      if (!line.has_line) continue;
      std::string shown(line.text);
      if (!shown.empty()) OemToCharBuffA(shown.data(), shown.data(), static_cast<DWORD>(shown.size()));
      TextOutA(dc, width * line.text_column, row * height, shown.data(), static_cast<int>(shown.size()));
      if (line.highlighted && line.highlight_to > line.highlight_from) {
        PatBlt(dc, width * line.highlight_from, row * height, width * (line.highlight_to - line.highlight_from),
               height, DSTINVERT);
      }
    }
  }

  // The bar keeps its place in the window whether in use or not, so setting
  // it never changes the client size.
  void SetBar(int bar, bool enabled, int range, int position) {
    BarState& state = bar == SB_VERT ? vertical_ : horizontal_;
    BarState wanted{enabled, std::max(range, 1), enabled ? position : 0};
    if (state.known && state.enabled == wanted.enabled && state.range == wanted.range &&
        state.position == wanted.position) {
      return;
    }
    if (!state.known || state.range != wanted.range) SetScrollRange(window_, bar, 0, wanted.range, FALSE);
    SetScrollPos(window_, bar, wanted.position, TRUE);
    if (!state.known || state.enabled != wanted.enabled) {
      EnableScrollBar(window_, bar, wanted.enabled ? ESB_ENABLE_BOTH : ESB_DISABLE_BOTH);
    }
    state = wanted;
    state.known = true;
  }

  struct BarState {
    bool enabled = false;
    int range = 0;
    int position = 0;
    bool known = false;
  };

  HWND window_;
  PaneServices services_;
  ScrollPane pane_;
  BarState vertical_, horizontal_;
  int waits_ = 0;
  std::optional<os::win32::WaitCursor> wait_;
};

TextPaneWindow* Pane(HWND pane) { return os::win32::WindowObject<TextPaneWindow>(pane); }

}  // namespace

LRESULT CALLBACK TextPaneWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  return os::win32::WindowProcedure<TextPaneWindow>(window, message, wparam, lparam);
}

HWND CreateTextPane(HWND parent, HINSTANCE instance, const PaneServices& services) {
  return CreateWindowA("ScrollWin", "", WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_HSCROLL | WS_CLIPSIBLINGS,
                       0, 0, 0, 0, parent, reinterpret_cast<HMENU>(kTextPaneId), instance,
                       const_cast<PaneServices*>(&services));
}

ScrollPane* PaneOf(HWND pane) {
  TextPaneWindow* window = Pane(pane);
  return window ? &window->pane() : nullptr;
}

void AttachDocument(HWND pane, ViewDocument* document) {
  ScrollPane* model = PaneOf(pane);
  if (!model || !document) return;
  model->Attach(document);
  SetWindowTextA(pane, document->path.c_str());  // names the shown file to tools that inspect the window
}

void DetachDocument(HWND pane) {
  if (ScrollPane* model = PaneOf(pane)) model->Detach();
}

void SetPaneWrap(HWND pane, bool wrap) {
  if (ScrollPane* model = PaneOf(pane)) model->SetWrap(wrap);
}

int64_t PaneSelectionStart(HWND pane) {
  ScrollPane* model = PaneOf(pane);
  return model && model->document() ? model->selection_start() : -1;
}

void TextPaneMetrics(HWND pane, int* char_width, int* line_height) {
  ScrollPane* model = PaneOf(pane);
  *char_width = model ? model->char_width() : 8;
  *line_height = model ? model->line_height() : 16;
}

}  // namespace tamblor::views
