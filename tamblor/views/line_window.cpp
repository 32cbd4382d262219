#include "tamblor/views/line_window.h"

#include <algorithm>

namespace tamblor::views {

void LineWindow::Resize(int rows, int limit) {
  limit_ = limit < 1 ? 1 : limit;
  rows_.assign(static_cast<size_t>(rows < 1 ? 1 : rows), text::TextLine(limit_));
}

void LineWindow::Clear() {
  for (text::TextLine& row : rows_) row.Clear();
  top_ = 0;
}

void LineWindow::ReadRow(text::BlockFile& file, size_t row, int64_t position) {
  rows_[row].SetLimit(limit_);
  if (!rows_[row].ReadLine(file, position)) rows_[row].Clear();
}

void LineWindow::FillFrom(text::BlockFile& file, int64_t top) {
  top_ = std::clamp<int64_t>(top, 0, file.Size());
  int64_t position = top_;
  for (size_t row = 0; row < rows_.size(); ++row) {
    ReadRow(file, row, position);
    const text::TextLine& line = rows_[row];
    // A file that shrank under the reader yields no progress: stop there.
    if (line.Start() < 0 || line.End() < line.Start()) {
      for (size_t rest = row; rest < rows_.size(); ++rest) rows_[rest].Clear();
      return;
    }
    position = line.End() + 1;
  }
}

bool LineWindow::ScrollForward(text::BlockFile& file) {
  if (!HoldsLast()) return false;
  top_ = rows_.front().End() + 1;
  int64_t next = rows_.back().End() + 1;
  std::rotate(rows_.begin(), rows_.begin() + 1, rows_.end());
  ReadRow(file, rows_.size() - 1, next);
  return true;
}

bool LineWindow::ScrollBack(text::BlockFile& file) {
  text::TextLine before(limit_);
  if (top_ <= 0 || !before.ReadLineBefore(file, top_)) return false;
  if (before.Start() >= top_) return false;  // no progress: the file changed under the reader
  std::rotate(rows_.rbegin(), rows_.rbegin() + 1, rows_.rend());
  rows_.front() = std::move(before);
  top_ = rows_.front().Start();
  return true;
}

int LineWindow::RowOf(int64_t position) const {
  for (int row = 0; row < Rows(); ++row) {
    if (Holds(row) && position >= Row(row).Start() && position <= Row(row).End()) return row;
  }
  return -1;
}

int LineWindow::Widest() const {
  int widest = 0;
  for (const text::TextLine& row : rows_) widest = std::max(widest, row.Length());
  return widest;
}

}  // namespace tamblor::views
