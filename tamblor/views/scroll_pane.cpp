#include "tamblor/views/scroll_pane.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

#include "tamblor/lang/resource_names.h"
#include "tamblor/text/index_format.h"
#include "tamblor/text/text_line.h"

namespace tamblor::views {
namespace {

constexpr int kMaxRangeDivisor = 81;  // a row holds at most 81 characters inline
constexpr size_t kForwardSearchLength = 80;
constexpr size_t kBackwardSearchLength = 81;

}  // namespace

// --- Font, size and documents ------------------------------------------------

void ScrollPane::SetFontMetrics(int char_width, int line_height) {
  char_width_ = std::max(1, char_width);
  line_height_ = std::max(1, line_height);
}

void ScrollPane::Resize(int width, int height) {
  int64_t top = TopPosition();
  if (document_) document_->top = top;
  width_ = std::max(0, width);
  height_ = std::max(0, height);
  columns_ = width_ / char_width_ + 1;
  int limit = kUnwrappedLimit;
  if (document_ && document_->wrap) limit = std::max(1, columns_ - 3);
  lines_.Resize(height_ / line_height_ + 1, limit);
  if (!document_) {
    RefreshAll();
    return;
  }
  ComputeLastPageTop();
  SetTop(top);
}

void ScrollPane::Attach(ViewDocument* document) {
  if (!document) return;
  window_.BeginWait();
  if (document_) Detach();
  document_ = document;
  file_.Open(machine_, document->path, 0);  // a file that cannot be opened is fatal
  lines_.Clear();
  window_.InvalidateAll();
  horizontal_offset_ = 0;
  highlight_start_ = highlight_end_ = -1;
  button_down_ = open_on_release_ = false;
  lines_.FillFrom(file_, document->top);
  if (IsIndex()) {
    // An index always has an entry selected: the one it had, or the first.
    int64_t kept = document->selection_start;
    Select(kept >= 0 ? kept : 0, kept >= 0 ? kept : 0, true);
  } else {
    highlight_start_ = document->selection_start;
    highlight_end_ = document->selection_end;
  }
  Resize(width_, height_);
  window_.EndWait();
}

ViewDocument* ScrollPane::Detach() {
  ViewDocument* document = document_;
  if (!document) return nullptr;
  document->top = lines_.Holds(0) ? lines_.Row(0).Start() : FileSize();
  document->selection_start = highlight_start_;
  document->selection_end = highlight_end_;
  document_ = nullptr;
  file_.Close();
  lines_.Clear();
  highlight_start_ = highlight_end_ = -1;
  horizontal_offset_ = 0;
  button_down_ = open_on_release_ = false;
  RefreshAll();
  return document;
}

void ScrollPane::SetWrap(bool wrap) {
  if (!document_) return;
  document_->wrap = wrap;
  Resize(width_, height_);
}

// --- Reading lines around a position -------------------------------------------

int64_t ScrollPane::StartOfLineHolding(int64_t position) {
  text::TextLine line(lines_.Limit());
  return line.ReadLineBefore(file_, position + 1) ? line.Start() : 0;
}

int64_t ScrollPane::LinesBefore(int64_t position, int count) {
  text::TextLine line(lines_.Limit());
  for (int i = 0; i < count && line.ReadLineBefore(file_, position); ++i) {
    if (line.Start() >= position) break;  // no progress: the file changed
    position = line.Start();
  }
  return position;
}

int64_t ScrollPane::LinesAfter(int64_t position, int count) {
  text::TextLine line(lines_.Limit());
  for (int i = 0; i < count && line.ReadLine(file_, position); ++i) {
    if (line.End() < position) break;  // no progress: the file changed
    position = line.End() + 1;
  }
  return position;
}

int64_t ScrollPane::LastVisiblePosition() const {
  int row = LastFullRow();
  if (lines_.Holds(row)) return lines_.Row(row).End();
  return std::max<int64_t>(0, FileSize() - 1);
}

// --- Scrolling -------------------------------------------------------------------

void ScrollPane::SetTop(int64_t position) {
  if (!document_) return;
  lines_.FillFrom(file_, position);
  // At the end of the file earlier lines come down so that no empty rows show.
  for (int steps = rows() - 1; steps > 0 && rows() >= 2 && !lines_.Holds(rows() - 2) && lines_.Top() > 0; --steps) {
    if (!lines_.ScrollBack(file_)) break;
  }
  RefreshAll();
}

int ScrollPane::ScrollLines(int lines) {
  if (!document_ || lines == 0) return 0;
  int moved = 0;
  if (lines > 0) {
    while (moved < lines && lines_.ScrollForward(file_)) ++moved;
  } else {
    while (moved < -lines && lines_.ScrollBack(file_)) ++moved;
  }
  if (moved == 0) return 0;
  window_.ScrollContent(lines > 0 ? -moved : moved);
  UpdateBars();
  return moved;
}

void ScrollPane::ComputeLastPageTop() {
  last_page_top_ = LinesBefore(FileSize(), rows() - 1);
}

int ScrollPane::ThumbFor(int64_t position) const {
  if (last_page_top_ <= 0 || position <= 0) return 0;
  int64_t thumb = position * vertical_range_ / last_page_top_;
  return thumb >= kMaxVerticalRange ? kMaxVerticalRange : static_cast<int>(thumb);
}

int64_t ScrollPane::PositionFor(int thumb) const {
  if (vertical_range_ <= 0) return 0;
  return static_cast<int64_t>(thumb) * last_page_top_ / vertical_range_;
}

int ScrollPane::vertical_thumb() const { return ThumbFor(TopPosition()); }

void ScrollPane::UpdateBars() {
  if (!document_) {
    vertical_enabled_ = horizontal_enabled_ = false;
    horizontal_range_ = horizontal_offset_ = 0;
    window_.SetVerticalBar(false, 0, 0);
    window_.SetHorizontalBar(false, 0, 0);
    return;
  }
  vertical_enabled_ = TopPosition() > 0 || lines_.HoldsLast();
  int64_t range = FileSize() / std::min(columns_, kMaxRangeDivisor) - rows();
  if (range < kMinVerticalRange + 1) range = kMinVerticalRange;
  if (range >= kMaxVerticalRange) range = kMaxVerticalRange;
  vertical_range_ = static_cast<int>(range);
  window_.SetVerticalBar(vertical_enabled_, vertical_range_, vertical_enabled_ ? vertical_thumb() : 0);

  int horizontal = lines_.Widest() - columns_ + 3;
  horizontal_enabled_ = horizontal > 0;
  horizontal_range_ = std::max(0, horizontal);
  int offset = std::clamp(horizontal_offset_, 0, horizontal_range_);
  if (offset != horizontal_offset_) {
    horizontal_offset_ = offset;
    window_.InvalidateAll();
  }
  window_.SetHorizontalBar(horizontal_enabled_, horizontal_range_, horizontal_offset_);
}

void ScrollPane::RefreshAll() {
  window_.InvalidateAll();
  UpdateBars();
}

void ScrollPane::VerticalRequest(int request, int thumb) {
  if (!document_) return;
  switch (request) {
    case kScrollLineBack: ScrollLines(-1); break;
    case kScrollLineOn: ScrollLines(1); break;
    case kScrollPageBack: ScrollLines(-PageLines()); break;
    case kScrollPageOn: ScrollLines(PageLines()); break;
    case kScrollToStart: SetTop(0); break;
    case kScrollToEnd: SetTop(last_page_top_); break;
    case kScrollThumbTrack:
      if (thumb <= 0) {
        SetTop(0);
      } else if (thumb >= vertical_range_) {
        SetTop(LinesBefore(FileSize(), 1));  // the last line; the back-fill shows the last page
      } else {
        int64_t position = std::min(PositionFor(thumb), std::max<int64_t>(0, FileSize() - 1));
        SetTop(StartOfLineHolding(position));
      }
      break;
    default: break;  // only tracking moves the text, not the final thumb position
  }
}

void ScrollPane::HorizontalRequest(int request, int thumb) {
  if (!document_) return;
  int offset = horizontal_offset_;
  int page = std::max(1, columns_ - 2);
  switch (request) {
    case kScrollLineBack: offset -= 1; break;
    case kScrollLineOn: offset += 1; break;
    case kScrollPageBack: offset -= page; break;
    case kScrollPageOn: offset += page; break;
    case kScrollThumbTrack: offset = thumb; break;
    case kScrollToStart: offset = 0; break;
    case kScrollToEnd: offset = horizontal_range_; break;
    default: return;
  }
  offset = std::clamp(offset, 0, horizontal_range_);
  if (offset == horizontal_offset_) return;
  horizontal_offset_ = offset;
  window_.InvalidateAll();
  window_.SetHorizontalBar(horizontal_enabled_, horizontal_range_, horizontal_offset_);
}

// --- Selection -------------------------------------------------------------------

bool ScrollPane::Select(int64_t start, int64_t end, bool snap) {
  if (!document_) return false;
  int64_t size = FileSize();
  if (start >= 0 && IsIndex() && snap) {
    if (size == 0) {
      start = -1;  // an empty index has no entry
    } else {
      start = text::EntryStart(file_, std::min(start, size - 1));
      end = text::NextEntryStart(file_, start) - 1;
    }
  }
  if (start < 0) start = end = -1;
  document_->selection_start = start;
  document_->selection_end = end;
  if (start == highlight_start_ && end == highlight_end_) return false;
  InvalidateRange(highlight_start_, highlight_end_);
  highlight_start_ = start;
  highlight_end_ = end;
  InvalidateRange(highlight_start_, highlight_end_);
  return true;
}

void ScrollPane::InvalidateRange(int64_t start, int64_t end) {
  if (start < 0) return;
  end = std::max(start, end);
  int first = -1, last = -1;
  for (int row = 0; row < rows(); ++row) {
    if (!lines_.Holds(row)) continue;
    const text::TextLine& line = lines_.Row(row);
    if (line.Start() > end || line.End() < start) continue;
    if (first < 0) first = row;
    last = row;
  }
  if (first >= 0) window_.InvalidateRows(first, last);
}

void ScrollPane::SnapSelection() {
  if (IsIndex() && highlight_start_ >= 0) Select(highlight_start_, highlight_end_, true);
}

void ScrollPane::MakeSelectionVisible() {
  if (!document_ || highlight_start_ < 0) return;
  int64_t top = TopPosition();
  int64_t end = std::max(highlight_start_, highlight_end_);
  int64_t target;
  if (highlight_start_ < top) {
    target = StartOfLineHolding(highlight_start_);
  } else if (lines_.Holds(LastFullRow()) && end > lines_.Row(LastFullRow()).End()) {
    // rows - 2 lines before the line after the selection: its last line comes
    // to the bottom of the window.
    text::TextLine line(lines_.Limit());
    int64_t after = line.ReadLineBefore(file_, std::min(end + 1, FileSize())) ? line.End() + 1 : end + 1;
    target = LinesBefore(after, std::max(1, rows() - 2));
  } else {
    return;
  }
  if (vertical_enabled_) {
    int from = vertical_thumb(), to = ThumbFor(target);
    int step = std::max(1, (std::abs(to - from) + kGlideSteps - 1) / kGlideSteps);
    for (int thumb = from; thumb != to;) {
      thumb = to > thumb ? std::min(to, thumb + step) : std::max(to, thumb - step);
      window_.SetVerticalBar(true, vertical_range_, thumb);
    }
  }
  SetTop(target);
}

// Scrolls line by line until the selection's end is not below the last full
// row and its start not above the first row. An entry taller than the window
// keeps its start in view.
void ScrollPane::ShowSelectionLineByLine() {
  if (highlight_start_ < 0) return;
  auto last_end = [this] {
    int row = LastFullRow();
    return lines_.Holds(row) ? lines_.Row(row).End() : std::numeric_limits<int64_t>::max();
  };
  while (highlight_end_ > last_end() && highlight_start_ > TopPosition()) {
    if (ScrollLines(1) == 0) break;
  }
  while (highlight_start_ < TopPosition()) {
    if (ScrollLines(-1) == 0) break;
  }
}

void ScrollPane::MoveSelectionTo(int64_t position) {
  int64_t last = FileSize() - 1;
  int64_t at = std::clamp<int64_t>(position, 0, std::max<int64_t>(0, last));
  Select(at, at, true);
}

// --- Keyboard ----------------------------------------------------------------------

bool ScrollPane::Key(unsigned key) {
  if (!document_) return false;
  switch (key) {
    case kKeyLeft: HorizontalRequest(kScrollLineBack, 0); return true;
    case kKeyRight: HorizontalRequest(kScrollLineOn, 0); return true;
    default: break;
  }
  if (IsIndex()) return IndexKey(key);
  switch (key) {
    case kKeyPageUp: VerticalRequest(kScrollPageBack, 0); return true;
    case kKeyPageDown: VerticalRequest(kScrollPageOn, 0); return true;
    case kKeyHome: VerticalRequest(kScrollToStart, 0); return true;
    case kKeyEnd: VerticalRequest(kScrollToEnd, 0); return true;
    case kKeyUp: VerticalRequest(kScrollLineBack, 0); return true;
    case kKeyDown: VerticalRequest(kScrollLineOn, 0); return true;
    default: return false;
  }
}

// In an index the selection moves and the window follows it.
bool ScrollPane::IndexKey(unsigned key) {
  bool has_selection = highlight_start_ >= 0;
  int64_t start = has_selection ? highlight_start_ : 0;
  int64_t end = has_selection ? highlight_end_ : -1;
  switch (key) {
    case kKeyPageUp:
      MoveSelectionTo(LinesBefore(start, PageLines()));
      VerticalRequest(kScrollPageBack, 0);
      break;
    case kKeyPageDown:
      MoveSelectionTo(LinesAfter(end + 1, PageLines() - 1));
      VerticalRequest(kScrollPageOn, 0);
      break;
    case kKeyHome:
      MoveSelectionTo(0);
      SetTop(0);
      break;
    case kKeyEnd:
      MoveSelectionTo(FileSize() - 1);
      SetTop(last_page_top_);
      break;
    case kKeyUp: MoveSelectionTo(has_selection ? start - 1 : 0); break;
    case kKeyDown: MoveSelectionTo(end + 1); break;
    default: return false;
  }
  ShowSelectionLineByLine();
  return true;
}

void ScrollPane::Character(unsigned character) {
  if (!document_) return;
  switch (CharacterAction(character)) {
    case PaneAction::Left: Key(kKeyLeft); break;
    case PaneAction::Right: Key(kKeyRight); break;
    case PaneAction::Down: Key(kKeyDown); break;
    case PaneAction::Up: Key(kKeyUp); break;
    case PaneAction::PageDown: Key(kKeyPageDown); break;
    case PaneAction::Select: window_.SendCommand(lang::kCmdSelect); break;
    case PaneAction::Back: window_.SendCommand(lang::kCmdBack); break;
    case PaneAction::PassOn: window_.PassCharacter(character); break;
  }
}

// --- Mouse -------------------------------------------------------------------------

int64_t ScrollPane::HitTest(int x, int y) const {
  if (!document_) return 0;
  if (y < 0) return TopPosition();
  int row = y / line_height_;
  if (row > LastFullRow() || !lines_.Holds(row)) return LastVisiblePosition();
  const text::TextLine& line = lines_.Row(row);
  if (x < char_width_) return line.Start() + std::max(0, horizontal_offset_ - 1);  // the margin
  int index = horizontal_offset_ + x / char_width_ - 1;
  if (index < line.Length()) return line.Start() + index;
  if (IsIndex()) return line.End();
  return std::min(line.End() + 1, FileSize());
}

void ScrollPane::MouseDown(int x, int y, bool double_click) {
  if (!document_) return;
  button_down_ = true;
  last_x_ = x;
  last_y_ = y;
  int64_t position = HitTest(x, y);
  if (IsIndex()) {
    Select(position, position, true);
    open_on_release_ = double_click;
  } else {
    Select(-1, -1, false);
    anchor_ = position;
    open_on_release_ = false;
  }
}

void ScrollPane::DragTo(int x, int y) {
  int64_t position = HitTest(x, y);
  if (IsIndex()) {
    Select(position, position, true);
  } else if (position == anchor_) {
    Select(-1, -1, false);
  } else {
    Select(std::min(anchor_, position), std::max(anchor_, position) - 1, false);
  }
}

bool ScrollPane::MouseMove(int x, int y) {
  if (!document_ || !button_down_) return false;
  last_x_ = x;
  last_y_ = y;
  DragTo(x, y);
  return x < 0 || y < 0 || x >= width_ || y >= height_;
}

void ScrollPane::MouseTimer() {
  if (!document_ || !button_down_) return;
  if (last_x_ < 0) Key(kKeyLeft);
  if (last_x_ >= width_) Key(kKeyRight);
  if (last_y_ < 0) Key(kKeyUp);
  if (last_y_ >= height_) Key(kKeyDown);
  DragTo(last_x_, last_y_);
}

void ScrollPane::MouseUp() {
  if (!button_down_) return;
  button_down_ = false;
  if (open_on_release_ && document_) {
    open_on_release_ = false;
    window_.SendCommand(lang::kCmdSelect);
  }
}

// --- Word search -------------------------------------------------------------------

int64_t ScrollPane::SearchStart(bool forward) const {
  int64_t last = std::max<int64_t>(0, FileSize() - 1);
  if (IsIndex() || highlight_start_ >= 0) {
    int64_t from = std::max<int64_t>(0, highlight_start_);
    return std::clamp<int64_t>(forward ? from + 1 : from - 1, 0, last);
  }
  return forward ? TopPosition() : LastVisiblePosition();
}

void ScrollPane::WordSearch(const std::string& text, bool forward) {
  if (!document_ || text.empty()) return;
  int64_t start = SearchStart(forward);
  window_.BeginWait();
  int64_t found = forward ? file_.FindForward(start, text) : file_.FindBackward(start, text);
  window_.EndWait();
  if (found < 0) {
    window_.ReportNotFound();
    return;
  }
  int64_t length = static_cast<int64_t>(std::min(text.size(), forward ? kForwardSearchLength : kBackwardSearchLength));
  Select(found, found + length - 1, false);
  MakeSelectionVisible();
}

// --- Painting ------------------------------------------------------------------------

ScrollPane::RowPaint ScrollPane::PaintRow(int row) const {
  RowPaint paint;
  if (!document_ || !lines_.Holds(row)) return paint;
  const text::TextLine& line = lines_.Row(row);
  paint.has_line = true;
  paint.text = line.View();
  paint.text_column = 1 - horizontal_offset_;  // column 0 is a one-character margin
  if (highlight_start_ < 0 || highlight_end_ < highlight_start_) return paint;
  if (line.Start() > highlight_end_ || line.End() < highlight_start_) return paint;
  paint.highlighted = true;
  paint.highlight_from = static_cast<int>(std::max(highlight_start_, line.Start()) - line.Start()) + paint.text_column;
  if (highlight_end_ <= line.End()) {
    paint.highlight_to = static_cast<int>(highlight_end_ - line.Start()) + 1 + paint.text_column;
  } else {
    paint.highlight_to = std::max(lines_.Widest(), columns_ - 2) + paint.text_column;
  }
  return paint;
}

}  // namespace tamblor::views
