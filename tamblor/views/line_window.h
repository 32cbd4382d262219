// The rows of the text pane: one TextLine per visible row, read from the file
// on demand. Only these rows are in memory, never the file; a line longer than
// the limit continues on the next row.
#pragma once

#include <cstdint>
#include <vector>

#include "tamblor/text/block_file.h"
#include "tamblor/text/text_line.h"

namespace tamblor::views {

class LineWindow {
 public:
  static constexpr int kInitialRows = 24;

  LineWindow() { Resize(kInitialRows, text::TextLine::kDefaultLimit); }

  // `rows` rows (at least 1) of lines of at most `limit` characters; every row
  // is emptied.
  void Resize(int rows, int limit);
  void Clear();

  int Rows() const { return static_cast<int>(rows_.size()); }
  int Limit() const { return limit_; }
  const text::TextLine& Row(int row) const { return rows_[static_cast<size_t>(row)]; }
  // True when the row shows a line of the file (an empty line counts).
  bool Holds(int row) const { return row >= 0 && row < Rows() && Row(row).Start() >= 0; }
  bool HoldsLast() const { return Holds(Rows() - 1); }
  // The position the rows were filled from: the first row's start, or where
  // the file ended when no row holds a line.
  int64_t Top() const { return top_; }

  // Fills the rows from byte position `top`: each row starts one byte after
  // the previous row's last byte; rows after the end of the file stay empty.
  void FillFrom(text::BlockFile& file, int64_t top);
  // Drops the first row and reads one more at the bottom. False (nothing
  // moves) when the last row holds no line.
  bool ScrollForward(text::BlockFile& file);
  // Reads the line before the first row and moves the rows down. False at
  // the start of the file.
  bool ScrollBack(text::BlockFile& file);

  // The row whose line holds byte `position`, -1 when no row does.
  int RowOf(int64_t position) const;
  // The length of the longest line shown.
  int Widest() const;

 private:
  void ReadRow(text::BlockFile& file, size_t row, int64_t position);

  std::vector<text::TextLine> rows_;
  int limit_ = text::TextLine::kDefaultLimit;
  int64_t top_ = 0;
};

}  // namespace tamblor::views
