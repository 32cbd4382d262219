#include "tamblor/text/wildcard.h"

#include <cctype>
#include <string_view>

namespace tamblor::text {
namespace {

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  }
  return true;
}

}  // namespace

bool MatchesWildcard(const std::string& pattern, const std::string& name) {
  if (pattern == "*.*") return true;
  if (EqualIgnoringCase(pattern, name)) return true;
  std::string_view p(pattern), n(name);
  if (p.empty()) return false;
  if (p.front() != '*') {
    if (p.back() != '*') return false;
    std::string_view prefix = p.substr(0, p.size() - 1);
    return n.size() >= prefix.size() && EqualIgnoringCase(n.substr(0, prefix.size()), prefix);
  }
  std::string_view suffix = p.substr(1);
  return n.size() >= suffix.size() && EqualIgnoringCase(n.substr(n.size() - suffix.size()), suffix);
}

}  // namespace tamblor::text
