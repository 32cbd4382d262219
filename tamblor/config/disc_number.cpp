#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdio>
#include <cstdlib>

#include "tamblor/config/config_lines.h"
#include "tamblor/config/disc_config.h"
#include "tamblor/os/ascii_case.h"

namespace tamblor::config {
namespace {

constexpr size_t kDiscLineLimit = 79;

}  // namespace

int DiscConfig::DiscNumber() const {
  std::FILE* file = machine_.OpenFile(RootPath() + "cdrom.cfg", "rb");
  if (!file) return 0;
  int number = 0;
  ConfigLines lines(file, kDiscLineLimit);
  while (std::optional<std::string> line = lines.Next()) {
    if (os::StartsWithNoCase(*line, "DISC #")) {
      // A decimal number, as "%d" reads it; values beyond an int are clamped.
      char* end = nullptr;
      long value = std::strtol(line->c_str() + 6, &end, 10);
      if (end != line->c_str() + 6) number = static_cast<int>(std::clamp<long>(value, INT_MIN, INT_MAX));
      break;
    }
  }
  std::fclose(file);
  return number;
}

int DiscConfig::RequiredDisc(std::string_view path) const {
  if (path.size() < 8 || !os::EqualsNoCase(path.substr(2, 5), "\\disc")) return 0;
  if (!std::isdigit(static_cast<unsigned char>(path[7]))) return 0;
  int needed = path[7] - '0';
  return needed != DiscNumber() ? needed : 0;
}

}  // namespace tamblor::config
