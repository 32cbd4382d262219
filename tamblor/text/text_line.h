// One line of a file, read on demand from a byte position.
//
// Lines of up to 81 characters live in the inline buffer; a longer one gets a
// heap copy. A line holds at most `limit` characters: the rest of a longer
// line is the next line. Line feeds end a line and are not stored; carriage
// returns are invisible (BlockFile); a byte 255 ends a line as the end of the
// file does.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "tamblor/text/block_file.h"

namespace tamblor::text {

class TextLine {
 public:
  static constexpr int kInlineLength = 81;
  static constexpr int kDefaultLimit = 512;  // the configuration file and the lines views inspect

  // `limit` below 1 counts as 1, so that reading always moves on.
  explicit TextLine(int limit = kDefaultLimit);
  TextLine(const TextLine& other);
  TextLine& operator=(const TextLine& other);
  // Moving takes the heap copy along and leaves `other` empty.
  TextLine(TextLine&& other) noexcept;
  TextLine& operator=(TextLine&& other) noexcept;

  // Reads the line that starts at `position`. False (and the line empty) when
  // the position is at or past the end of the file, also where the file now
  // ends when it became shorter since it was opened.
  bool ReadLine(BlockFile& file, int64_t position);
  // Reads the line that holds byte position - 1, i.e. the one that ends just
  // before `position`. False (and the line empty) at position 0 or past the
  // end of the file.
  bool ReadLineBefore(BlockFile& file, int64_t position);
  void Clear();

  const char* Text() const { return heap_ ? heap_.get() : inline_; }
  std::string_view View() const { return {Text(), static_cast<size_t>(length_)}; }
  int Length() const { return length_; }
  bool Empty() const { return length_ == 0; }
  // The first character as a byte 0-255, or -1 for an empty line.
  int First() const { return length_ > 0 ? static_cast<unsigned char>(Text()[0]) : -1; }

  // Position of the line's first byte; -1 when nothing has been read.
  int64_t Start() const { return start_; }
  // Position of the last byte consumed for the line (its line feed or its last
  // character); -1 when nothing has been read. The next line starts at End() + 1.
  int64_t End() const { return end_; }
  int Limit() const { return limit_; }
  void SetLimit(int limit) { limit_ = limit < 1 ? 1 : limit; }
  bool OnHeap() const { return heap_ != nullptr; }

 private:
  int64_t start_ = -1;
  int64_t end_ = -1;
  std::unique_ptr<char[]> heap_;
  int heap_length_ = 0;  // size of the heap copy without its terminator
  int length_ = 0;
  char inline_[kInlineLength + 1] = {};
  int limit_;
};

}  // namespace tamblor::text
