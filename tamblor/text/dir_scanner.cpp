#include "tamblor/text/dir_scanner.h"

#include <cstdio>

#include "tamblor/text/wildcard.h"

namespace tamblor::text {

bool DirScanner::Open(const std::string& pattern, ScanMode mode) {
  Close();
  mode_ = mode;
  size_t cut = pattern.find_last_of("\\/");
  wildcard_ = cut == std::string::npos ? pattern : pattern.substr(cut + 1);
  search_ = directories_.Find(pattern);
  more_ = search_ != nullptr && FindNextTaken();
  return more_;
}

bool DirScanner::FindNextTaken() {
  while (search_->Next(&found_)) {
    if (found_.name == "." || found_.name == "..") continue;
    if (found_.name.empty() || found_.name.size() >= kNameCapacity) continue;
    bool taken = mode_ == ScanMode::Directories ? found_.IsDirectory()
                                                : !found_.IsDirectory() && MatchesWildcard(wildcard_, found_.name);
    if (taken) return true;
  }
  return false;
}

bool DirScanner::Next() {
  if (!more_) return false;
  name_ = found_.name;
  size_text_ = FormatSize(found_.size);
  date_text_ = FormatDate(found_.last_write);
  more_ = FindNextTaken();
  return true;
}

void DirScanner::Close() {
  search_.reset();
  more_ = false;
  name_.clear();
  size_text_.clear();
  date_text_.clear();
}

std::string DirScanner::FormatSize(uint64_t size) {
  auto at_least_three = [](uint64_t value) {
    std::string digits = std::to_string(value);
    return digits.size() < 3 ? std::string(3 - digits.size(), ' ') + digits : digits;
  };
  std::string text;
  if (size >= 1000000) {
    text = at_least_three(size / 1000000) + " MB";
  } else if (size > 1000) {
    text = at_least_three(size / 1000) + " KB";
  } else {
    text = at_least_three(size) + " Byte";
  }
  return text.substr(0, kSizeTextCapacity);
}

std::string DirScanner::FormatDate(const os::EntryTime& when) {
  auto two_digits = [](int value) { return ((value % 100) + 100) % 100; };
  char text[32];
  std::snprintf(text, sizeof text, "%02d/%02d/%02d", two_digits(when.month), two_digits(when.day),
                two_digits(when.year - 1900));
  return std::string(text).substr(0, kDateTextCapacity);
}

}  // namespace tamblor::text
