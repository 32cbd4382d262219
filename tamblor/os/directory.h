// Directory search: the find-first/find-next service the browser lists
// directories with.
//
// Paths are Windows paths ("E:\UTIL\*.*", "C:\UNZIPPED\tool") in the 8-bit
// ANSI character set; "/" is accepted as a separator as well. Nothing here
// throws; failures are reported through the return values.
//
// Two implementations: os/win32 (FindFirstFileA and friends) and os/host (the
// local file system, names looked up without regard to letter case, used by
// the native tests and tools).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace tamblor::os {

// The local time of a file's last write.
struct EntryTime {
  int year = 1980;  // e.g. 1996
  int month = 1;    // 1-12
  int day = 1;      // 1-31
  int hour = 0;
  int minute = 0;
  int second = 0;
};

// One entry of a directory, as the system's find functions report it.
struct DirectoryEntry {
  static constexpr uint32_t kDirectoryAttribute = 0x10;  // FILE_ATTRIBUTE_DIRECTORY

  std::string name;         // the entry's own name, without its directory
  uint32_t attributes = 0;  // Win32 attribute bits
  uint64_t size = 0;        // bytes; 0 for directories
  EntryTime last_write;     // local time

  bool IsDirectory() const { return (attributes & kDirectoryAttribute) != 0; }
};

// A search in progress. Closing the search is the destructor.
class DirectorySearch {
 public:
  virtual ~DirectorySearch() = default;
  // Stores the next matching entry in *entry and returns true; returns false
  // (leaving *entry unspecified) when there are no more.
  virtual bool Next(DirectoryEntry* entry) = 0;
};

class DirectoryService {
 public:
  virtual ~DirectoryService() = default;

  // Starts a search for `pattern`: a directory part and a last component that
  // may hold the wildcards "*" and "?", matched without regard to case the way
  // the system matches them ("*.*" matches every name, also names without a
  // dot). The entries "." and ".." come as the system lists them. Returns
  // nullptr when the directory cannot be read; a search that matches nothing
  // returns false from its first Next.
  virtual std::unique_ptr<DirectorySearch> Find(const std::string& pattern) = 0;

  // The name under which the C standard library's fopen reaches `path` on this
  // machine (the path itself on Windows).
  virtual std::string LocalPath(const std::string& path) = 0;
};

// Maps a Windows path to the local name of the same file (host only).
using LocalPathMapper = std::function<std::string(const std::string& windows_path)>;

// The service of the machine the program runs on. Defined once per platform
// (os/win32, os/host); the program's start-up or a test makes one and passes
// it down. On the host, `mapper` (for instance a machine model's drive
// mapping) turns Windows paths into local ones; without it "\" becomes "/"
// and every existing component is matched without regard to case. The Win32
// service ignores it.
std::unique_ptr<DirectoryService> MakeDirectoryService(LocalPathMapper mapper = {});

}  // namespace tamblor::os
