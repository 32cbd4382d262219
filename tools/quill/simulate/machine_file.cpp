#include "tools/quill/simulate/machine_file.h"

#include <cstdio>
#include <fstream>
#include <sstream>

#include "install/os/ascii_case.h"

namespace quill::simulate {
namespace fs = std::filesystem;
namespace {

using install::os::DriveType;

std::vector<std::string> Words(const std::string& line) {
  std::vector<std::string> words;
  std::istringstream in(line);
  for (std::string word; in >> word;) words.push_back(word);
  return words;
}

bool ParseVersion(const std::string& text, int* major, int* minor) {
  unsigned a = 0, b = 0;
  char dot = 0;
  std::istringstream in(text);
  if (!(in >> a >> dot >> b) || dot != '.' || a > 255 || b > 255) return false;
  *major = static_cast<int>(a);
  *minor = static_cast<int>(b);
  return in.peek() == EOF;
}

bool ParseNumber(const std::string& text, uint64_t* value) {
  if (text.empty() || text.size() > 19) return false;
  uint64_t v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + static_cast<uint64_t>(c - '0');
  }
  *value = v;
  return true;
}

// N, NK (kilobytes) or NM (megabytes), in bytes.
bool ParseByteCount(const std::string& text, uint64_t* bytes) {
  uint64_t unit = 1;
  std::string digits = text;
  if (!digits.empty() && (digits.back() == 'K' || digits.back() == 'M')) {
    unit = digits.back() == 'K' ? 1024 : 1024 * 1024;
    digits.pop_back();
  }
  uint64_t n = 0;
  if (!ParseNumber(digits, &n) || n > UINT64_MAX / unit) return false;
  *bytes = n * unit;
  return true;
}

// "WIDTHxHEIGHT" and a colour count that is a power of two from 2 to 2^32.
bool ParseDisplay(const std::string& size, const std::string& colors, DisplayFact* out) {
  const std::size_t x = size.find('x');
  uint64_t width = 0, height = 0, count = 0;
  if (x == std::string::npos || !ParseNumber(size.substr(0, x), &width) ||
      !ParseNumber(size.substr(x + 1), &height) || !ParseNumber(colors, &count)) {
    return false;
  }
  if (width == 0 || height == 0 || width > 65535 || height > 65535) return false;
  int bits = 0;
  while (bits < 32 && (uint64_t{1} << bits) < count) ++bits;
  if (bits == 0 || (uint64_t{1} << bits) != count) return false;
  out->width = static_cast<int>(width);
  out->height = static_cast<int>(height);
  out->color_bits = bits;
  return true;
}

std::optional<DriveType> DriveTypeOf(const std::string& word) {
  if (word == "fixed") return DriveType::Fixed;
  if (word == "floppy") return DriveType::Removable;
  if (word == "cdrom") return DriveType::CdRom;
  if (word == "network") return DriveType::Remote;
  return std::nullopt;
}

// "key=value" options after the fixed words of a drive or disk line.
struct Options {
  std::optional<std::string> label, folder, disk;
  std::optional<uint64_t> free;
};
bool ReadOptions(const std::vector<std::string>& words, std::size_t from, const fs::path& base,
                 Options* out) {
  for (std::size_t i = from; i < words.size(); ++i) {
    const std::size_t eq = words[i].find('=');
    if (eq == std::string::npos) return false;
    const std::string key = words[i].substr(0, eq), value = words[i].substr(eq + 1);
    if (key == "label") out->label = value;
    else if (key == "folder") out->folder = (base / value).lexically_normal().string();
    else if (key == "disk") out->disk = value;
    else if (key == "free") {
      uint64_t n = 0;
      if (!ParseNumber(value, &n)) return false;
      out->free = n;
    } else {
      return false;
    }
  }
  return true;
}

bool IsDriveWord(const std::string& word) {
  return word.size() == 2 && word[1] == ':' &&
         ((word[0] >= 'A' && word[0] <= 'Z') || (word[0] >= 'a' && word[0] <= 'z'));
}

// The rest of `line` after its first `count` words.
std::string RestAfter(const std::string& line, int count) {
  std::size_t at = 0;
  for (int i = 0; i < count; ++i) {
    at = line.find_first_not_of(" \t", at);
    if (at == std::string::npos) return {};
    at = line.find_first_of(" \t", at);
    if (at == std::string::npos) return {};
  }
  at = line.find_first_not_of(" \t", at);
  return at == std::string::npos ? std::string() : line.substr(at);
}

bool ReadLine(const std::string& line, const fs::path& base, MachineFile* m, int number) {
  const std::vector<std::string> w = Words(line);
  const std::string& key = w[0];
  if (key == "windows-version" && w.size() == 2) return ParseVersion(w[1], &m->windows_major, &m->windows_minor);
  if (key == "dos-version" && w.size() == 2) {
    int major = 0, minor = 0;
    if (!ParseVersion(w[1], &major, &minor)) return false;
    return m->dos_version = std::make_pair(major, minor), true;
  }
  if (key == "platform" && w.size() == 2 && w[1] == "nt") return m->nt = true;
  if (key == "windows-dir" && w.size() == 2) return m->windows_dir = w[1], true;
  if (key == "system-dir" && w.size() == 2) return m->system_dir = w[1], true;
  if (key == "env" && w.size() >= 2) {
    const std::string rest = RestAfter(line, 1);
    const std::size_t eq = rest.find('=');
    if (eq == std::string::npos || eq == 0) return false;
    m->environment[install::os::UpperCopy(rest.substr(0, eq))] = rest.substr(eq + 1);
    return true;
  }
  if (key == "drive" && w.size() >= 3 && IsDriveWord(w[1])) {
    std::optional<DriveType> type = DriveTypeOf(w[2]);
    Options options;
    if (!type || !ReadOptions(w, 3, base, &options)) return false;
    DriveFact drive;
    drive.letter = install::os::UpperAscii(w[1][0]);
    drive.type = *type;
    drive.label = options.label;
    drive.free_bytes = options.free;
    if (options.folder) drive.folder = fs::path(*options.folder);
    if (options.disk) {
      if (options.folder || *type == DriveType::Fixed) return false;
      drive.disk = *options.disk;
    }
    for (const DriveFact& other : m->drives) {
      if (other.letter == drive.letter) return false;
    }
    m->drives.push_back(drive);
    return true;
  }
  if (key == "disk" && w.size() >= 3) {
    Options options;
    if (!ReadOptions(w, 2, base, &options) || !options.folder || options.disk) return false;
    m->disks.push_back(DiskFact{w[1], options.label, options.free, fs::path(*options.folder)});
    return true;
  }
  if (key == "command" && w.size() >= 2) {
    m->program_path = w[1];
    m->arguments = RestAfter(line, 2);
    return true;
  }
  if (key == "dir" && w.size() == 2) return m->directories.push_back(w[1]), true;
  if (key == "mtime" && w.size() == 4) {
    install::os::DosDateTime when;
    const std::string value = w[2] + " " + w[3];
    if (!ParseDateTime(value, &when)) return false;
    return m->mtimes.push_back({w[1], value, number}), true;
  }
  if (key == "attr" && w.size() == 3) {
    if (w[2].find_first_not_of("RHSArhsa") != std::string::npos) return false;
    return m->attributes.push_back({w[1], install::os::UpperCopy(w[2]), number}), true;
  }
  if (key == "memory" && w.size() == 2) {
    uint64_t n = 0;
    if (!ParseByteCount(w[1], &n)) return false;
    return m->memory = n, true;
  }
  if (key == "processor" && w.size() == 2) {
    if (w[1] != "386" && w[1] != "486" && w[1] != "586") return false;
    return m->processor = std::stoi(w[1]), true;
  }
  if (key == "display" && w.size() == 3) {
    DisplayFact display;
    if (!ParseDisplay(w[1], w[2], &display)) return false;
    return m->display = display, true;
  }
  if (key == "registry" && w.size() == 2) return m->registry = (base / w[1]).lexically_normal(), true;
  if (key == "now" && w.size() == 3) {
    install::os::DosDateTime when;
    if (!ParseDateTime(w[1] + " " + w[2], &when)) return false;
    return m->now = w[1] + " " + w[2], true;
  }
  return false;
}

}  // namespace

bool ParseDateTime(const std::string& text, install::os::DosDateTime* out) {
  int y, mo, d, h, mi, s;
  char tail;
  if (std::sscanf(text.c_str(), "%4d-%2d-%2d %2d:%2d:%2d%c", &y, &mo, &d, &h, &mi, &s, &tail) != 6)
    return false;
  if (y < 1980 || y > 2107 || mo < 1 || mo > 12 || d < 1 || d > 31 || h > 23 || mi > 59 || s > 59)
    return false;
  out->date = static_cast<uint32_t>(((y - 1980) << 9) | (mo << 5) | d);
  out->time = static_cast<uint32_t>((h << 11) | (mi << 5) | (s / 2));
  return true;
}

std::optional<MachineFile> ReadMachineFile(const fs::path& path, std::string* error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    *error = path.string() + ": cannot be read";
    return std::nullopt;
  }
  const fs::path base = path.parent_path();
  MachineFile machine;
  std::string line;
  int number = 0;
  while (std::getline(in, line)) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::size_t first = line.find_first_not_of(" \t");
    if (first == std::string::npos || line[first] == '#') continue;
    if (!ReadLine(line, base, &machine, number)) {
      *error = path.string() + ":" + std::to_string(number) + ": cannot read: " + line;
      return std::nullopt;
    }
  }
  for (const DriveFact& drive : machine.drives) {
    if (drive.disk.empty()) continue;
    bool known = false;
    for (const DiskFact& disk : machine.disks) known = known || disk.name == drive.disk;
    if (!known) {
      *error = path.string() + ": drive " + std::string(1, drive.letter) + ": holds unknown disk " + drive.disk;
      return std::nullopt;
    }
  }
  return machine;
}

}  // namespace quill::simulate
