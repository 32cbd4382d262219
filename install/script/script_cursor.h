// The current script line and a read position, with the readers every parser
// of a script line uses to take its arguments.
//
// Every reader starts at the position and leaves the position after what it
// consumed. The readers of words and quoted texts first let the token hook
// (the parse-time macro substitution) rewrite the line at the token's start,
// so the value is read as part of the token.
//
// Separator set A: tab, line feed, carriage return, space and comma.
// Separator set B: set A plus "(" and ")".
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace install::script {

bool IsSeparatorA(char c);
bool IsSeparatorB(char c);

class ScriptCursor {
 public:
  // The line buffer holds up to 2500 bytes including the terminator.
  static constexpr std::size_t kCapacity = 2500;
  // An in-place rewrite (macro substitution) must leave the rest of the line,
  // from the position on, within this many bytes.
  static constexpr std::size_t kRewriteLimit = 1000;
  // ReadNumber reads its word into a buffer of this size (terminator included).
  static constexpr std::size_t kNumberBuffer = 80;

  // Called at the start of every word and right after the opening quote of a
  // quoted text, with the position on the token's first character.
  using TokenHook = std::function<void(ScriptCursor&)>;

  // Makes `line` the current line (cut to kCapacity - 1 bytes, and at an
  // embedded NUL, which ends a line) and rewinds.
  void SetLine(std::string_view line);
  const std::string& Line() const { return line_; }

  uint32_t Position() const { return position_; }
  void SetPosition(uint32_t position);
  // The character at the position, '\0' at the end.
  char Current() const { return CharAt(position_); }
  char CharAt(std::size_t index) const { return index < line_.size() ? line_[index] : '\0'; }
  // The line from the position on.
  std::string_view Rest() const;

  void SetTokenHook(TokenHook hook) { token_hook_ = std::move(hook); }

  // Replaces `length` characters at the position by `value`. Refused (false,
  // line unchanged, rewrite-overflow flag set) when the rewritten rest of the
  // line would exceed kRewriteLimit bytes.
  bool ReplaceAtPosition(std::size_t length, std::string_view value);
  // Set by a refused rewrite; cleared by SetLine. A parser treats it as an
  // error of the line.
  bool RewriteOverflow() const { return rewrite_overflow_; }

  void Rewind() { position_ = 0; }
  bool AtEnd() const { return Current() == '\0'; }
  void SkipSeparatorsA();
  void SkipSeparatorsB();

  // Skip set A; a letter starts a run of letters and digits copied to `out`,
  // after which every following set-A character or ":" is skipped. Otherwise
  // `out` is empty and the position stays on that character.
  void ReadKeyword(std::string& out);
  // Skip set A, substitute at the token, copy up to a set-A character, "=" or
  // the end, skip set A. The "=" is not consumed.
  void ReadWord(std::string& out);
  // As ReadWord, with set B: the word also ends at "(" or ")".
  void ReadWordB(std::string& out);
  // Skip set A; not at a double quote: `out` empty, nothing consumed.
  // Otherwise read up to the closing quote (a doubled quote inside stands for
  // one), step over it and skip set A. Unterminated: `out` empty, position at
  // the end.
  void ReadQuoted(std::string& out);
  // Skip set A; -1 when no double quote is there, else ReadQuoted and the
  // length of `out`.
  int ReadQuotedRequired(std::string& out);
  // ReadQuoted, and ReadWord when that gives nothing: "a text" of the script.
  void ReadText(std::string& out);
  // Skip set A; at "(" copy up to the next ")" (empty when there is none),
  // step over it and skip set A. Not at "(": `out` empty, nothing consumed.
  void ReadParenthesised(std::string& out);
  // At "=": step over it, true. Otherwise false.
  bool TakeEquals();
  // ReadWord (cut to 79 characters) and convert its leading decimal digits
  // with an optional sign; no digits give 0. Saturates at the int32 range.
  int32_t ReadNumber();

 private:
  void ReadWordUntil(std::string& out, bool (*is_separator)(char));
  void RunTokenHook();

  std::string line_;
  uint32_t position_ = 0;
  bool rewrite_overflow_ = false;
  TokenHook token_hook_;
};

// Leading decimal digits of `text` with an optional sign, saturated to int32;
// 0 without digits. Leading blanks are not skipped.
int32_t LeadingDecimal(std::string_view text);

}  // namespace install::script
