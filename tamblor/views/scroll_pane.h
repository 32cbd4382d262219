// The text pane: shows the top view's document straight from its file.
//
// Only the visible rows are in memory (LineWindow); every scroll reads lines
// forwards or backwards from byte positions through the file's block cache,
// so memory does not grow with the file. The vertical range is derived from
// byte positions, so the file is never counted in lines. In an index
// (IndexEntries) the selection is always a whole entry; in a file view
// (PlainText) it is free text: a found word or a dragged range.
//
// The model decides; the window (PaneWindow) only moves pixels: it is told
// which rows to repaint, by how many rows to move the content, where the
// scroll bars stand and which command to send to the main window.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "tamblor/os/machine.h"
#include "tamblor/text/block_file.h"
#include "tamblor/views/line_window.h"
#include "tamblor/views/pane_keys.h"
#include "tamblor/views/view_document.h"

namespace tamblor::views {

// The window side of the pane.
class PaneWindow {
 public:
  virtual ~PaneWindow() = default;
  // Rows first to last (inclusive) need painting again.
  virtual void InvalidateRows(int first, int last) = 0;
  virtual void InvalidateAll() = 0;
  // Moves the painted content by `rows` rows (negative: up, as when scrolling
  // forwards) and paints what is uncovered.
  virtual void ScrollContent(int rows) = 0;
  virtual void SetVerticalBar(bool enabled, int range, int position) = 0;
  virtual void SetHorizontalBar(bool enabled, int range, int position) = 0;
  // WM_COMMAND `command` (notification 0) to the main window.
  virtual void SendCommand(int command) = 0;
  // A character the pane does not use goes to the main window.
  virtual void PassCharacter(unsigned character) = 0;
  // The word search found nothing: string 29 in a box captioned string 28.
  virtual void ReportNotFound() = 0;
  // The wait cursor while files are opened and searched.
  virtual void BeginWait() = 0;
  virtual void EndWait() = 0;
};

class ScrollPane {
 public:
  static constexpr int kMaxVerticalRange = 10000;
  static constexpr int kMinVerticalRange = 5;
  static constexpr int kUnwrappedLimit = 512;   // characters of a row without wrap
  static constexpr int kGlideSteps = 32;        // the thumb glides in at most this many steps

  ScrollPane(os::Machine& machine, PaneWindow& window) : machine_(machine), window_(window) {}

  // --- Font and size ---------------------------------------------------------
  void SetFontMetrics(int char_width, int line_height);
  int char_width() const { return char_width_; }
  int line_height() const { return line_height_; }
  // Layout on a size change: columns and rows from the client size, the line
  // limit from the wrap flag; the top position is kept.
  void Resize(int width, int height);
  int columns() const { return columns_; }
  int rows() const { return lines_.Rows(); }

  // --- Documents ---------------------------------------------------------------
  // Opens the document's file and shows it from its top position. An index
  // keeps its selection (snapped to its entry) or gets its first entry
  // selected; plain text keeps its selection as it is.
  void Attach(ViewDocument* document);
  // Stores the top position into the document, closes the file and lets the
  // document go; returns it (null when none was attached).
  ViewDocument* Detach();
  ViewDocument* document() const { return document_; }
  // Line wrap of the attached document: lays out again, keeping the top.
  void SetWrap(bool wrap);

  // --- Scrolling ---------------------------------------------------------------
  // Byte position of the first visible line (the file size when none is).
  int64_t TopPosition() const { return lines_.Top(); }
  // Shows the file from `position`; at the end of the file earlier lines fill
  // the window so it shows no empty rows when there is text before.
  void SetTop(int64_t position);
  // Scrolls by `lines` (negative: backwards) as far as the file allows;
  // returns how many lines it moved.
  int ScrollLines(int lines);
  void VerticalRequest(int request, int thumb);
  void HorizontalRequest(int request, int thumb);
  int horizontal_offset() const { return horizontal_offset_; }
  int vertical_range() const { return vertical_range_; }
  int vertical_thumb() const;
  bool vertical_enabled() const { return vertical_enabled_; }
  int horizontal_range() const { return horizontal_range_; }
  // The start of the line rows - 1 lines before the end: where the last page begins.
  int64_t LastPageTop() const { return last_page_top_; }
  // Blocks read from the shown file since it was opened (the file is never read whole).
  int64_t BlockReads() const { return file_.BlockReads(); }
  // The text of a row as it is in the file, empty when the row shows no line.
  std::string_view RowText(int row) const { return lines_.Holds(row) ? lines_.Row(row).View() : std::string_view(); }
  bool RowHoldsLine(int row) const { return lines_.Holds(row); }
  // The byte position where a row's line starts, -1 for an empty row.
  int64_t RowStart(int row) const { return lines_.Holds(row) ? lines_.Row(row).Start() : -1; }
  // The row whose line holds byte `position`, -1 when it is not shown.
  int RowOf(int64_t position) const { return lines_.RowOf(position); }

  // --- Selection ---------------------------------------------------------------
  int64_t selection_start() const { return highlight_start_; }
  int64_t selection_end() const { return highlight_end_; }
  // Selects start ... end; in an index with `snap` the whole entry that holds
  // `start`. start -1 clears it. True when the selection changed.
  bool Select(int64_t start, int64_t end, bool snap);
  // Scrolls the selection into the window (the thumb glides there).
  void MakeSelectionVisible();
  // WM_USER + 2: in an index, the entry that holds the selection start.
  void SnapSelection();

  // --- Keyboard and mouse ------------------------------------------------------
  // WM_KEYDOWN; false for keys the pane does not use.
  bool Key(unsigned key);
  // WM_CHAR.
  void Character(unsigned character);
  // The byte position under a point of the client area.
  int64_t HitTest(int x, int y) const;
  void MouseDown(int x, int y, bool double_click);
  // Moving with the button down; true while the pointer is outside the
  // window (the window then repeats MouseTimer until it comes back).
  bool MouseMove(int x, int y);
  // Scrolls towards the pointer outside the window and selects again.
  void MouseTimer();
  void MouseUp();
  bool button_down() const { return button_down_; }

  // --- Word search ---------------------------------------------------------------
  // WM_USER + 1: finds `text` forwards or backwards from the selection (or
  // the window) and selects it exactly; ReportNotFound when there is none.
  void WordSearch(const std::string& text, bool forward);

  // --- Painting ------------------------------------------------------------------
  struct RowPaint {
    bool has_line = false;
    std::string_view text;     // the row's line in the DOS character set
    int text_column = 0;       // column of the line's first character (may be negative)
    bool highlighted = false;
    int highlight_from = 0;    // columns: [from, to)
    int highlight_to = 0;
  };
  RowPaint PaintRow(int row) const;

 private:
  bool IsIndex() const { return document_ && document_->mode == DisplayMode::IndexEntries; }
  int64_t FileSize() const { return file_.IsOpen() ? file_.Size() : 0; }
  int PageLines() const { return rows() - 1 < 1 ? 1 : rows() - 1; }
  int LastFullRow() const { return rows() >= 2 ? rows() - 2 : 0; }
  // The end of the last full row's line, or the last byte of the file when that row is empty.
  int64_t LastVisiblePosition() const;
  int64_t StartOfLineHolding(int64_t position);
  int64_t LinesBefore(int64_t position, int count);
  int64_t LinesAfter(int64_t position, int count);
  // The thumb for a top position and back: scaled by range / last-page top.
  int ThumbFor(int64_t position) const;
  int64_t PositionFor(int thumb) const;
  void ComputeLastPageTop();
  void UpdateBars();
  void RefreshAll();
  void InvalidateRange(int64_t start, int64_t end);
  void ShowSelectionLineByLine();
  void MoveSelectionTo(int64_t position);
  void PlainTextKey(unsigned key);
  bool IndexKey(unsigned key);
  void DragTo(int x, int y);
  int64_t SearchStart(bool forward) const;

  os::Machine& machine_;
  PaneWindow& window_;
  ViewDocument* document_ = nullptr;
  text::BlockFile file_;
  LineWindow lines_;

  int char_width_ = 8;
  int line_height_ = 16;
  int width_ = 0;
  int height_ = 0;
  int columns_ = 1;
  int horizontal_offset_ = 0;
  int64_t highlight_start_ = -1;
  int64_t highlight_end_ = -1;

  bool vertical_enabled_ = false;
  bool horizontal_enabled_ = false;
  int vertical_range_ = kMinVerticalRange;
  int horizontal_range_ = 0;
  int64_t last_page_top_ = 0;

  bool button_down_ = false;
  bool open_on_release_ = false;
  int last_x_ = 0;
  int last_y_ = 0;
  int64_t anchor_ = -1;
};

}  // namespace tamblor::views
