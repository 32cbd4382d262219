// Lines of the configuration file, read the way every text of the browser is
// read: carriage returns are dropped wherever they occur, a line feed or a byte
// 255 ends a line, and a line longer than the limit continues as the next line.
#pragma once

#include <cstdio>
#include <optional>
#include <string>

namespace tamblor::config {

inline constexpr size_t kConfigLineLimit = 512;

class ConfigLines {
 public:
  // Reads from `file` (opened in binary mode; not closed here).
  ConfigLines(std::FILE* file, size_t limit = kConfigLineLimit) : file_(file), limit_(limit) {}
  // The next line, nullopt at the end of the file.
  std::optional<std::string> Next();

 private:
  int NextByte();
  std::FILE* file_;
  size_t limit_;
};

}  // namespace tamblor::config
