#include "tamblor/text/text_line.h"

#include <cstring>
#include <utility>

namespace tamblor::text {
namespace {

bool EndsLine(int c) { return c == BlockFile::kEndOfFile || c == 255 || c == '\n'; }

}  // namespace

TextLine::TextLine(int limit) : limit_(limit < 1 ? 1 : limit) {}

TextLine::TextLine(const TextLine& other) : limit_(other.limit_) { *this = other; }

TextLine& TextLine::operator=(const TextLine& other) {
  if (this == &other) return *this;
  start_ = other.start_;
  end_ = other.end_;
  length_ = other.length_;
  limit_ = other.limit_;
  std::memcpy(inline_, other.inline_, sizeof inline_);
  heap_length_ = other.heap_length_;
  heap_.reset();
  if (other.heap_) {
    heap_ = std::make_unique<char[]>(static_cast<size_t>(heap_length_) + 1);
    std::memcpy(heap_.get(), other.heap_.get(), static_cast<size_t>(heap_length_) + 1);
  }
  return *this;
}

TextLine::TextLine(TextLine&& other) noexcept : limit_(other.limit_) { *this = std::move(other); }

TextLine& TextLine::operator=(TextLine&& other) noexcept {
  if (this == &other) return *this;
  start_ = other.start_;
  end_ = other.end_;
  length_ = other.length_;
  limit_ = other.limit_;
  std::memcpy(inline_, other.inline_, sizeof inline_);
  heap_length_ = other.heap_length_;
  heap_ = std::move(other.heap_);
  other.Clear();
  return *this;
}

void TextLine::Clear() {
  start_ = end_ = -1;
  heap_.reset();
  heap_length_ = 0;
  length_ = 0;
  inline_[0] = '\0';
}

bool TextLine::ReadLine(BlockFile& file, int64_t position) {
  Clear();
  if (position < 0 || position >= file.Size()) return false;
  file.Seek(position);
  start_ = position;

  // The first characters go into the inline buffer; the byte that ends the
  // line is consumed, and nothing more is read when the line is cut.
  int inline_room = limit_ < kInlineLength ? limit_ : kInlineLength;
  int stored = 0;
  while (stored < inline_room) {
    int c = file.Next();
    if (EndsLine(c)) break;
    inline_[stored++] = static_cast<char>(c);
  }
  inline_[stored] = '\0';
  length_ = stored;

  if (stored == kInlineLength && stored < limit_) {
    // The inline buffer is full and the line may go on: count the rest (up to
    // the limit); if there is any, copy the whole line to the heap.
    int64_t rest_at = file.Position();
    int total = stored;
    for (int c = file.Next(); !EndsLine(c) && total < limit_; c = file.Next()) ++total;
    if (total > stored) {
      heap_ = std::make_unique<char[]>(static_cast<size_t>(total) + 1);
      heap_length_ = total;
      std::memcpy(heap_.get(), inline_, static_cast<size_t>(stored));
      file.Seek(rest_at);
      // Never more than was counted, whatever the file holds by now.
      bool ended_early = false;
      while (stored < total) {
        int c = file.Next();
        if (EndsLine(c)) {
          ended_early = true;
          break;
        }
        heap_[stored++] = static_cast<char>(c);
      }
      heap_[stored] = '\0';
      length_ = stored;
      if (!ended_early && total < limit_) file.Next();  // the line feed after it
    }
  }

  end_ = file.Position() - 1;
  if (end_ < start_) {
    // Nothing could be read: the file ends before `position` by now (it
    // became shorter since it was opened), which is the end of the file.
    Clear();
    return false;
  }
  return true;
}

bool TextLine::ReadLineBefore(BlockFile& file, int64_t position) {
  Clear();
  if (position <= 0 || position > file.Size()) return false;
  file.Seek(position);
  file.Previous();  // the byte at position - 1 belongs to the line wanted, line feed or not
  int64_t line_start = 0;
  for (int c = file.Previous(); c != BlockFile::kEndOfFile; c = file.Previous()) {
    if (c == '\n') {
      line_start = file.Position() + 1;
      break;
    }
  }
  // Lines cut at the limit follow one another up to `position`. In a file
  // that became shorter the last line that is left is the one before it.
  TextLine next_line(limit_);
  if (!ReadLine(file, line_start)) return false;
  for (int64_t next = end_ + 1; next < position && next_line.ReadLine(file, next); next = end_ + 1) {
    *this = std::move(next_line);
    next_line = TextLine(limit_);
  }
  return true;
}

}  // namespace tamblor::text
