#include "tamblor/os/host/host_machine.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "tamblor/os/ascii_case.h"
#include "tamblor/os/host/oem_table.h"

namespace tamblor::os::host {
namespace {

int DriveIndex(const std::string& path) {
  if (path.size() < 2 || path[1] != ':') return -1;
  char letter = ToUpperAscii(path[0]);
  return (letter >= 'A' && letter <= 'Z') ? letter - 'A' : -1;
}

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// The entry of `folder` whose name equals `name` ignoring case; `name` itself
// when there is none.
std::string MatchEntry(const std::string& folder, const std::string& name) {
  struct stat st;
  if (::stat((folder + "/" + name).c_str(), &st) == 0) return name;
  std::string found = name;
  if (DIR* dir = ::opendir(folder.c_str())) {
    while (dirent* entry = ::readdir(dir)) {
      if (EqualsNoCase(entry->d_name, name)) {
        found = entry->d_name;
        break;
      }
    }
    ::closedir(dir);
  }
  return found;
}

}  // namespace

HostMachine::HostMachine() = default;

void HostMachine::MapDrive(char letter, const std::string& folder, DriveType type, int64_t free_bytes) {
  int index = ToUpperAscii(letter) - 'A';
  if (index < 0 || index >= 26) return;
  drives_[index] = Drive{folder, type, free_bytes};
}

const HostMachine::Drive* HostMachine::DriveOf(const std::string& windows_path) const {
  int index = DriveIndex(Absolute(windows_path));
  if (index < 0 || drives_[index].folder.empty()) return nullptr;
  return &drives_[index];
}

std::string HostMachine::Absolute(const std::string& windows_path) const {
  if (DriveIndex(windows_path) >= 0) return windows_path;
  if (!windows_path.empty() && IsSeparator(windows_path[0])) return current_directory_.substr(0, 2) + windows_path;
  std::string base = current_directory_;
  if (base.empty() || !IsSeparator(base.back())) base += '\\';
  return base + windows_path;
}

std::string HostMachine::ToHostPath(const std::string& windows_path) const {
  std::string path = Absolute(windows_path);
  int index = DriveIndex(path);
  if (index < 0 || drives_[index].folder.empty()) return {};
  std::string result = drives_[index].folder;
  size_t pos = 2;
  while (pos < path.size()) {
    while (pos < path.size() && IsSeparator(path[pos])) ++pos;
    size_t end = pos;
    while (end < path.size() && !IsSeparator(path[end])) ++end;
    if (end > pos) {
      std::string name = path.substr(pos, end - pos);
      if (name == "..") {
        size_t slash = result.rfind('/');
        if (result.size() > drives_[index].folder.size() && slash != std::string::npos) result.resize(slash);
      } else if (name != ".") {
        std::string entry = HasWildcard(name) ? name : MatchEntry(result, name);
        result += '/';
        result += entry;
      }
    }
    pos = end;
  }
  return result;
}

std::FILE* HostMachine::OpenFile(const std::string& path, const char* mode) {
  std::string host = ToHostPath(path);
  if (host.empty() || HasWildcard(path)) {
    errno = ENOENT;
    return nullptr;
  }
  struct stat st;
  if (::stat(host.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
    errno = EACCES;
    return nullptr;
  }
  return std::fopen(host.c_str(), mode);
}

uint32_t HostMachine::FindAttributes(const std::string& path) {
  std::string host = ToHostPath(path);
  if (host.empty() || HasWildcard(path)) return kInvalidAttributes;
  struct stat st;
  if (::stat(host.c_str(), &st) != 0) return kInvalidAttributes;
  if (S_ISDIR(st.st_mode)) return kAttrDirectory;
  uint32_t attributes = kAttrArchive;
  // The owner's write bit, not access(): the model answers alike for every user, root too.
  if ((st.st_mode & S_IWUSR) == 0) attributes |= kAttrReadOnly;
  return attributes;
}

DriveType HostMachine::DriveTypeOf(const std::string& root) {
  const Drive* drive = DriveOf(root);
  return drive ? drive->type : DriveType::NoRootDir;
}

int64_t HostMachine::FreeBytes(const std::string& root) {
  const Drive* drive = DriveOf(root);
  return drive ? drive->free_bytes : -1;
}

bool HostMachine::ChangeDirectory(const std::string& path) {
  uint32_t attributes = FindAttributes(path);
  if (attributes == kInvalidAttributes || (attributes & kAttrDirectory) == 0) return false;
  current_directory_ = Absolute(path);
  return true;
}

bool HostMachine::MakeDirectory(const std::string& path) {
  std::string host = ToHostPath(path);
  return !host.empty() && !HasWildcard(path) && ::mkdir(host.c_str(), 0777) == 0;
}

bool HostMachine::RemoveFile(const std::string& path) {
  std::string host = ToHostPath(path);
  struct stat st;
  if (host.empty() || HasWildcard(path) || ::lstat(host.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
  return ::unlink(host.c_str()) == 0;  // a link goes, never what it points to
}

bool HostMachine::RenameFile(const std::string& from, const std::string& to) {
  std::string host_from = ToHostPath(from);
  std::string host_to = ToHostPath(to);
  struct stat st;
  if (host_from.empty() || host_to.empty() || HasWildcard(from) || HasWildcard(to)) return false;
  if (::lstat(host_from.c_str(), &st) != 0 || S_ISDIR(st.st_mode) || ::lstat(host_to.c_str(), &st) == 0) return false;
  return std::rename(host_from.c_str(), host_to.c_str()) == 0;
}

bool HostMachine::RemoveEmptyDirectory(const std::string& path) {
  std::string host = ToHostPath(path);
  struct stat st;
  if (host.empty() || HasWildcard(path) || ::lstat(host.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
  return ::rmdir(host.c_str()) == 0;
}

int HostMachine::RunCommand(const std::string& command) {
  commands_.push_back(command);
  return runner_ ? runner_(command) : command_result_;
}

bool HostMachine::StartProcess(const std::string& program, const std::vector<std::string>& arguments) {
  if (FindAttributes(program) == kInvalidAttributes) return false;
  std::vector<std::string> record{program};
  record.insert(record.end(), arguments.begin(), arguments.end());
  started_.push_back(record);
  return true;
}

LocalTime HostMachine::ToLocalTime(std::time_t when) {
  std::tm parts{};
  ::localtime_r(&when, &parts);
  return LocalTime{parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday, parts.tm_hour, parts.tm_min, parts.tm_sec};
}

std::string HostMachine::OemToAnsiText(const std::string& text) {
  std::string out = text;
  for (char& c : out) c = static_cast<char>(OemToAnsiByte(static_cast<unsigned char>(c)));
  return out;
}

std::string HostMachine::AnsiToOemText(const std::string& text) {
  std::string out = text;
  for (char& c : out) c = static_cast<char>(AnsiToOemByte(static_cast<unsigned char>(c)));
  return out;
}

}  // namespace tamblor::os::host
