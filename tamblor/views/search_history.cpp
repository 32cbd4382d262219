#include "tamblor/views/search_history.h"

#include <algorithm>

#include "tamblor/os/ascii_case.h"

namespace tamblor::views {

bool SearchHistory::Add(const std::string& text) {
  std::string entry = text.substr(0, kMaxText);
  if (entry.empty()) return false;
  auto equal = std::find_if(entries_.begin(), entries_.end(),
                            [&entry](const std::string& old) { return os::EqualsNoCase(old, entry); });
  if (equal != entries_.end()) entries_.erase(equal);
  if (entries_.size() >= kMaxEntries) entries_.pop_back();
  entries_.insert(entries_.begin(), entry);
  return true;
}

}  // namespace tamblor::views
