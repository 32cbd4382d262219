#include "tamblor/lang/format_text.h"

#include <algorithm>
#include <vector>

namespace tamblor::lang {
namespace {

constexpr int kMaxWidth = 512;

void Pad(std::string& out, std::string_view body, int width, bool left, char fill) {
  int padding = width > static_cast<int>(body.size()) ? width - static_cast<int>(body.size()) : 0;
  if (left) {
    out += body;
    out.append(static_cast<size_t>(padding), ' ');
  } else if (fill == '0' && !body.empty() && body[0] == '-') {
    out += '-';
    out.append(static_cast<size_t>(padding), '0');
    out += body.substr(1);
  } else {
    out.append(static_cast<size_t>(padding), fill);
    out += body;
  }
}

}  // namespace

std::string FormatText(std::string_view format, std::initializer_list<FormatArg> args, size_t capacity) {
  std::vector<FormatArg> list(args);
  size_t next = 0;
  std::string out;
  for (size_t i = 0; i < format.size() && out.size() < capacity; ++i) {
    char c = format[i];
    if (c != '%') {
      out += c;
      continue;
    }
    if (++i >= format.size()) break;
    bool left = false;
    char fill = ' ';
    for (; i < format.size() && (format[i] == '-' || format[i] == '0' || format[i] == '+' || format[i] == ' ' ||
                                 format[i] == '#');
         ++i) {
      if (format[i] == '-') left = true;
      if (format[i] == '0') fill = '0';
    }
    int width = 0;
    for (; i < format.size() && format[i] >= '0' && format[i] <= '9'; ++i) {
      width = std::min(width * 10 + (format[i] - '0'), kMaxWidth);
    }
    int precision = -1;
    if (i < format.size() && format[i] == '.') {
      precision = 0;
      for (++i; i < format.size() && format[i] >= '0' && format[i] <= '9'; ++i) {
        precision = std::min(precision * 10 + (format[i] - '0'), kMaxWidth);
      }
    }
    while (i < format.size() && (format[i] == 'l' || format[i] == 'h')) ++i;
    if (i >= format.size()) break;
    char conversion = format[i];
    if (conversion == '%') {
      out += '%';
      continue;
    }
    const FormatArg* arg = next < list.size() ? &list[next] : nullptr;
    ++next;
    if (!arg) continue;
    if (left) fill = ' ';
    switch (conversion) {
      case 's':
        if (arg->kind == FormatArg::Text) {
          std::string_view body = arg->text;
          if (precision >= 0 && body.size() > static_cast<size_t>(precision)) body = body.substr(0, precision);
          Pad(out, body, width, left, ' ');
        }
        break;
      case 'd':
      case 'i':
      case 'u':
        if (arg->kind == FormatArg::Number) Pad(out, std::to_string(arg->number), width, left, fill);
        break;
      case 'c':
        if (arg->kind == FormatArg::Character) Pad(out, std::string(1, static_cast<char>(arg->number)), width, left, ' ');
        break;
      default:
        break;  // a conversion the program never passes: nothing
    }
  }
  if (out.size() >= capacity) out.resize(capacity > 0 ? capacity - 1 : 0);
  return out;
}

}  // namespace tamblor::lang
