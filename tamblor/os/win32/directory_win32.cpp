// Directory search through FindFirstFileA / FindNextFileA.
#include <windows.h>

#include "tamblor/os/directory.h"
#include "tamblor/os/win32/handles.h"

namespace tamblor::os {
namespace {

EntryTime LocalTimeOf(const FILETIME& utc) {
  EntryTime out;
  FILETIME local;
  SYSTEMTIME parts;
  if (FileTimeToLocalFileTime(&utc, &local) && FileTimeToSystemTime(&local, &parts)) {
    out.year = parts.wYear;
    out.month = parts.wMonth;
    out.day = parts.wDay;
    out.hour = parts.wHour;
    out.minute = parts.wMinute;
    out.second = parts.wSecond;
  }
  return out;
}

void Fill(const WIN32_FIND_DATAA& data, DirectoryEntry* entry) {
  entry->name = data.cFileName;
  entry->attributes = data.dwFileAttributes;
  entry->size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  entry->last_write = LocalTimeOf(data.ftLastWriteTime);
}

class FindSearch : public DirectorySearch {
 public:
  FindSearch(win32::FindHandle handle, const WIN32_FIND_DATAA& first)
      : handle_(std::move(handle)), pending_(first), has_pending_(true) {}

  bool Next(DirectoryEntry* entry) override {
    if (!has_pending_) return false;
    Fill(pending_, entry);
    has_pending_ = FindNextFileA(handle_.get(), &pending_) != 0;
    return true;
  }

 private:
  win32::FindHandle handle_;
  WIN32_FIND_DATAA pending_;
  bool has_pending_;
};

class EmptySearch : public DirectorySearch {
 public:
  bool Next(DirectoryEntry*) override { return false; }
};

class Win32DirectoryService : public DirectoryService {
 public:
  std::unique_ptr<DirectorySearch> Find(const std::string& pattern) override {
    WIN32_FIND_DATAA data;
    win32::FindHandle handle(pattern.c_str(), &data);
    if (handle.valid()) return std::make_unique<FindSearch>(std::move(handle), data);
    if (GetLastError() == ERROR_FILE_NOT_FOUND) return std::make_unique<EmptySearch>();
    return nullptr;
  }

  std::string LocalPath(const std::string& path) override { return path; }
};

}  // namespace

std::unique_ptr<DirectoryService> MakeDirectoryService(LocalPathMapper) { return std::make_unique<Win32DirectoryService>(); }

}  // namespace tamblor::os
