#include "install/script/file_conditions.h"

#include <vector>

#include "install/os/ascii_case.h"
#include "install/os/wildcard_match.h"

namespace install::script {
namespace {

// Longest path the system's file functions take, terminator excluded.
constexpr std::size_t kMaxPath = 259;
constexpr char kEndOfText = 0x1A;  // Ctrl-Z ends a file read as text

bool IsDirectory(uint32_t attributes) {
  return attributes != os::kInvalidAttributes && (attributes & os::kAttrDirectory) != 0;
}

std::string Join(const std::string& directory, std::string_view name) {
  std::string path = directory;
  if (path.empty() || path.back() != '\\') path.push_back('\\');
  path.append(name);
  return path;
}

bool HoldsMatchingFile(os::Machine& machine, const std::string& directory, std::string_view pattern) {
  for (const os::FindData& entry : machine.FindFiles(Join(directory, pattern))) {
    if (!(entry.attributes & os::kAttrDirectory)) return true;
  }
  return false;
}

// Depth first: the directory itself, then each subdirectory in listing order.
std::optional<std::string> SearchTree(os::Machine& machine, const std::string& directory,
                                      std::string_view pattern) {
  if (HoldsMatchingFile(machine, directory, pattern)) return directory;
  for (const os::FindData& entry : machine.FindFiles(Join(directory, "*.*"))) {
    if (!(entry.attributes & os::kAttrDirectory)) continue;
    const std::string sub = Join(directory, entry.name);
    if (sub.size() + 1 + pattern.size() > kMaxPath) continue;
    if (std::optional<std::string> found = SearchTree(machine, sub, pattern)) return found;
  }
  return std::nullopt;
}

bool DriveChosen(os::Machine& machine, const DriveSpec& drives, char letter) {
  if (drives.choice == DriveChoice::OneLetter) return letter == drives.letter;
  const os::DriveType type = machine.GetDriveType(std::string(1, letter) + ":\\");
  switch (drives.choice) {
    case DriveChoice::Fixed: return type == os::DriveType::Fixed;
    case DriveChoice::Network: return type == os::DriveType::Remote;
    default: return type == os::DriveType::Fixed || type == os::DriveType::Remote;
  }
}

}  // namespace

bool FileExists(os::Machine& machine, const std::string& path) {
  if (path.empty()) return false;
  if (path.back() == '\\') {
    std::string directory = path;
    // "C:\" stays a root; "C:\APP\" names the directory "C:\APP".
    if (directory.size() > 3 || (directory.size() == 3 && directory[1] != ':')) directory.pop_back();
    return IsDirectory(machine.GetAttributes(directory));
  }
  if (os::HasWildcard(path)) {
    for (const os::FindData& entry : machine.FindFiles(path)) {
      if (!(entry.attributes & os::kAttrDirectory)) return true;
    }
    return false;
  }
  const uint32_t attributes = machine.GetAttributes(path);
  return attributes != os::kInvalidAttributes && !(attributes & os::kAttrDirectory);
}

bool TextFileLines::Fill() {
  if (ended_) return false;
  const int32_t got = file_->Read(buffer_, sizeof buffer_);
  if (got <= 0) {
    ended_ = true;
    return false;
  }
  at_ = 0;
  size_ = static_cast<std::size_t>(got);
  return true;
}

int TextFileLines::RawChar() {
  if (pending_ >= 0) {
    const int c = pending_;
    pending_ = -1;
    return c;
  }
  if (ended_ || (at_ >= size_ && !Fill())) return -1;
  const int c = static_cast<unsigned char>(buffer_[at_++]);
  if (c == kEndOfText) {
    ended_ = true;
    return -1;
  }
  return c;
}

int TextFileLines::NextChar() {
  const int c = RawChar();
  if (c != '\r') return c;
  const int next = RawChar();
  if (next == '\n') return next;
  pending_ = next;
  return c;
}

bool TextFileLines::Next(std::string& line) {
  line.clear();
  bool any = false;
  while (line.size() < kMaxLine) {
    const int c = NextChar();
    if (c < 0) break;
    any = true;
    if (c == '\n') return true;
    line.push_back(static_cast<char>(c));
  }
  return any;
}

std::optional<TextHit> SearchTextFile(os::Machine& machine, const std::string& path,
                                      std::string_view text, std::string_view skip_prefix) {
  std::unique_ptr<os::File> file = machine.Open(path, os::OpenMode::Read);
  if (!file) return std::nullopt;
  TextFileLines lines(std::move(file));
  const std::string wanted = os::UpperCopy(text);
  std::string line;
  for (int number = 1; lines.Next(line); ++number) {
    if (!skip_prefix.empty() && os::StartsWithIgnoringCase(line, skip_prefix)) continue;
    const std::size_t at = os::UpperCopy(line).find(wanted);
    if (at == std::string::npos) continue;
    return TextHit{number, line.substr(0, at), line.substr(at + wanted.size())};
  }
  return std::nullopt;
}

std::optional<DriveSpec> ParseDriveSpec(std::string_view word) {
  DriveSpec spec;
  if (word.empty()) return spec;
  if (os::EqualsIgnoringCase(word, "local")) {
    spec.choice = DriveChoice::Fixed;
    return spec;
  }
  if (os::EqualsIgnoringCase(word, "network")) {
    spec.choice = DriveChoice::Network;
    return spec;
  }
  const char letter = os::UpperAscii(word[0]);
  if (word.size() != 1 || letter < 'A' || letter > 'Z') return std::nullopt;
  spec.choice = DriveChoice::OneLetter;
  spec.letter = letter;
  return spec;
}

std::optional<std::string> LocateFile(os::Machine& machine, std::string_view pattern,
                                      const DriveSpec& drives, char source_drive) {
  if (pattern.empty() || pattern.size() + 3 > kMaxPath) return std::nullopt;
  source_drive = os::UpperAscii(source_drive);
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    if (letter == source_drive || !DriveChosen(machine, drives, letter)) continue;
    if (std::optional<std::string> found = SearchTree(machine, std::string(1, letter) + ":\\", pattern))
      return found;
  }
  return std::nullopt;
}

}  // namespace install::script
