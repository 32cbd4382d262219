// Byte access to a file by position through two cached 8 KB blocks.
//
// The browser never loads a whole file: every index and text file is read
// byte by byte from a position, forwards or backwards, through this cache.
// Carriage returns are invisible to Next and Previous, so files with CR LF and
// with LF line ends read alike. A file that cannot be opened, seeked or read
// ends the process (FatalFileError) after its message on the standard error
// stream.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace tamblor::os {
class Machine;
}

namespace tamblor::text {

class BlockFile {
 public:
  static constexpr int kBlockSize = 8192;
  // The word search reads the file in spans of this size (one buffer per
  // searched file, whatever its size): fewer, larger reads than the blocks.
  static constexpr int kSearchSpanSize = 65536;
  static constexpr int kEndOfFile = -1;
  static constexpr size_t kPathCapacity = 260;  // paths of 260 characters or more cannot be opened

  BlockFile() = default;
  ~BlockFile();
  BlockFile(const BlockFile&) = delete;
  BlockFile& operator=(const BlockFile&) = delete;

  // Opens `path` read-only, without text translation, and sets the position
  // to `start`. Fatal when the file cannot be opened: "Cannot open file '%s': %s\n".
  void Open(const std::string& path, int64_t start = 0);
  // The same through the machine's fopen (its drive letters and name lookup).
  void Open(os::Machine& machine, const std::string& path, int64_t start = 0);
  void Close();
  bool IsOpen() const { return handle_ != nullptr; }
  const std::string& Name() const { return name_; }

  // A negative position counts as 0; positions past the end are kept (Next
  // then answers kEndOfFile).
  void Seek(int64_t position) { position_ = position < 0 ? 0 : position; }
  int64_t Position() const { return position_; }
  int64_t Size() const { return size_; }

  // The byte at the position (0-255), advancing past it; a carriage return is
  // skipped. kEndOfFile at the end of the file.
  int Next();
  // Moves back one byte and returns it; a carriage return is skipped.
  // kEndOfFile at the start of the file.
  int Previous();

  // The word at `position`: blanks, tabs and backspaces skipped, then
  // characters 33-122, at most capacity - 1 of them. Empty when the first
  // remaining byte is not a printable ASCII character 33-122.
  std::string Word(int64_t position, size_t capacity);

  // Case-insensitive search (ASCII letters) for the first 80 characters of
  // `text`, forwards from `position`. The position of the first byte of the
  // match, or -1. Carriage returns in the file are skipped; a byte 255 ends the
  // search. Whole cached blocks are scanned for the first character's two
  // cases at once; only those places are compared further.
  int64_t FindForward(int64_t position, const std::string& text);
  // The same backwards, starting with the byte at `position`; the first 81
  // characters of `text` count. An empty text gives 0.
  int64_t FindBackward(int64_t position, const std::string& text);

  // How many blocks have been read from the file since it was opened.
  int64_t BlockReads() const { return block_reads_; }

 private:
  struct Block {
    std::vector<unsigned char> bytes;
    int64_t first = -1;  // file position of bytes[0]
    int64_t end = -1;    // file position after the last byte held
    bool Holds(int64_t p) const { return p >= first && p < end; }
  };

  // The byte at `p` through the cache; kEndOfFile when the file holds no byte
  // there (it became shorter since it was opened).
  int ByteAt(int64_t p);
  // The search span holding `p` (read when needed) and the file positions of
  // its first byte and of the byte after its last; null where the file holds
  // no byte at `p` (it became shorter since it was opened).
  const unsigned char* SpanHolding(int64_t p, int64_t* first, int64_t* end);
  // Reads up to `count` bytes at file position `first` into `into`; fatal on
  // a seek or read error. Sequential reads skip the seek.
  size_t ReadAt(int64_t first, unsigned char* into, size_t count);
  void Attach(std::FILE* handle, int open_error, const std::string& path, int64_t start);
  void LoadBlock(int slot, int64_t first);
  bool MatchesAt(int64_t at, const std::string& upper, const std::string& lower);

  std::FILE* handle_ = nullptr;
  std::string name_;
  int64_t size_ = 0;
  int64_t position_ = 0;
  Block cache_[2];
  Block span_;           // the word search's span; empty until a search
  int64_t stream_at_ = -1;  // where the stream stands after the last read, -1 when unknown
  int current_ = -1;  // the block used last, -1 while the cache is empty
  int other_ = -1;    // the block used before it
  int64_t block_reads_ = 0;
};

}  // namespace tamblor::text
