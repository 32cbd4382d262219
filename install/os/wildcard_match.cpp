#include "install/os/wildcard_match.h"

#include "install/os/ascii_case.h"

#include <vector>

namespace install::os {
namespace {

enum class Token : char { Literal, Star, DosStar, Question, DosDot };

struct Element {
  Token token;
  char upper = 0;  // Literal only
};


std::vector<Element> Compile(std::string_view pattern) {
  std::vector<Element> out;
  for (size_t i = 0; i < pattern.size(); ++i) {
    char c = pattern[i];
    char next = i + 1 < pattern.size() ? pattern[i + 1] : '\0';
    if (c == '*') {
      out.push_back({next == '.' ? Token::DosStar : Token::Star});
    } else if (c == '?') {
      out.push_back({Token::Question});
    } else if (c == '.' && (next == '*' || next == '?' || next == '\0')) {
      out.push_back({Token::DosDot});
    } else {
      out.push_back({Token::Literal, UpperAscii(c)});
    }
  }
  return out;
}

class Matcher {
 public:
  Matcher(const std::vector<Element>& elements, std::string_view name)
      : elements_(elements), name_(name), last_dot_(name.rfind('.')),
        memo_((elements.size() + 1) * (name.size() + 1), kUnknown) {}

  bool Match(size_t e, size_t n) {
    int8_t& slot = memo_[e * (name_.size() + 1) + n];
    if (slot != kUnknown) return slot == kYes;
    bool result = Compute(e, n);
    slot = result ? kYes : kNo;
    return result;
  }

 private:
  static constexpr int8_t kUnknown = -1, kNo = 0, kYes = 1;

  bool Compute(size_t e, size_t n) {
    if (e == elements_.size()) return n == name_.size();
    const Element& element = elements_[e];
    bool at_end = n == name_.size();
    switch (element.token) {
      case Token::Literal:
        return !at_end && UpperAscii(name_[n]) == element.upper && Match(e + 1, n + 1);
      case Token::Star:
        for (size_t k = n; k <= name_.size(); ++k) {
          if (Match(e + 1, k)) return true;
        }
        return false;
      case Token::DosStar: {
        // May not swallow the name's last dot.
        size_t limit = last_dot_ == std::string_view::npos ? name_.size()
                                                           : (n <= last_dot_ ? last_dot_ : n);
        for (size_t k = n; k <= limit; ++k) {
          if (Match(e + 1, k)) return true;
        }
        return false;
      }
      case Token::Question:
        // At a dot or the end it matches nothing (and never the dot itself).
        if (at_end || name_[n] == '.') return Match(e + 1, n);
        return Match(e + 1, n + 1);
      case Token::DosDot:
        if (at_end) return Match(e + 1, n);
        return name_[n] == '.' && Match(e + 1, n + 1);
    }
    return false;
  }

  const std::vector<Element>& elements_;
  std::string_view name_;
  size_t last_dot_;
  std::vector<int8_t> memo_;
};

}  // namespace

bool MatchesWildcard(std::string_view pattern, std::string_view name) {
  std::vector<Element> elements = Compile(pattern);
  Matcher matcher(elements, name);
  return matcher.Match(0, 0);
}

bool HasWildcard(std::string_view text) { return text.find_first_of("*?") != std::string_view::npos; }

}  // namespace install::os
