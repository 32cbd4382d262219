#include "tamblor/text/wildcard.h"

#include <string_view>

#include "tamblor/os/ascii_case.h"

namespace tamblor::text {

bool MatchesWildcard(const std::string& pattern, const std::string& name) {
  if (pattern == "*.*") return true;
  if (os::EqualsNoCase(pattern, name)) return true;
  std::string_view p(pattern), n(name);
  if (p.empty()) return false;
  if (p.front() != '*') {
    if (p.back() != '*') return false;
    std::string_view prefix = p.substr(0, p.size() - 1);
    return os::StartsWithNoCase(n, prefix);
  }
  std::string_view suffix = p.substr(1);
  return os::EndsWithNoCase(n, suffix);
}

}  // namespace tamblor::text
