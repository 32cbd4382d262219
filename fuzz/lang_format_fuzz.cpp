// Fuzz target for the formatting of language strings (libFuzzer).
//
// A language string comes from a library on the disc; the program passes its
// own typed arguments. Input: a byte choosing the arguments (up to three
// texts, numbers or characters), a byte choosing the capacity, then the
// string. Checked: the result fits its capacity; a smaller capacity gives a
// prefix of the whole result; and where every conversion is one the
// formatter fills from an argument of its kind, the result is what the C
// library's printf makes of the same conversions.
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "tamblor/lang/format_text.h"

namespace {

using tamblor::lang::FormatArg;
using tamblor::lang::FormatText;

constexpr size_t kMaxFormat = 1024;  // language strings are short; this bounds each run
constexpr size_t kWhole = size_t(1) << 24;

const FormatArg kChoices[] = {FormatArg("C:\\UNZIPPED\\GAME"), FormatArg(-1234567), FormatArg('x'),
                              FormatArg(""), FormatArg(0), FormatArg(2147483647L)};

std::string Format(std::string_view format, const std::vector<FormatArg>& args, size_t capacity) {
  switch (args.size()) {
    case 0: return FormatText(format, {}, capacity);
    case 1: return FormatText(format, {args[0]}, capacity);
    case 2: return FormatText(format, {args[0], args[1]}, capacity);
    default: return FormatText(format, {args[0], args[1], args[2]}, capacity);
  }
}

// printf's text for `format` when every conversion is plain (flags "-" and,
// for numbers, "0"; a width and, for texts, a precision below 512; "%s",
// "%d" or "%c" of an argument of that kind, one argument each); false else.
bool PrintfReference(std::string_view format, const std::vector<FormatArg>& args, std::string* out) {
  size_t next = 0;
  for (size_t i = 0; i < format.size(); ++i) {
    if (format[i] != '%') {
      *out += format[i];
      continue;
    }
    size_t start = i++;
    while (i < format.size() && (format[i] == '-' || format[i] == '0')) ++i;
    size_t digits = 0;
    while (i < format.size() && format[i] >= '0' && format[i] <= '9') ++i, ++digits;
    bool precision = i < format.size() && format[i] == '.';
    size_t precision_digits = 0;
    if (precision) {
      for (++i; i < format.size() && format[i] >= '0' && format[i] <= '9'; ++i) ++precision_digits;
    }
    if (i >= format.size() || digits > 3 || precision_digits > 3) return false;
    std::string spec(format.substr(start, i - start + 1));
    if (spec.find_first_of("0123456789") != std::string::npos) {
      // widths and precisions above 511 are cut by the formatter, not by printf
      size_t at = spec.find_first_of("123456789");
      if (at != std::string::npos && std::stoul(spec.substr(at)) > 511) return false;
    }
    char conversion = format[i];
    if (conversion == '%') {
      if (spec != "%%") return false;
      *out += '%';
      continue;
    }
    if (next >= args.size()) return false;
    const FormatArg& arg = args[next++];
    char buffer[2048];
    if (conversion == 's' && arg.kind == FormatArg::Text && spec.find('0') == std::string::npos) {
      std::string text(arg.text);
      std::snprintf(buffer, sizeof buffer, spec.c_str(), text.c_str());
    } else if (conversion == 'd' && arg.kind == FormatArg::Number && !precision) {
      std::snprintf(buffer, sizeof buffer, (spec.substr(0, spec.size() - 1) + "lld").c_str(), arg.number);
    } else if (conversion == 'c' && arg.kind == FormatArg::Character && !precision &&
               spec.find('0') == std::string::npos) {
      std::snprintf(buffer, sizeof buffer, spec.c_str(), static_cast<int>(arg.number));
      if (arg.number == 0) return false;
    } else {
      return false;
    }
    *out += buffer;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  std::vector<FormatArg> args;
  for (unsigned pick = data[0], n = pick % 4; n > 0; --n, pick /= 4) args.push_back(kChoices[(pick / 4) % 6]);
  const size_t capacity = data[1] == 255 ? 0 : data[1] * 3;
  std::string_view format(reinterpret_cast<const char*>(data + 2), std::min(size - 2, kMaxFormat));

  const std::string whole = Format(format, args, kWhole);
  const std::string cut = Format(format, args, capacity);
  if (capacity > 0 && cut.size() >= capacity) fuzz::Broken("the result does not fit its capacity");
  if (capacity == 0 && !cut.empty()) fuzz::Broken("a capacity of 0 gave text");
  if (whole.compare(0, cut.size(), cut) != 0) fuzz::Broken("a cut result is no prefix of the whole one");
  if (cut.size() < whole.size() && capacity > 0 && cut.size() != capacity - 1) {
    fuzz::Broken("a cut result is shorter than its capacity allows");
  }
  std::string reference;
  if (PrintfReference(format, args, &reference) && reference != whole) {
    fuzz::Broken("differs from printf: [" + whole + "] against [" + reference + "]");
  }
  return 0;
}
