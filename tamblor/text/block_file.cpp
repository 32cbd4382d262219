#include "tamblor/text/block_file.h"

#include <cerrno>
#include <cstring>

#include "tamblor/os/ascii_case.h"
#include "tamblor/os/machine.h"
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
  current_ = other_ = -1;
  block_reads_ = 0;
}

void BlockFile::LoadBlock(int slot, int64_t first) {
  Block& block = cache_[slot];
  block.first = block.end = -1;
  if (SeekTo(handle_, first, SEEK_SET) != 0) Fail("seek error", errno);
  size_t got = std::fread(block.bytes.data(), 1, kBlockSize, handle_);
  if (got < static_cast<size_t>(kBlockSize) && std::ferror(handle_)) Fail("read error", errno);
  block.first = first;
  block.end = first + static_cast<int64_t>(got);
  ++block_reads_;
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

int64_t BlockFile::FindForward(int64_t position, const std::string& text) {
  if (size_ == 0 || position < 0 || position >= size_ || text.empty()) return -1;
  std::string upper, lower;
  CaseForms(text, kForwardSearchLength, &upper, &lower);
  Seek(position);
  for (;;) {
    int c = Next();
    if (c == kEndOfFile || c == 255) return -1;
    if (!IsEitherForm(c, upper, lower, 0)) continue;
    int64_t at = position_ - 1;
    if (MatchesAt(at, upper, lower)) return at;
    Seek(at + 1);
  }
}

int64_t BlockFile::FindBackward(int64_t position, const std::string& text) {
  if (size_ == 0 || position < 0 || position >= size_) return -1;
  if (text.empty()) return 0;
  std::string upper, lower;
  CaseForms(text, kBackwardSearchLength, &upper, &lower);
  Seek(position + 1);
  for (;;) {
    int c = Previous();
    if (c == kEndOfFile || c == 255) {
      // Past the start (or at a byte 255): one last look at the lower-case form.
      int64_t at = position_;
      return MatchesAt(at, lower, lower) ? at : -1;
    }
    if (!IsEitherForm(c, upper, lower, 0)) continue;
    int64_t at = position_;
    if (MatchesAt(at, upper, lower)) return at;
    Seek(at);
  }
}

}  // namespace tamblor::text
