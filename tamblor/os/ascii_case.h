// Letter case of 8-bit texts: only the ASCII letters A-Z and a-z have a case.
// Configuration keys, extensions, file names and the word search compare this
// way. Bytes 128-255 (the DOS and Windows accented letters) are left as they
// are, whatever locale the C library runs in.
#pragma once

#include <string>
#include <string_view>

namespace tamblor::os {

constexpr char ToUpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
constexpr char ToLowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

constexpr bool SameLetterNoCase(char a, char b) { return ToUpperAscii(a) == ToUpperAscii(b); }

constexpr bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (!SameLetterNoCase(a[i], b[i])) return false;
  }
  return true;
}

constexpr bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

constexpr bool EndsWithNoCase(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() && EqualsNoCase(text.substr(text.size() - suffix.size()), suffix);
}

// Orders names as a case-blind directory listing does ("a" and "A" equal).
constexpr bool LessNoCase(std::string_view a, std::string_view b) {
  size_t common = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < common; ++i) {
    unsigned char x = static_cast<unsigned char>(ToUpperAscii(a[i]));
    unsigned char y = static_cast<unsigned char>(ToUpperAscii(b[i]));
    if (x != y) return x < y;
  }
  return a.size() < b.size();
}

inline std::string UpperAscii(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) c = ToUpperAscii(c);
  return upper;
}

inline std::string LowerAscii(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = ToLowerAscii(c);
  return lower;
}

}  // namespace tamblor::os
