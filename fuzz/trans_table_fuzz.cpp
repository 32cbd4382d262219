// Fuzz target for the long-name translation through "00_trans.tbl"
// (libFuzzer).
//
// Input: the long-name path to translate (the first line, below the disc's
// root), then the table of the disc's root. The directory "DIR" holds the
// same table, so a path can go two levels down. Checked: a translated path
// never escapes the disc: it starts with the disc's drive, has exactly one
// stored name for each component of the long path, and none of them is
// empty, "." or "..", holds a separator, a drive colon or a control character,
// or names a device; and it is shorter than 260 characters. An untranslated
// path comes back unchanged.
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "tamblor/config/disc_config.h"
#include "tamblor/os/host/host_machine.h"

namespace {

std::vector<std::string> Components(const std::string& path, size_t from) {
  std::vector<std::string> parts;
  size_t start = from;
  while (start <= path.size()) {
    size_t end = path.find('\\', start);
    if (end == std::string::npos) end = path.size();
    if (end > start) parts.push_back(path.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

// Checked here on its own terms, not with the browser's own name check.
bool StaysInItsDirectory(const std::string& name) {
  if (name.empty() || name.find_first_not_of('.') == std::string::npos) return false;
  for (unsigned char c : name) {
    if (c < 32 || c == 127 || c == '\\' || c == '/' || c == ':') return false;
  }
  std::string base = name.substr(0, name.find('.'));
  while (!base.empty() && base.back() == ' ') base.pop_back();
  for (char& c : base) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (base == "CON" || base == "PRN" || base == "AUX" || base == "NUL" || base == "CLOCK$") return false;
  if (base.size() == 4 && (base.rfind("COM", 0) == 0 || base.rfind("LPT", 0) == 0) && base[3] >= '1' &&
      base[3] <= '9') {
    return false;
  }
  return true;
}

void WriteTable(const std::string& path, const std::string& table) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << table;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string disc = fuzz::ScratchDirectory("trans_table").string();
  static const bool made = std::filesystem::create_directories(disc + "/DIR");
  (void)made;
  std::string input(reinterpret_cast<const char*>(data), size);
  size_t line_end = input.find('\n');
  if (line_end == std::string::npos || line_end > 300) return 0;
  const std::string path = "E:\\" + input.substr(0, line_end);
  const std::string table = input.substr(line_end + 1);
  WriteTable(disc + "/00_trans.tbl", table);
  WriteTable(disc + "/DIR/00_trans.tbl", table);

  tamblor::os::host::HostMachine machine;
  machine.MapDrive('E', disc, tamblor::os::DriveType::CdRom);
  tamblor::config::DiscConfig config(machine, 'E');
  config.ApplyLine("ROCKRIDGE");
  const std::string translated = config.TranslatePath(path);
  if (translated == path) return 0;
  if (translated.size() >= 260) fuzz::Broken("a translated path of 260 characters or more");
  if (translated.compare(0, 2, "E:") != 0 || (translated.size() > 2 && translated[2] != '\\')) {
    fuzz::Broken("a translated path off the disc: " + translated);
  }
  std::vector<std::string> stored = Components(translated, 3);
  if (stored.size() != Components(path, 3).size()) fuzz::Broken("components lost or added: " + translated);
  for (const std::string& name : stored) {
    if (!StaysInItsDirectory(name)) fuzz::Broken("a stored name that escapes: " + name);
  }
  return 0;
}
