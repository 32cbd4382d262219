// Long names on the disc to the names stored on it.
//
// Format notes: "00_trans.tbl" in each directory lists that directory's
// entries, one per line:
//   offset 0       a type letter ("L" lines are links and are skipped)
//   offset 1       a blank
//   offsets 2..36  the name as stored on the disc, padded with blanks
//   offset 37..    the long name, to the end of the line
#include <cstdio>

#include "tamblor/config/command_line.h"
#include "tamblor/config/config_lines.h"
#include "tamblor/config/disc_config.h"
#include "tamblor/os/ascii_case.h"
#include "tamblor/os/file_names.h"

namespace tamblor::config {
namespace {

constexpr size_t kStoredNameOffset = 2;
constexpr size_t kStoredNameEnd = 37;  // one past the stored-name field
constexpr size_t kLongNameOffset = 37;
constexpr size_t kTableLineLimit = 254;

bool IsBlankOrControl(char c) { return static_cast<unsigned char>(c) <= ' '; }

// The stored name listed for `component` in the table, nullopt when none.
std::optional<std::string> LookUp(std::FILE* table, std::string_view component) {
  ConfigLines lines(table, kTableLineLimit);
  while (std::optional<std::string> line = lines.Next()) {
    if (line->empty() || (*line)[0] == 'L') continue;
    // A line too short to hold a long name lists nothing.
    if (line->size() <= kLongNameOffset) continue;
    if (!os::EqualsNoCase(std::string_view(*line).substr(kLongNameOffset), component)) continue;
    std::string stored = line->substr(kStoredNameOffset, kStoredNameEnd - kStoredNameOffset);
    while (!stored.empty() && IsBlankOrControl(stored.back())) stored.pop_back();
    return stored;
  }
  return std::nullopt;
}

}  // namespace

std::string DiscConfig::TranslatePath(const std::string& path) const {
  if (!rock_ridge_) return path;
  if (path.size() < 2 || path.size() >= kMaxPath) return path;
  std::string result = path.substr(0, 2);
  size_t pos = 3;
  while (pos < path.size()) {
    size_t end = path.find('\\', pos);
    if (end == std::string::npos) end = path.size();
    std::string_view component = std::string_view(path).substr(pos, end - pos);
    pos = end + 1;
    if (component.empty()) continue;
    std::FILE* table = machine_.OpenFile(result + "\\00_trans.tbl", "rb");
    if (!table) return path;
    std::optional<std::string> stored = LookUp(table, component);
    std::fclose(table);
    // A stored name that would leave the directory (or name a device) translates nothing.
    if (!stored || !os::IsPlainFileName(*stored)) return path;
    result += "\\" + *stored;
    if (result.size() >= kMaxPath) return path;
  }
  return result;
}

}  // namespace tamblor::config
