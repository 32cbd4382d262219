#include "tamblor/config/config_lines.h"

namespace tamblor::config {

int ConfigLines::NextByte() {
  int c;
  do {
    c = std::fgetc(file_);
  } while (c == '\r');
  return c;
}

std::optional<std::string> ConfigLines::Next() {
  int c = NextByte();
  if (c == EOF) return std::nullopt;
  std::string line;
  while (c != EOF && c != '\n' && c != 0xFF) {
    line += static_cast<char>(c);
    if (line.size() >= limit_) break;  // the rest is the next line
    c = NextByte();
  }
  return line;
}

}  // namespace tamblor::config
