#include "install/os/host/host_machine.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <system_error>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

#include "install/os/ascii_case.h"
#include "install/os/pe_version.h"
#include "install/os/wildcard_match.h"

namespace install::os {
namespace fs = std::filesystem;

namespace {

// Makes the data the C library has passed on survive a power loss.
bool SyncToDisk(std::FILE* file) {
#ifdef _WIN32
  return _commit(_fileno(file)) == 0;
#else
  return fsync(fileno(file)) == 0;
#endif
}

// A new file that no other file held: opened exclusively, so a name taken
// between the caller's check and this call is not overwritten.
std::FILE* CreateExclusively(const fs::path& local) {
#ifdef _WIN32
  int fd = _open(local.string().c_str(), _O_CREAT | _O_EXCL | _O_RDWR | _O_BINARY, _S_IREAD | _S_IWRITE);
  if (fd < 0) return nullptr;
  std::FILE* f = _fdopen(fd, "w+b");
  if (!f) _close(fd);
#else
  int fd = ::open(local.string().c_str(), O_CREAT | O_EXCL | O_RDWR, 0666);
  if (fd < 0) return nullptr;
  std::FILE* f = fdopen(fd, "w+b");
  if (!f) ::close(fd);
#endif
  return f;
}

bool HasWildcards(const std::string& path) {
  return path.find_first_of("*?") != std::string::npos;
}

int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

void CivilFromDays(int64_t z, int64_t* y, unsigned* m, unsigned* d) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  *d = doy - (153 * mp + 2) / 5 + 1;
  *m = mp < 10 ? mp + 3 : mp - 9;
  *y = static_cast<int64_t>(yoe) + era * 400 + (*m <= 2);
}

class HostFile : public File {
 public:
  explicit HostFile(std::FILE* f) : file_(f) {}
  ~HostFile() override {
    if (file_) std::fclose(file_);
  }

  int32_t Read(void* buffer, uint32_t count) override {
    if (!file_) return -1;
    if (last_was_write_) std::fflush(file_);
    last_was_write_ = false;
    size_t n = std::fread(buffer, 1, count, file_);
    if (n < count && std::ferror(file_)) {
      std::clearerr(file_);
      return -1;
    }
    return static_cast<int32_t>(n);
  }

  int32_t Write(const void* buffer, uint32_t count) override {
    if (!file_) return -1;
    if (!last_was_write_) std::fseek(file_, 0, SEEK_CUR);  // switching from reading
    last_was_write_ = true;
    size_t n = std::fwrite(buffer, 1, count, file_);
    if (n < count && std::ferror(file_)) {
      std::clearerr(file_);
      return n == 0 ? -1 : static_cast<int32_t>(n);
    }
    return static_cast<int32_t>(n);
  }

  bool Flush() override {
    if (!file_) return false;
    if (std::fflush(file_) != 0) {
      std::clearerr(file_);
      return false;
    }
    return SyncToDisk(file_);
  }

  bool Close() override {
    if (!file_) return false;
    const bool ok = std::fclose(file_) == 0;
    file_ = nullptr;
    return ok;
  }

  bool Truncate() override {
    if (!file_ || std::fflush(file_) != 0) return false;
    const int64_t at = Tell();
    if (at < 0) return false;
#ifdef _WIN32
    return at <= 0x7FFFFFFF && _chsize(_fileno(file_), static_cast<long>(at)) == 0;
#else
    return ftruncate(fileno(file_), static_cast<off_t>(at)) == 0;
#endif
  }

  int64_t Seek(int64_t offset, int origin) override {
    if (!file_) return -1;
    int64_t base = 0;
    if (origin == 1) {
      base = Tell();
    } else if (origin == 2) {
      if (Seek64(0, SEEK_END) != 0) return -1;
      base = Tell();
    } else if (origin != 0) {
      return -1;
    }
    if (base < 0 || base + offset < 0) return -1;
    if (Seek64(base + offset, SEEK_SET) != 0) return -1;
    return Tell();
  }

 private:
  int Seek64(int64_t offset, int whence) {
#ifdef _WIN32
    return _fseeki64(file_, offset, whence);
#else
    return fseeko(file_, static_cast<off_t>(offset), whence);
#endif
  }
  int64_t Tell() {
#ifdef _WIN32
    return _ftelli64(file_);
#else
    return static_cast<int64_t>(ftello(file_));
#endif
  }

  std::FILE* file_;
  bool last_was_write_ = false;
};

}  // namespace

DosDateTime DosFromUnixTime(int64_t seconds) {
  int64_t days = seconds >= 0 ? seconds / 86400 : (seconds - 86399) / 86400;
  int64_t rest = seconds - days * 86400;
  int64_t year;
  unsigned month, day;
  CivilFromDays(days, &year, &month, &day);
  if (year < 1980) return DosDateTime{(0u << 9) | (1u << 5) | 1u, 0};
  if (year > 2107) year = 2107;
  DosDateTime out;
  out.date = static_cast<uint32_t>(((year - 1980) << 9) | (month << 5) | day);
  unsigned h = static_cast<unsigned>(rest / 3600), m = static_cast<unsigned>(rest % 3600 / 60),
           s = static_cast<unsigned>(rest % 60);
  out.time = (h << 11) | (m << 5) | (s / 2);
  return out;
}

int64_t UnixTimeFromDos(DosDateTime when) {
  unsigned date = when.date & 0xFFFF, time = when.time & 0xFFFF;
  int64_t year = 1980 + (date >> 9);
  unsigned month = (date >> 5) & 15, day = date & 31;
  if (month < 1) month = 1;
  if (month > 12) month = 12;
  if (day < 1) day = 1;
  int64_t days = DaysFromCivil(year, month, day);
  int64_t h = time >> 11, m = (time >> 5) & 63, s = (time & 31) * 2;
  return days * 86400 + h * 3600 + m * 60 + s;
}

HostMachine::HostMachine() = default;

void HostMachine::MapDrive(char letter, const fs::path& root, DriveType type,
                           std::optional<std::string> label) {
  drives_[os::UpperAscii(letter)] = Drive{root, type, std::move(label)};
}

void HostMachine::SetDriveLabel(char letter, std::optional<std::string> label) {
  auto it = drives_.find(os::UpperAscii(letter));
  if (it != drives_.end()) it->second.label = std::move(label);
}

void HostMachine::SetDriveType(char letter, DriveType type) {
  auto it = drives_.find(os::UpperAscii(letter));
  if (it != drives_.end()) it->second.type = type;
}

void HostMachine::SetDriveFreeSpace(char letter, std::optional<uint64_t> free_bytes) {
  auto it = drives_.find(os::UpperAscii(letter));
  if (it != drives_.end()) it->second.free_bytes = free_bytes;
}

void HostMachine::UnmapDrive(char letter) { drives_.erase(os::UpperAscii(letter)); }

std::string HostMachine::Absolute(const std::string& windows_path) const {
  std::string path = windows_path;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  char drive;
  std::string rest;
  std::string base;  // absolute directory the path is relative to, "X:\..."
  if (path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]))) {
    drive = os::UpperAscii(path[0]);
    rest = path.substr(2);
    if (rest.empty() || rest[0] != '\\') {
      base = (!current_dir_.empty() && os::UpperAscii(current_dir_[0]) == drive)
                 ? current_dir_
                 : std::string(1, drive) + ":\\";
    }
  } else if (!path.empty() && path[0] == '\\') {
    if (path.size() >= 2 && path[1] == '\\') return std::string();  // UNC names are not modelled
    drive = current_dir_.empty() ? 'C' : os::UpperAscii(current_dir_[0]);
    rest = path;
  } else {
    drive = current_dir_.empty() ? 'C' : os::UpperAscii(current_dir_[0]);
    base = current_dir_;
    rest = path;
  }
  std::vector<std::string> parts;
  auto add_parts = [&parts](const std::string& text) {
    size_t start = 0;
    while (start <= text.size()) {
      size_t end = text.find('\\', start);
      if (end == std::string::npos) end = text.size();
      std::string part = text.substr(start, end - start);
      start = end + 1;
      if (part.empty() || part == ".") continue;
      if (part == "..") {
        if (parts.empty()) return false;
        parts.pop_back();
        continue;
      }
      parts.push_back(part);
    }
    return true;
  };
  if (!base.empty() && !add_parts(base.size() > 2 ? base.substr(2) : std::string())) return std::string();
  if (!add_parts(rest)) return std::string();
  std::string out(1, drive);
  out += ":\\";
  for (size_t i = 0; i < parts.size(); ++i) {
    if (i) out += '\\';
    out += parts[i];
  }
  return out;
}

const HostMachine::Drive* HostMachine::DriveOf(const std::string& absolute_path) const {
  if (absolute_path.size() < 3) return nullptr;
  auto it = drives_.find(os::UpperAscii(absolute_path[0]));
  return it == drives_.end() ? nullptr : &it->second;
}

std::optional<fs::path> HostMachine::ToLocal(const std::string& windows_path) const {
  std::string absolute = Absolute(windows_path);
  const Drive* drive = DriveOf(absolute);
  if (!drive) return std::nullopt;
  fs::path local = drive->root;
  bool matching = true;
  size_t start = 3;
  while (start < absolute.size()) {
    size_t end = absolute.find('\\', start);
    if (end == std::string::npos) end = absolute.size();
    std::string part = absolute.substr(start, end - start);
    start = end + 1;
    std::string chosen = part;
    if (matching) {
      std::error_code ec;
      bool found = false;
      if (fs::is_directory(local, ec)) {
        for (const auto& entry : fs::directory_iterator(local, ec)) {
          std::string name = entry.path().filename().string();
          if (name == part) {  // an exact match wins over a case-insensitive one
            chosen = name;
            found = true;
            break;
          }
          if (!found && os::EqualsIgnoringCase(name, part)) {
            chosen = name;
            found = true;
          }
        }
      }
      if (!found) matching = false;
    }
    local /= chosen;
  }
  return local;
}

std::string HostMachine::AttributeKey(const std::string& absolute_path) {
  std::string key = absolute_path;
  for (char& c : key) c = os::UpperAscii(c);
  return key;
}

uint32_t HostMachine::StoredAttributes(const std::string& absolute_path) const {
  auto it = attributes_.find(AttributeKey(absolute_path));
  return it == attributes_.end() ? kAttrArchive : it->second;
}

std::unique_ptr<File> HostMachine::Open(const std::string& path, OpenMode mode) {
  if (HasWildcards(path)) return nullptr;
  auto local = ToLocal(path);
  if (!local) return nullptr;
  std::error_code ec;
  if (fs::is_directory(*local, ec)) return nullptr;
  std::string absolute = Absolute(path);
  bool exists = fs::exists(*local, ec);
  const char* how = "rb";
  switch (mode) {
    case OpenMode::Read:
      if (!exists) return nullptr;
      how = "rb";
      break;
    case OpenMode::ReadWrite:
      if (!exists || (StoredAttributes(absolute) & kAttrReadOnly)) return nullptr;
      how = "r+b";
      break;
    case OpenMode::Create:
      if (exists && (StoredAttributes(absolute) & kAttrReadOnly)) return nullptr;
      how = "w+b";
      break;
    case OpenMode::CreateNew:
      if (exists) return nullptr;
      break;
  }
  std::FILE* f = mode == OpenMode::CreateNew ? CreateExclusively(*local)
                                             : std::fopen(local->string().c_str(), how);
  if (!f) return nullptr;
  if (mode == OpenMode::Create || mode == OpenMode::CreateNew) attributes_.erase(AttributeKey(absolute));
  return std::make_unique<HostFile>(f);
}

uint32_t HostMachine::GetAttributes(const std::string& path) {
  auto local = ToLocal(path);
  if (!local) return kInvalidAttributes;
  std::error_code ec;
  auto status = fs::status(*local, ec);
  if (ec || !fs::exists(status)) return kInvalidAttributes;
  std::string absolute = Absolute(path);
  if (fs::is_directory(status)) {
    auto it = attributes_.find(AttributeKey(absolute));
    return kAttrDirectory | (it == attributes_.end() ? 0 : (it->second & ~kAttrDirectory));
  }
  return StoredAttributes(absolute) & ~kAttrDirectory;
}

bool HostMachine::SetAttributes(const std::string& path, uint32_t attributes) {
  uint32_t current = GetAttributes(path);
  if (current == kInvalidAttributes) return false;
  uint32_t kept = attributes & (kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrArchive);
  attributes_[AttributeKey(Absolute(path))] = kept;
  return true;
}

bool HostMachine::GetDosFileTime(const std::string& path, DosDateTime* out) {
  auto local = ToLocal(path);
  if (!local) return false;
  std::error_code ec;
  if (!fs::is_regular_file(*local, ec)) return false;
  auto when = fs::last_write_time(*local, ec);
  if (ec) return false;
  auto sys = fs::file_time_type::clock::to_sys(when);
  int64_t seconds = std::chrono::duration_cast<std::chrono::seconds>(sys.time_since_epoch()).count();
  *out = DosFromUnixTime(seconds);
  return true;
}

bool HostMachine::SetDosFileTime(const std::string& path, DosDateTime when) {
  auto local = ToLocal(path);
  if (!local) return false;
  std::error_code ec;
  if (!fs::is_regular_file(*local, ec)) return false;
  std::chrono::system_clock::time_point sys{std::chrono::seconds(UnixTimeFromDos(when))};
  fs::last_write_time(*local, fs::file_time_type::clock::from_sys(sys), ec);
  return !ec;
}

bool HostMachine::CreateDirectory(const std::string& path) {
  auto local = ToLocal(path);
  if (!local) return false;
  std::error_code ec;
  if (fs::exists(*local, ec) || !fs::is_directory(local->parent_path(), ec)) return false;
  return fs::create_directory(*local, ec) && !ec;
}

bool HostMachine::RemoveDirectory(const std::string& path) {
  auto local = ToLocal(path);
  if (!local) return false;
  std::error_code ec;
  if (!fs::is_directory(*local, ec) || !fs::is_empty(*local, ec)) return false;
  if (!fs::remove(*local, ec) || ec) return false;
  attributes_.erase(AttributeKey(Absolute(path)));
  return true;
}

bool HostMachine::DeleteFile(const std::string& path) {
  auto local = ToLocal(path);
  if (!local) return false;
  std::error_code ec;
  if (!fs::is_regular_file(*local, ec)) return false;
  std::string absolute = Absolute(path);
  if (StoredAttributes(absolute) & kAttrReadOnly) return false;
  if (!fs::remove(*local, ec) || ec) return false;
  attributes_.erase(AttributeKey(absolute));
  return true;
}

bool HostMachine::MoveFile(const std::string& from, const std::string& to) {
  auto local_from = ToLocal(from);
  auto local_to = ToLocal(to);
  if (!local_from || !local_to) return false;
  std::error_code ec;
  if (!fs::exists(*local_from, ec) || fs::exists(*local_to, ec)) return false;
  if (!fs::is_directory(local_to->parent_path(), ec)) return false;
  fs::rename(*local_from, *local_to, ec);
  if (ec) {
    if (fs::is_directory(*local_from)) return false;
    ec.clear();
    fs::copy_file(*local_from, *local_to, ec);
    if (ec) return false;
    fs::remove(*local_from, ec);
  }
  std::string key_from = AttributeKey(Absolute(from));
  auto it = attributes_.find(key_from);
  if (it != attributes_.end()) {
    attributes_[AttributeKey(Absolute(to))] = it->second;
    attributes_.erase(key_from);
  }
  return true;
}

bool HostMachine::MoveFileReplacing(const std::string& from, const std::string& to) {
  std::string absolute_from = Absolute(from), absolute_to = Absolute(to);
  if (absolute_from.empty() || absolute_to.empty() || absolute_from[0] != absolute_to[0]) return false;
  auto local_from = ToLocal(from);
  auto local_to = ToLocal(to);
  if (!local_from || !local_to) return false;
  std::error_code ec;
  if (!fs::is_regular_file(*local_from, ec)) return false;
  if (fs::exists(*local_to, ec)) {
    if (!fs::is_regular_file(*local_to, ec)) return false;
    if (StoredAttributes(absolute_to) & kAttrReadOnly) return false;
  }
  if (!fs::is_directory(local_to->parent_path(), ec)) return false;
  fs::rename(*local_from, *local_to, ec);
  if (ec) return false;
  std::string key_from = AttributeKey(absolute_from);
  auto it = attributes_.find(key_from);
  uint32_t moved = it == attributes_.end() ? kAttrArchive : it->second;
  if (it != attributes_.end()) attributes_.erase(it);
  attributes_[AttributeKey(absolute_to)] = moved;
  return true;
}

std::vector<FindData> HostMachine::FindFiles(const std::string& pattern) {
  std::vector<FindData> found;
  std::string path = pattern;
  std::replace(path.begin(), path.end(), '/', '\\');
  std::string directory, mask;
  size_t cut = path.find_last_of('\\');
  if (cut != std::string::npos) {
    directory = path.substr(0, cut + 1);
    mask = path.substr(cut + 1);
  } else if (path.size() >= 2 && path[1] == ':') {
    directory = path.substr(0, 2);
    mask = path.substr(2);
  } else {
    directory = ".";
    mask = path;
  }
  if (mask.empty()) return found;
  std::string absolute_dir = Absolute(directory);
  auto local_dir = ToLocal(absolute_dir);
  std::error_code ec;
  if (absolute_dir.empty() || !local_dir || !fs::is_directory(*local_dir, ec)) return found;
  if (absolute_dir.back() != '\\') absolute_dir += '\\';

  for (const auto& entry : fs::directory_iterator(*local_dir, ec)) {
    std::string name = entry.path().filename().string();
    if (name == "." || name == ".." || !MatchesWildcard(mask, name)) continue;
    FindData data;
    data.name = name;
    data.attributes = GetAttributes(absolute_dir + name);
    std::error_code entry_ec;
    if (entry.is_regular_file(entry_ec)) {
      data.size = static_cast<uint32_t>(entry.file_size(entry_ec));
    }
    auto when = fs::last_write_time(entry.path(), entry_ec);
    if (!entry_ec) {
      auto sys = fs::file_time_type::clock::to_sys(when);
      data.time = DosFromUnixTime(
          std::chrono::duration_cast<std::chrono::seconds>(sys.time_since_epoch()).count());
    }
    found.push_back(data);
  }
  std::sort(found.begin(), found.end(), [](const FindData& a, const FindData& b) {
    return AttributeKey(a.name) < AttributeKey(b.name);
  });
  return found;
}

bool HostMachine::GetFileVersionText(const std::string& path, std::string* text) {
  auto local = ToLocal(path);
  std::error_code ec;
  if (!local || !fs::is_regular_file(*local, ec)) return false;
  uint64_t size = fs::file_size(*local, ec);
  if (ec) return false;
  std::ifstream in(*local, std::ios::binary);
  if (!in) return false;
  PeReadAt read_at = [&in](uint64_t offset, void* out, uint32_t count) {
    in.clear();
    in.seekg(static_cast<std::streamoff>(offset));
    in.read(static_cast<char*>(out), count);
    return static_cast<uint32_t>(in.gcount()) == count;
  };
  std::string found;
  if (!ReadPeVersionText(read_at, size, &found)) return false;
  *text = found;
  return true;
}

bool HostMachine::SetCurrentDirectory(const std::string& path) {
  auto local = ToLocal(path);
  std::error_code ec;
  if (!local || !fs::is_directory(*local, ec)) return false;
  current_dir_ = Absolute(path);
  return true;
}

DriveType HostMachine::GetDriveType(const std::string& root) {
  std::string absolute = Absolute(root.empty() ? std::string(".") : root);
  const Drive* drive = DriveOf(absolute);
  return drive ? drive->type : DriveType::NoRootDir;
}

bool HostMachine::GetVolumeLabel(const std::string& root, std::string* label) {
  const Drive* drive = DriveOf(Absolute(root));
  if (!drive || !drive->label) return false;
  *label = *drive->label;
  return true;
}

bool HostMachine::GetDriveFreeSpace(const std::string& root, uint64_t* free_bytes) {
  const Drive* drive = DriveOf(Absolute(root.empty() ? std::string(".") : root));
  if (!drive || !drive->free_bytes) return false;
  *free_bytes = *drive->free_bytes;
  return true;
}

bool HostMachine::GetTempPath(std::string* path) {
  if (!temp_path_) return false;
  *path = *temp_path_;
  if (path->empty() || path->back() != '\\') *path += '\\';
  return true;
}

void HostMachine::SetEnvironmentVariable(const std::string& name, std::optional<std::string> value) {
  if (value) {
    environment_[UpperCopy(name)] = std::move(*value);
  } else {
    environment_.erase(UpperCopy(name));
  }
}

bool HostMachine::GetEnvironmentVariable(const std::string& name, std::string* value) {
  auto found = environment_.find(UpperCopy(name));
  if (found == environment_.end() || found->second.empty()) return false;
  *value = found->second;
  return true;
}

bool HostMachine::StartProcess(const std::string& command_line, int show, bool wait,
                               uint32_t* exit_code) {
  StartedProcess started{command_line, show, wait, std::string()};
  started_.push_back(started);
  uint32_t code = 0;
  bool ok = process_handler_ ? process_handler_(started, &code) : true;
  if (ok && wait && exit_code) *exit_code = code;
  return ok;
}

bool HostMachine::StartProgram(const std::string& application, const std::string& command_line,
                               int show) {
  StartedProcess started{command_line, show, false, application};
  started_.push_back(started);
  uint32_t ignored = 0;
  return process_handler_ ? process_handler_(started, &ignored) : true;
}

int32_t HostMachine::CallRegisterServer(const std::string& path) {
  const std::string absolute = Absolute(path);
  const uint32_t attributes = GetAttributes(absolute);
  if (absolute.empty() || attributes == kInvalidAttributes || (attributes & kAttrDirectory)) {
    return kNotRegistrable;
  }
  for (const auto& [failing, result] : register_results_) {
    if (os::EqualsIgnoringCase(failing, absolute)) return result;
  }
  registered_.push_back(absolute);
  return 0;
}

bool HostMachine::RequestRestart(bool need_shutdown_privilege) {
  restarts_.push_back(need_shutdown_privilege);
  return true;
}

}  // namespace install::os
