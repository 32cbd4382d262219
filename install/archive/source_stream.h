// Source streams: the one reading layer for everything the installer installs
// and for its own script.
//
// A source is either a plain file on a source disk or a member of the install
// archive appended to the installer's own program file.
//
// Install archive format (all numbers little-endian, all offsets absolute in
// the program file, not relative to the archive's start):
//
//   leading magic   8 bytes   "[Tarsk]" NUL (written by the builder, not read)
//   entries         276 + size bytes each: entry header, then the member's
//                   bytes, stored uncompressed
//   trailer         the last 16 bytes of the file:
//                     0  8  magic "[Tarsk]" NUL
//                     8  4  directory offset: the first entry header; 0 = none
//                    12  4  second offset (kept, never used)
//
//   entry header (276 bytes; the member's data starts at entry offset + 276):
//     0   4  next entry header offset; 0 ends the chain
//     4   4  attributes (low 16 bits meaningful)
//     8   4  DOS time (low 16 bits)
//    12   4  DOS date (low 16 bits)
//    16   4  member size
//    20 256  member file name without directory, NUL-terminated
//
// The chain and the sizes come from the file and are not trusted: the walk is
// bounded by the number of entry headers the file could hold, every header must
// lie inside the file and a member's data must end inside it. A damaged chain
// ends the lookup (the name then falls through to a plain file); it never loops
// and a member stream never reads outside its member.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "install/os/machine.h"

namespace install::archive {

inline constexpr char kArchiveMagic[8] = {'[', 'T', 'a', 'r', 's', 'k', ']', '\0'};
inline constexpr uint32_t kArchiveTrailerSize = 16;
inline constexpr uint32_t kArchiveEntryHeaderSize = 276;
inline constexpr uint32_t kArchiveEntryNameSize = 256;
// The archive path is held in a 256-byte buffer (255 characters).
inline constexpr size_t kArchivePathCapacity = 255;

// One open source. Created by SourceReader::OpenSource, released by
// SourceReader::CloseSource (or simply by dropping the pointer).
struct SourceStream {
  // The open plain file; null when the stream is a member of the install archive.
  std::unique_ptr<os::File> file;
  // Member streams: the absolute offset of the member's first byte in the
  // archive file, and the current read position within the member (0..size).
  uint32_t data_start = 0;
  uint32_t position = 0;
  // Length in bytes (a plain file's length when it was opened).
  uint32_t size = 0;
  // DOS date and time of the last write, as 32-bit values (a member's carry the
  // upper bits its entry was written with).
  uint32_t date = 0;
  uint32_t time = 0;
  uint32_t attributes = 0;
  // Which opening of the install archive a member belongs to, so that a member
  // stream cannot read another archive after the first one was closed.
  uint64_t archive_generation = 0;

  bool is_member() const { return file == nullptr; }
};

// The source reader of one run: the install archive state and the operations
// on source streams. Owns the open archive file; the destructor closes it (the
// run's end closes the archive).
class SourceReader {
 public:
  explicit SourceReader(os::Machine& machine);
  ~SourceReader();
  SourceReader(const SourceReader&) = delete;
  SourceReader& operator=(const SourceReader&) = delete;

  os::Machine& machine() { return machine_; }

  // Remembers `path` (the installer's own program file) as the archive path and
  // marks the archive closed with both offsets 0; opening is deferred to the
  // next OpenSource. A path longer than 255 characters cannot be held: there
  // is then no archive.
  void SetInstallArchive(const std::string& path);
  // Opens the archive unless it is already open or no path is set: reads the
  // trailer and records the offsets. Any failure (cannot open, too short, read
  // error, wrong magic) closes the file and clears the path and the offsets,
  // so that no later call tries again. Returns true when the archive is open.
  bool OpenInstallArchive();
  // Closes the archive file, clears the path and both offsets.
  void CloseInstallArchive();

  // While set, every source is looked up as a plain file (set by the first
  // disk prompt, for the rest of the run).
  bool archive_disabled() const { return archive_disabled_; }
  void set_archive_disabled(bool disabled) { archive_disabled_ = disabled; }

  bool archive_open() const { return archive_file_ != nullptr; }
  const std::string& archive_path() const { return archive_path_; }
  uint32_t directory_offset() const { return directory_offset_; }
  uint32_t second_offset() const { return second_offset_; }

  // Opens `path`: the install archive member of the same file name (whatever
  // directory `path` names, letters compared without regard to ASCII case)
  // while the archive is open and not disabled, otherwise the plain file.
  // Returns nullptr when neither exists, when the plain file's time cannot be
  // read, or when the path holds "*" or "?". No message is shown.
  std::unique_ptr<SourceStream> OpenSource(const std::string& path);
  // Closes and frees a stream; nothing happens for a null stream.
  static void CloseSource(std::unique_ptr<SourceStream> stream) { stream.reset(); }

  // Reads up to `count` bytes. Returns the number read, 0 at the end, -1 on an
  // error (for a member also when its archive is not open). A member read never
  // goes beyond the member's size.
  int32_t ReadSource(SourceStream& stream, void* buffer, uint32_t count);
  // origin 0 = from the start, 1 = from the current position, 2 = from the end.
  // Members clamp the result to 0..size. Returns the new position, -1 on an
  // error (for a member when its archive is not open).
  int64_t SeekSource(SourceStream& stream, int64_t offset, int origin);
  // The current position; -1 for a member whose archive is not open.
  int64_t TellSource(SourceStream& stream);
  // The size recorded at opening.
  static uint32_t SourceSize(const SourceStream& stream) { return stream.size; }

  // Reads one text line of at most capacity - 1 characters. Carriage returns
  // are dropped and not counted; a line feed is kept and ends the line; a line
  // that fills the capacity is cut there and its rest is read by the next call.
  // Bytes are kept as they are (8-bit and NUL included). Returns nothing at the
  // end of the stream when nothing was read, and on a read error.
  std::optional<std::string> ReadSourceLine(SourceStream& stream, size_t capacity);

 private:
  // An archive entry header as read from the file.
  struct Entry {
    uint32_t offset = 0;
    uint32_t next = 0;
    uint32_t attributes = 0;
    uint32_t time = 0;
    uint32_t date = 0;
    uint32_t size = 0;
    std::string name;
  };
  bool ReadEntry(uint32_t offset, Entry* entry);
  std::optional<Entry> FindMember(const std::string& file_name);
  std::unique_ptr<SourceStream> OpenPlainFile(const std::string& path);
  bool MemberArchiveOpen(const SourceStream& stream) const;
  void ForgetArchive();

  os::Machine& machine_;
  std::string archive_path_;
  std::unique_ptr<os::File> archive_file_;
  uint64_t archive_length_ = 0;
  uint64_t archive_generation_ = 0;
  uint32_t directory_offset_ = 0;
  uint32_t second_offset_ = 0;
  bool archive_disabled_ = false;
};

// The file name and extension of a path: everything after its last "\", "/"
// or drive colon.
std::string FileNameOfPath(const std::string& path);

}  // namespace install::archive
