#include "install/archive/source_stream.h"

#include "install/os/ascii_case.h"

#include <algorithm>
#include <cstring>

#include "install/archive/little_endian.h"

namespace install::archive {
namespace {

// Trailer field offsets.
constexpr size_t kTrailerMagic = 0;
constexpr size_t kTrailerDirectory = 8;
constexpr size_t kTrailerSecond = 12;

// Entry header field offsets.
constexpr size_t kEntryNext = 0;
constexpr size_t kEntryAttributes = 4;
constexpr size_t kEntryTime = 8;
constexpr size_t kEntryDate = 12;
constexpr size_t kEntrySize = 16;
constexpr size_t kEntryName = 20;



// Reads exactly `count` bytes at `offset`; false on a seek or read failure or
// when fewer bytes are there.
bool ReadAt(os::File& file, uint64_t offset, uint8_t* buffer, uint32_t count) {
  if (file.Seek(int64_t(offset), 0) != int64_t(offset)) return false;
  uint32_t done = 0;
  while (done < count) {
    int32_t got = file.Read(buffer + done, count - done);
    if (got <= 0) return false;
    done += uint32_t(got);
  }
  return true;
}

}  // namespace

std::string FileNameOfPath(const std::string& path) {
  size_t cut = path.find_last_of("\\/:");
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

SourceReader::SourceReader(os::Machine& machine) : machine_(machine) {}

SourceReader::~SourceReader() { CloseInstallArchive(); }

void SourceReader::SetInstallArchive(const std::string& path) {
  archive_file_.reset();
  archive_length_ = 0;
  directory_offset_ = 0;
  second_offset_ = 0;
  archive_path_ = path.size() <= kArchivePathCapacity ? path : std::string();
}

void SourceReader::ForgetArchive() {
  archive_file_.reset();
  archive_length_ = 0;
  archive_path_.clear();
  directory_offset_ = 0;
  second_offset_ = 0;
}

bool SourceReader::OpenInstallArchive() {
  if (archive_file_ || archive_path_.empty()) return archive_file_ != nullptr;

  std::unique_ptr<os::File> file = machine_.Open(archive_path_, os::OpenMode::Read);
  if (!file) {
    ForgetArchive();
    return false;
  }
  int64_t length = file->Seek(0, 2);
  uint8_t trailer[kArchiveTrailerSize];
  if (length < int64_t(kArchiveTrailerSize) ||
      !ReadAt(*file, uint64_t(length) - kArchiveTrailerSize, trailer, kArchiveTrailerSize) ||
      std::memcmp(trailer + kTrailerMagic, kArchiveMagic, sizeof kArchiveMagic) != 0) {
    ForgetArchive();
    return false;
  }
  archive_file_ = std::move(file);
  archive_length_ = uint64_t(length);
  ++archive_generation_;
  directory_offset_ = Le32(trailer + kTrailerDirectory);
  second_offset_ = Le32(trailer + kTrailerSecond);
  return true;
}

void SourceReader::CloseInstallArchive() { ForgetArchive(); }

bool SourceReader::ReadEntry(uint32_t offset, Entry* entry) {
  if (uint64_t(offset) + kArchiveEntryHeaderSize > archive_length_) return false;
  uint8_t header[kArchiveEntryHeaderSize];
  if (!ReadAt(*archive_file_, offset, header, kArchiveEntryHeaderSize)) return false;
  entry->offset = offset;
  entry->next = Le32(header + kEntryNext);
  entry->attributes = Le32(header + kEntryAttributes);
  entry->time = Le32(header + kEntryTime);
  entry->date = Le32(header + kEntryDate);
  entry->size = Le32(header + kEntrySize);
  const char* name = reinterpret_cast<const char*>(header + kEntryName);
  entry->name.assign(name, strnlen(name, kArchiveEntryNameSize));
  return true;
}

std::optional<SourceReader::Entry> SourceReader::FindMember(const std::string& file_name) {
  // Every entry takes at least a header's room, so a chain longer than this
  // visits some header twice: it loops.
  const uint64_t max_entries = archive_length_ / kArchiveEntryHeaderSize;
  uint32_t offset = directory_offset_;
  for (uint64_t visited = 0; offset != 0 && visited < max_entries; ++visited) {
    Entry entry;
    if (!ReadEntry(offset, &entry)) return std::nullopt;
    if (os::EqualsIgnoringCase(entry.name, file_name)) {
      uint64_t data_end = uint64_t(offset) + kArchiveEntryHeaderSize + entry.size;
      if (data_end > archive_length_) return std::nullopt;
      return entry;
    }
    offset = entry.next;
  }
  return std::nullopt;
}

std::unique_ptr<SourceStream> SourceReader::OpenSource(const std::string& path) {
  OpenInstallArchive();
  if (archive_file_ && directory_offset_ != 0 && !archive_disabled_) {
    if (std::optional<Entry> entry = FindMember(FileNameOfPath(path))) {
      auto stream = std::make_unique<SourceStream>();
      stream->data_start = entry->offset + kArchiveEntryHeaderSize;
      stream->position = 0;
      stream->size = entry->size;
      stream->date = entry->date;
      stream->time = entry->time;
      stream->attributes = entry->attributes;
      stream->archive_generation = archive_generation_;
      return stream;
    }
  }
  return OpenPlainFile(path);
}

std::unique_ptr<SourceStream> SourceReader::OpenPlainFile(const std::string& path) {
  if (path.find_first_of("*?") != std::string::npos) return nullptr;
  os::DosDateTime when;
  if (!machine_.GetDosFileTime(path, &when)) return nullptr;
  std::unique_ptr<os::File> file = machine_.Open(path, os::OpenMode::Read);
  if (!file) return nullptr;
  int64_t length = file->Seek(0, 2);
  if (length < 0 || file->Seek(0, 0) != 0) return nullptr;

  auto stream = std::make_unique<SourceStream>();
  stream->attributes = machine_.GetAttributes(path);
  stream->size = uint32_t(std::min<int64_t>(length, UINT32_MAX));
  stream->date = when.date;
  stream->time = when.time;
  stream->file = std::move(file);
  return stream;
}

bool SourceReader::MemberArchiveOpen(const SourceStream& stream) const {
  return archive_file_ && stream.archive_generation == archive_generation_;
}

int32_t SourceReader::ReadSource(SourceStream& stream, void* buffer, uint32_t count) {
  if (!stream.is_member()) return stream.file->Read(buffer, count);
  if (!MemberArchiveOpen(stream)) return -1;

  uint32_t left = stream.size - std::min(stream.position, stream.size);
  count = std::min({count, left, uint32_t(INT32_MAX)});
  if (count == 0) return 0;
  int64_t at = int64_t(stream.data_start) + stream.position;
  if (archive_file_->Seek(at, 0) != at) return -1;
  int32_t got = archive_file_->Read(buffer, count);
  if (got < 0) return -1;
  // The read was clipped to the member, so the position stays within it.
  stream.position += uint32_t(got);
  return got;
}

int64_t SourceReader::SeekSource(SourceStream& stream, int64_t offset, int origin) {
  if (!stream.is_member()) return stream.file->Seek(offset, origin);
  if (!MemberArchiveOpen(stream)) return -1;

  int64_t base = 0;
  if (origin == 1) base = stream.position;
  if (origin == 2) base = stream.size;
  int64_t target = std::clamp<int64_t>(base + offset, 0, stream.size);
  stream.position = uint32_t(target);
  return target;
}

int64_t SourceReader::TellSource(SourceStream& stream) {
  if (!stream.is_member()) return stream.file->Seek(0, 1);
  if (!MemberArchiveOpen(stream)) return -1;
  return stream.position;
}

std::optional<std::string> SourceReader::ReadSourceLine(SourceStream& stream, size_t capacity) {
  std::string line;
  // Room for the terminator only: no character could ever be read.
  if (capacity < 2) return std::nullopt;
  while (line.size() + 1 < capacity) {
    char c;
    int32_t got = ReadSource(stream, &c, 1);
    if (got < 0) return std::nullopt;
    if (got == 0) {
      if (line.empty()) return std::nullopt;
      break;
    }
    if (c == '\r') continue;
    line.push_back(c);
    if (c == '\n') break;
  }
  return line;
}

}  // namespace install::archive
