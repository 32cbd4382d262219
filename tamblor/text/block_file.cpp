#include "tamblor/text/block_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "tamblor/os/ascii_case.h"
#include "tamblor/os/machine.h"
#include "tamblor/text/byte_scan.h"
#include "tamblor/text/fatal_exit.h"

namespace tamblor::text {
namespace {

// 64-bit file positions on every platform (the 32-bit Windows long stops at 2 GB).
int SeekTo(std::FILE* file, int64_t offset, int origin) {
#if defined(_WIN32)
  return _fseeki64(file, offset, origin);
#else
  return fseeko(file, static_cast<off_t>(offset), origin);
#endif
}

int64_t Tell(std::FILE* file) {
#if defined(_WIN32)
  return _ftelli64(file);
#else
  return static_cast<int64_t>(ftello(file));
#endif
}

[[noreturn]] void Fail(const char* what, int error) {
  FatalFileError(std::string(what) + ": " + std::strerror(error) + "\n");
}

constexpr size_t kForwardSearchLength = 80;
constexpr size_t kBackwardSearchLength = 81;

void CaseForms(const std::string& text, size_t limit, std::string* upper, std::string* lower) {
  std::string_view cut = std::string_view(text).substr(0, limit);
  *upper = os::UpperAscii(cut);
  *lower = os::LowerAscii(cut);
}

bool IsEitherForm(int c, const std::string& upper, const std::string& lower, size_t i) {
  return c == static_cast<unsigned char>(upper[i]) || c == static_cast<unsigned char>(lower[i]);
}

}  // namespace

BlockFile::~BlockFile() { Close(); }

void BlockFile::Open(const std::string& path, int64_t start) {
  Close();
  std::FILE* handle = path.size() < kPathCapacity ? std::fopen(path.c_str(), "rb") : nullptr;
  Attach(handle, errno, path, start);
}

void BlockFile::Open(os::Machine& machine, const std::string& path, int64_t start) {
  Close();
  std::FILE* handle = path.size() < kPathCapacity ? machine.OpenFile(path, "rb") : nullptr;
  Attach(handle, errno, path, start);
}

void BlockFile::Attach(std::FILE* handle, int open_error, const std::string& path, int64_t start) {
  if (path.size() >= kPathCapacity) open_error = ENAMETOOLONG;
  if (handle == nullptr) FatalFileError("Cannot open file '" + path + "': " + std::strerror(open_error) + "\n");
  handle_ = handle;
  name_ = path;
  stream_at_ = -1;
  if (SeekTo(handle_, 0, SEEK_END) != 0 || (size_ = Tell(handle_)) < 0) {
    int error = errno;
    size_ = 0;
    Fail("seek error", error);
  }
  for (Block& block : cache_) block.bytes.resize(kBlockSize);
  Seek(start);
}

void BlockFile::Close() {
  if (handle_ != nullptr) std::fclose(handle_);
  handle_ = nullptr;
  name_.clear();
  size_ = 0;
  position_ = 0;
  for (Block& block : cache_) {
    block.bytes = std::vector<unsigned char>();
    block.first = block.end = -1;
  }
  span_.bytes = std::vector<unsigned char>();
  span_.first = span_.end = -1;
  stream_at_ = -1;
  current_ = other_ = -1;
  block_reads_ = 0;
}

size_t BlockFile::ReadAt(int64_t first, unsigned char* into, size_t count) {
  if (stream_at_ != first) {
    stream_at_ = -1;
    if (SeekTo(handle_, first, SEEK_SET) != 0) Fail("seek error", errno);
  }
  size_t got = std::fread(into, 1, count, handle_);
  if (got < count && std::ferror(handle_)) Fail("read error", errno);
  stream_at_ = got < count ? -1 : first + static_cast<int64_t>(got);
  return got;
}

void BlockFile::LoadBlock(int slot, int64_t first) {
  Block& block = cache_[slot];
  block.first = block.end = -1;
  size_t got = ReadAt(first, block.bytes.data(), kBlockSize);
  block.first = first;
  block.end = first + static_cast<int64_t>(got);
  ++block_reads_;
}

const unsigned char* BlockFile::SpanHolding(int64_t p, int64_t* first, int64_t* end) {
  if (handle_ == nullptr || p < 0) return nullptr;
  if (!span_.Holds(p)) {
    if (span_.bytes.empty()) span_.bytes.resize(kSearchSpanSize);
    span_.first = span_.end = -1;
    int64_t start = p / kSearchSpanSize * kSearchSpanSize;
    size_t got = ReadAt(start, span_.bytes.data(), kSearchSpanSize);
    span_.first = start;
    span_.end = start + static_cast<int64_t>(got);
    if (!span_.Holds(p)) return nullptr;  // the file is shorter than when it was opened
  }
  *first = span_.first;
  *end = span_.end;
  return span_.bytes.data();
}

// The two blocks follow a reader that moves steadily forwards or backwards: a
// block next to the one used last goes into the other buffer, so both
// neighbours of a block boundary stay cached; any jump restarts the cache.
int BlockFile::ByteAt(int64_t p) {
  if (handle_ == nullptr || p < 0) return kEndOfFile;
  if (current_ >= 0 && cache_[current_].Holds(p)) return cache_[current_].bytes[p - cache_[current_].first];
  if (other_ >= 0 && cache_[other_].Holds(p)) {
    std::swap(current_, other_);
    return cache_[current_].bytes[p - cache_[current_].first];
  }
  int64_t first = p / kBlockSize * kBlockSize;
  bool neighbour = current_ >= 0 && (first == cache_[current_].first - kBlockSize ||
                                     first == cache_[current_].first + kBlockSize);
  if (neighbour) {
    other_ = current_;
    current_ = 1 - current_;
  } else {
    current_ = 0;
    other_ = -1;
    cache_[1].first = cache_[1].end = -1;
  }
  LoadBlock(current_, first);
  if (!cache_[current_].Holds(p)) return kEndOfFile;  // the file is shorter than when it was opened
  return cache_[current_].bytes[p - first];
}

int BlockFile::Next() {
  for (;;) {
    if (position_ >= size_) return kEndOfFile;
    int c = ByteAt(position_);
    if (c == kEndOfFile) return kEndOfFile;
    ++position_;
    if (c != '\r') return c;
  }
}

int BlockFile::Previous() {
  for (;;) {
    if (position_ < 1) return kEndOfFile;
    int c = ByteAt(position_ - 1);
    if (c == kEndOfFile) return kEndOfFile;
    --position_;
    if (c != '\r') return c;
  }
}

std::string BlockFile::Word(int64_t position, size_t capacity) {
  Seek(position);
  int c;
  do {
    c = Next();
  } while (c == ' ' || c == '\t' || c == '\b');
  std::string word;
  if (c < 33 || c > 127) return word;
  while (c >= 33 && c <= 122 && word.size() + 1 < capacity) {
    word += static_cast<char>(c);
    c = Next();
  }
  return word;
}

bool BlockFile::MatchesAt(int64_t at, const std::string& upper, const std::string& lower) {
  Seek(at);
  for (size_t i = 0; i < upper.size(); ++i) {
    if (!IsEitherForm(Next(), upper, lower, i)) return false;
  }
  return true;
}

namespace {

constexpr unsigned char kEndOfText = 255;

// Where a scan stops: the first character in either case followed by the
// second (or by a carriage return, which the reader skips), and the byte 255
// anywhere. A carriage return is never compared itself, so a text that begins
// with one stops only at 255.
ScanTargets TargetsOf(const std::string& upper, const std::string& lower) {
  auto first = [](char c) { return c == '\r' ? kEndOfText : static_cast<unsigned char>(c); };
  ScanTargets targets{first(upper[0]), first(lower[0]), kEndOfText, upper.size() > 1, 0, 0, '\r'};
  if (targets.has_second) {
    targets.second_upper = static_cast<unsigned char>(upper[1]);
    targets.second_lower = static_cast<unsigned char>(lower[1]);
  }
  return targets;
}

enum class InBlock { Match, Mismatch, Unknown };

// Compares the text with the bytes from `at` to `stop` where it can: a
// carriage return, or the text reaching past `stop`, leaves it to the reader.
InBlock CompareInBlock(const unsigned char* at, const unsigned char* stop, const std::string& upper,
                       const std::string& lower) {
  for (size_t i = 0; i < upper.size(); ++i) {
    if (at + i >= stop || at[i] == '\r') return InBlock::Unknown;
    if (!IsEitherForm(at[i], upper, lower, i)) return InBlock::Mismatch;
  }
  return InBlock::Match;
}

}  // namespace

int64_t BlockFile::FindForward(int64_t position, const std::string& text) {
  if (size_ == 0 || position < 0 || position >= size_ || text.empty()) return -1;
  std::string upper, lower;
  CaseForms(text, kForwardSearchLength, &upper, &lower);
  const ScanTargets targets = TargetsOf(upper, lower);
  int64_t p = position;
  while (p < size_) {
    int64_t first = 0, end = 0;
    const unsigned char* block = SpanHolding(p, &first, &end);
    if (block == nullptr) return -1;  // the end of what the file now holds
    const unsigned char* stop = block + (std::min(end, size_) - first);
    const unsigned char* hit = ScanForward(block + (p - first), stop, stop, targets);
    for (; hit != nullptr; hit = ScanForward(hit + 1, stop, stop, targets)) {
      if (*hit == kEndOfText) return -1;
      InBlock in_block = CompareInBlock(hit, stop, upper, lower);
      if (in_block == InBlock::Match) return first + (hit - block);
      if (in_block == InBlock::Unknown) break;  // the reader compares across the block's end
    }
    if (hit == nullptr) {
      p = std::min(end, size_);
      continue;
    }
    int64_t at = first + (hit - block);
    if (MatchesAt(at, upper, lower)) return at;
    p = at + 1;
  }
  return -1;
}

int64_t BlockFile::FindBackward(int64_t position, const std::string& text) {
  if (size_ == 0 || position < 0 || position >= size_) return -1;
  if (text.empty()) return 0;
  std::string upper, lower;
  CaseForms(text, kBackwardSearchLength, &upper, &lower);
  const ScanTargets targets = TargetsOf(upper, lower);
  int64_t p = position;  // the next byte to look at
  for (;;) {
    int64_t first = 0, end = 0;
    const unsigned char* block = p >= 0 ? SpanHolding(p, &first, &end) : nullptr;
    if (block == nullptr) {
      // Past the start (or where the file now ends): one last look with the
      // lower-case form where reading stopped.
      int64_t at = p < 0 ? 0 : p + 1;
      return MatchesAt(at, lower, lower) ? at : -1;
    }
    const unsigned char* stop = block + (std::min(end, size_) - first);
    const unsigned char* hit = ScanBackward(block, block + (p - first) + 1, stop, targets);
    for (; hit != nullptr; hit = ScanBackward(block, hit, stop, targets)) {
      if (*hit == kEndOfText) break;
      InBlock in_block = CompareInBlock(hit, stop, upper, lower);
      if (in_block == InBlock::Match) return first + (hit - block);
      if (in_block == InBlock::Unknown) break;
    }
    if (hit == nullptr) {
      p = first - 1;
      continue;
    }
    int64_t at = first + (hit - block);
    if (*hit == kEndOfText) return MatchesAt(at, lower, lower) ? at : -1;
    if (MatchesAt(at, upper, lower)) return at;
    p = at - 1;
  }
}

}  // namespace tamblor::text
