#include "install/script/script_cursor.h"

#include <climits>
#include <cstdint>

namespace install::script {

namespace {

bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsAsciiDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

bool IsSeparatorA(char c) {
  return c == '\t' || c == '\n' || c == '\r' || c == ' ' || c == ',';
}

bool IsSeparatorB(char c) { return IsSeparatorA(c) || c == '(' || c == ')'; }

void ScriptCursor::SetLine(std::string_view line) {
  std::size_t end = line.find('\0');
  if (end == std::string_view::npos) end = line.size();
  if (end > kCapacity - 1) end = kCapacity - 1;
  line_.assign(line.substr(0, end));
  position_ = 0;
  rewrite_overflow_ = false;
}

void ScriptCursor::SetPosition(uint32_t position) {
  position_ = position > line_.size() ? static_cast<uint32_t>(line_.size()) : position;
}

std::string_view ScriptCursor::Rest() const {
  return std::string_view(line_).substr(position_ <= line_.size() ? position_ : line_.size());
}

bool ScriptCursor::ReplaceAtPosition(std::size_t length, std::string_view value) {
  std::size_t rest = line_.size() - position_;
  if (length > rest) length = rest;
  std::size_t new_rest = rest - length + value.size();
  if (new_rest > kRewriteLimit || position_ + new_rest > kCapacity - 1) {
    rewrite_overflow_ = true;
    return false;
  }
  std::string_view cut = value.substr(0, value.find('\0'));
  line_.replace(position_, length, cut);
  return true;
}

void ScriptCursor::SkipSeparatorsA() {
  while (IsSeparatorA(Current())) ++position_;
}

void ScriptCursor::SkipSeparatorsB() {
  while (IsSeparatorB(Current())) ++position_;
}

void ScriptCursor::ReadKeyword(std::string& out) {
  out.clear();
  SkipSeparatorsA();
  if (!IsAsciiLetter(Current())) return;
  while (IsAsciiLetter(Current()) || IsAsciiDigit(Current())) out.push_back(line_[position_++]);
  while (IsSeparatorA(Current()) || Current() == ':') ++position_;
}

void ScriptCursor::RunTokenHook() {
  if (token_hook_ && !AtEnd()) token_hook_(*this);
}

void ScriptCursor::ReadWordUntil(std::string& out, bool (*is_separator)(char)) {
  out.clear();
  SkipSeparatorsA();
  RunTokenHook();
  while (!AtEnd() && !is_separator(Current()) && Current() != '=') out.push_back(line_[position_++]);
  SkipSeparatorsA();
}

void ScriptCursor::ReadWord(std::string& out) { ReadWordUntil(out, IsSeparatorA); }

void ScriptCursor::ReadWordB(std::string& out) { ReadWordUntil(out, IsSeparatorB); }

void ScriptCursor::ReadQuoted(std::string& out) {
  out.clear();
  SkipSeparatorsA();
  if (Current() != '"') return;
  ++position_;
  RunTokenHook();
  while (!AtEnd()) {
    char c = line_[position_];
    if (c == '"') {
      if (CharAt(position_ + 1) == '"') {
        out.push_back('"');
        position_ += 2;
        continue;
      }
      ++position_;
      SkipSeparatorsA();
      return;
    }
    out.push_back(c);
    ++position_;
  }
  out.clear();  // no closing quote: the text counts as empty
}

int ScriptCursor::ReadQuotedRequired(std::string& out) {
  out.clear();
  SkipSeparatorsA();
  if (Current() != '"') return -1;
  ReadQuoted(out);
  return static_cast<int>(out.size());
}

void ScriptCursor::ReadText(std::string& out) {
  ReadQuoted(out);
  if (out.empty()) ReadWord(out);
}

void ScriptCursor::ReadParenthesised(std::string& out) {
  out.clear();
  SkipSeparatorsA();
  if (Current() != '(') return;
  std::size_t close = line_.find(')', position_ + 1);
  if (close == std::string::npos) return;
  out.assign(line_, position_ + 1, close - position_ - 1);
  position_ = static_cast<uint32_t>(close + 1);
  SkipSeparatorsA();
}

bool ScriptCursor::TakeEquals() {
  if (Current() != '=') return false;
  ++position_;
  return true;
}

int32_t ScriptCursor::ReadNumber() {
  std::string word;
  ReadWord(word);
  if (word.size() > kNumberBuffer - 1) word.resize(kNumberBuffer - 1);
  return LeadingDecimal(word);
}

int32_t LeadingDecimal(std::string_view text) {
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  int64_t value = 0;
  for (; i < text.size() && IsAsciiDigit(text[i]); ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > static_cast<int64_t>(INT32_MAX) + 1) value = static_cast<int64_t>(INT32_MAX) + 1;
  }
  if (negative) value = -value;
  if (value > INT32_MAX) value = INT32_MAX;
  if (value < INT32_MIN) value = INT32_MIN;
  return static_cast<int32_t>(value);
}

}  // namespace install::script
