// The list of the word-search box: the last seven searches, newest first, no
// text twice (compared as the box compares: without regard to letter case).
#pragma once

#include <string>
#include <vector>

namespace tamblor::views {

class SearchHistory {
 public:
  static constexpr size_t kMaxEntries = 7;
  static constexpr size_t kMaxText = 254;  // characters read from the box

  // Puts `text` (cut to kMaxText) first: an equal entry is removed, and the
  // oldest goes when more than kMaxEntries would remain. An empty text
  // changes nothing and gives false.
  bool Add(const std::string& text);
  const std::vector<std::string>& entries() const { return entries_; }

 private:
  std::vector<std::string> entries_;
};

}  // namespace tamblor::views
