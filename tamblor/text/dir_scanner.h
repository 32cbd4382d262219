// Directory enumeration with the browser's own wildcard test, and the size and
// date texts that the generated index shows.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "tamblor/os/directory.h"

namespace tamblor::text {

enum class ScanMode : int {
  Files = 0,        // entries that are not directories and pass the wildcard test
  Directories = 1,  // directories (no wildcard test); "." and ".." are never listed
};

class DirScanner {
 public:
  static constexpr size_t kNameCapacity = 260;     // longer names are left out
  static constexpr size_t kSizeTextCapacity = 9;
  static constexpr size_t kDateTextCapacity = 8;

  explicit DirScanner(os::DirectoryService& directories) : directories_(directories) {}

  // Starts the system's search on the whole `pattern` and finds the first
  // entry taken. The wildcard test uses the part after the last "\".
  // Returns false when there is no such entry (or the directory cannot be read).
  bool Open(const std::string& pattern, ScanMode mode);
  // Makes the entry found next the current one (name, size and date texts)
  // and moves on; false when there are no more.
  bool Next();
  void Close();

  const std::string& Name() const { return name_; }
  const std::string& SizeText() const { return size_text_; }
  const std::string& DateText() const { return date_text_; }

  // "%3d MB" (size / 1,000,000) from 1,000,000 bytes, "%3d KB" (size / 1000)
  // above 1000 bytes, else "%3d Byte"; at most 9 characters.
  static std::string FormatSize(uint64_t size);
  // "MM/DD/YY": month, day and the year's last two digits.
  static std::string FormatDate(const os::EntryTime& when);

 private:
  bool FindNextTaken();

  os::DirectoryService& directories_;
  std::unique_ptr<os::DirectorySearch> search_;
  ScanMode mode_ = ScanMode::Files;
  std::string wildcard_;
  os::DirectoryEntry found_;
  bool more_ = false;
  std::string name_;
  std::string size_text_;
  std::string date_text_;
};

}  // namespace tamblor::text
