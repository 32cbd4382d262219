// printf-style formatting of language strings.
//
// A language string comes from a library on the disc, so its conversions
// cannot be trusted to match the arguments the program passes. FormatText
// takes typed arguments and fills a conversion only when the next argument has
// the kind the conversion expects: "%s" a text, "%d" / "%i" / "%u" a number,
// "%c" a character (flags "-" and "0", a width and a precision as printf reads
// them). A conversion without a fitting argument, or of another kind, gives
// nothing. The result is cut to `capacity` - 1 characters.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace tamblor::lang {

struct FormatArg {
  enum Kind { Text, Number, Character } kind;
  std::string_view text;
  long long number = 0;

  FormatArg(std::string_view value) : kind(Text), text(value) {}
  FormatArg(const char* value) : kind(Text), text(value ? value : "") {}
  FormatArg(const std::string& value) : kind(Text), text(value) {}
  FormatArg(int value) : kind(Number), number(value) {}
  FormatArg(long value) : kind(Number), number(value) {}
  FormatArg(long long value) : kind(Number), number(value) {}
  FormatArg(char value) : kind(Character), number(static_cast<unsigned char>(value)) {}
};

std::string FormatText(std::string_view format, std::initializer_list<FormatArg> args, size_t capacity = 512);

}  // namespace tamblor::lang
