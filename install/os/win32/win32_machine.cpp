#include "install/os/win32/win32_machine.h"

#include "install/os/win32/file_replace.h"
#include "install/os/win32/windows_api.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace install::os {
namespace {

// One owned file handle.
class Win32File : public File {
 public:
  explicit Win32File(HANDLE h) : handle_(h) {}
  ~Win32File() override {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }

  int32_t Read(void* buffer, uint32_t count) override {
    DWORD got = 0;
    if (!ReadFile(handle_, buffer, count, &got, nullptr)) return -1;
    return static_cast<int32_t>(got);
  }
  int32_t Write(const void* buffer, uint32_t count) override {
    DWORD put = 0;
    if (!WriteFile(handle_, buffer, count, &put, nullptr)) return -1;
    return static_cast<int32_t>(put);
  }
  // SetFilePointer with its high word: every target system has it.
  int64_t Seek(int64_t offset, int origin) override {
    static const DWORD kMethods[] = {FILE_BEGIN, FILE_CURRENT, FILE_END};
    if (origin < 0 || origin > 2) return -1;
    const uint64_t distance = static_cast<uint64_t>(offset);
    LONG high = static_cast<LONG>(distance >> 32);
    SetLastError(NO_ERROR);
    DWORD low = SetFilePointer(handle_, static_cast<LONG>(distance & 0xFFFFFFFFu), &high,
                               kMethods[origin]);
    if (low == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR) return -1;
    return static_cast<int64_t>((uint64_t(static_cast<DWORD>(high)) << 32) | low);
  }
  bool Flush() override { return FlushFileBuffers(handle_) != 0; }
  bool Close() override {
    if (handle_ == INVALID_HANDLE_VALUE) return false;
    const bool ok = CloseHandle(handle_) != 0;
    handle_ = INVALID_HANDLE_VALUE;
    return ok;
  }
  bool Truncate() override { return SetEndOfFile(handle_) != 0; }

 private:
  HANDLE handle_;
};

std::string DriveRoot(const std::string& path) {
  if (path.size() >= 2 && path[1] == ':') return path.substr(0, 2) + "\\";
  char current[MAX_PATH + 1];
  DWORD n = ::GetCurrentDirectoryA(sizeof current, current);
  if (n >= 2 && n < sizeof current && current[1] == ':') return std::string(current, 2) + "\\";
  return path;
}

}  // namespace

std::unique_ptr<File> Win32Machine::Open(const std::string& path, OpenMode mode) {
  if (path.find_first_of("*?") != std::string::npos) return nullptr;
  DWORD access = GENERIC_READ, share = FILE_SHARE_READ, disposition = OPEN_EXISTING;
  if (mode == OpenMode::ReadWrite) access |= GENERIC_WRITE;
  if (mode == OpenMode::Create || mode == OpenMode::CreateNew) {
    access |= GENERIC_WRITE;
    disposition = mode == OpenMode::Create ? CREATE_ALWAYS : CREATE_NEW;
  }
  HANDLE h = CreateFileA(path.c_str(), access, share, nullptr, disposition,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return nullptr;
  return std::make_unique<Win32File>(h);
}

uint32_t Win32Machine::GetAttributes(const std::string& path) {
  DWORD a = GetFileAttributesA(path.c_str());
  return a == INVALID_FILE_ATTRIBUTES ? kInvalidAttributes : static_cast<uint32_t>(a);
}

bool Win32Machine::SetAttributes(const std::string& path, uint32_t attributes) {
  return SetFileAttributesA(path.c_str(), attributes) != 0;
}

bool Win32Machine::GetDosFileTime(const std::string& path, DosDateTime* out) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  FILETIME written;
  WORD date = 0, time = 0;
  bool ok = GetFileTime(h, nullptr, nullptr, &written) && FileTimeToDosDateTime(&written, &date, &time);
  CloseHandle(h);
  if (!ok) return false;
  out->date = date;
  out->time = time;
  return true;
}

bool Win32Machine::SetDosFileTime(const std::string& path, DosDateTime when) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                         FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  FILETIME written;
  bool ok = DosDateTimeToFileTime(static_cast<WORD>(when.date), static_cast<WORD>(when.time), &written) &&
            SetFileTime(h, nullptr, nullptr, &written);
  CloseHandle(h);
  return ok;
}

bool Win32Machine::CreateDirectory(const std::string& path) {
  return ::CreateDirectoryA(path.c_str(), nullptr) != 0;
}

bool Win32Machine::RemoveDirectory(const std::string& path) {
  return ::RemoveDirectoryA(path.c_str()) != 0;
}

bool Win32Machine::DeleteFile(const std::string& path) { return ::DeleteFileA(path.c_str()) != 0; }

bool Win32Machine::MoveFile(const std::string& from, const std::string& to) {
  return ::MoveFileA(from.c_str(), to.c_str()) != 0;
}

bool Win32Machine::MoveFileReplacing(const std::string& from, const std::string& to) {
  return MoveFileReplacingWith(ReplaceMethodOfThisSystem(), from, to);
}

std::vector<FindData> Win32Machine::FindFiles(const std::string& pattern) {
  std::vector<FindData> found;
  WIN32_FIND_DATAA data;
  HANDLE search = ::FindFirstFileA(pattern.c_str(), &data);
  if (search == INVALID_HANDLE_VALUE) return found;
  do {
    std::string name = data.cFileName;
    if (name == "." || name == "..") continue;
    FindData match;
    match.name = name;
    match.attributes = data.dwFileAttributes;
    match.size = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? 0 : data.nFileSizeLow;
    WORD date = 0, time = 0;
    if (FileTimeToDosDateTime(&data.ftLastWriteTime, &date, &time)) {
      match.time.date = date;
      match.time.time = time;
    }
    found.push_back(match);
  } while (::FindNextFileA(search, &data));
  ::FindClose(search);
  return found;
}

bool Win32Machine::GetFileVersionText(const std::string& path, std::string* text) {
  DWORD ignored = 0;
  DWORD size = ::GetFileVersionInfoSizeA(path.c_str(), &ignored);
  if (size == 0) return false;
  std::vector<char> info(size);
  if (!::GetFileVersionInfoA(path.c_str(), 0, size, info.data())) return false;
  static const char* const kQueries[] = {"\\StringFileInfo\\040904E4\\FileVersion",
                                         "\\StringFileInfo\\040904B0\\FileVersion"};
  for (const char* query : kQueries) {
    void* value = nullptr;
    UINT length = 0;
    if (::VerQueryValueA(info.data(), query, &value, &length) && value) {
      const char* chars = static_cast<const char*>(value);
      size_t n = strnlen(chars, length ? length : 1);
      *text = std::string(chars, std::min<size_t>(n, 99));
      return true;
    }
  }
  return false;
}

std::string Win32Machine::GetCurrentDirectory() {
  char buffer[MAX_PATH + 1];
  DWORD n = ::GetCurrentDirectoryA(sizeof buffer, buffer);
  return (n == 0 || n >= sizeof buffer) ? std::string() : std::string(buffer, n);
}

bool Win32Machine::SetCurrentDirectory(const std::string& path) {
  return ::SetCurrentDirectoryA(path.c_str()) != 0;
}

DriveType Win32Machine::GetDriveType(const std::string& root) {
  return static_cast<DriveType>(::GetDriveTypeA(DriveRoot(root).c_str()));
}

bool Win32Machine::GetVolumeLabel(const std::string& root, std::string* label) {
  // Asked of the drive root: Wine answers for "A:\" but not for "A:\*.*".
  char name[MAX_PATH + 1] = "";
  if (!GetVolumeInformationA(DriveRoot(root).c_str(), name, sizeof name, nullptr, nullptr,
                             nullptr, nullptr, 0)) {
    return false;
  }
  *label = name;
  return true;
}

bool Win32Machine::GetDriveFreeSpace(const std::string& root, uint64_t* free_bytes) {
  DWORD sectors_per_cluster = 0, bytes_per_sector = 0, free_clusters = 0, clusters = 0;
  if (!::GetDiskFreeSpaceA(DriveRoot(root).c_str(), &sectors_per_cluster, &bytes_per_sector,
                           &free_clusters, &clusters)) {
    return false;
  }
  *free_bytes = uint64_t(sectors_per_cluster) * bytes_per_sector * free_clusters;
  return true;
}

bool Win32Machine::GetTempPath(std::string* path) {
  char buffer[1000];
  DWORD n = ::GetTempPathA(998, buffer);
  if (n == 0 || n >= 998) return false;
  *path = std::string(buffer, n);
  return true;
}

std::string Win32Machine::GetWindowsDirectory() {
  char buffer[1000];
  UINT n = ::GetWindowsDirectoryA(buffer, 998);
  return (n == 0 || n >= 998) ? std::string() : std::string(buffer, n);
}

std::string Win32Machine::GetSystemDirectory() {
  char buffer[1000];
  UINT n = ::GetSystemDirectoryA(buffer, 998);
  return (n == 0 || n >= 998) ? std::string() : std::string(buffer, n);
}

std::string Win32Machine::GetModulePath() {
  char buffer[1000];
  DWORD n = GetModuleFileNameA(nullptr, buffer, 998);
  return (n == 0 || n >= 998) ? std::string() : std::string(buffer, n);
}

// The value may be longer than a first guess: the call then reports the
// size it needs, terminator included.
bool Win32Machine::GetEnvironmentVariable(const std::string& name, std::string* value) {
  std::vector<char> buffer(256);
  for (int attempt = 0; attempt < 3; ++attempt) {
    DWORD n = ::GetEnvironmentVariableA(name.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return false;
    if (n < buffer.size()) {
      *value = std::string(buffer.data(), n);
      return true;
    }
    buffer.resize(n + 1);
  }
  return false;
}

void Win32Machine::MessageBeep(uint32_t type) { ::MessageBeep(type); }

// Creates a process whose first window takes the show state `show`;
// `application` null: the program is the command line's first token.
static bool CreateShownProcess(const char* application, const std::string& command_line, int show,
                               PROCESS_INFORMATION* info) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(show);
  std::vector<char> line(command_line.begin(), command_line.end());
  line.push_back('\0');
  return CreateProcessA(application, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, info) != 0;
}

bool Win32Machine::StartProcess(const std::string& command_line, int show, bool wait,
                                uint32_t* exit_code) {
  PROCESS_INFORMATION info{};
  if (!CreateShownProcess(nullptr, command_line, show, &info)) return false;
  if (wait) {
    WaitForSingleObject(info.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(info.hProcess, &code);
    if (exit_code) *exit_code = code;
  }
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  return true;
}

bool Win32Machine::StartProgram(const std::string& application, const std::string& command_line,
                                int show) {
  PROCESS_INFORMATION info{};
  if (!CreateShownProcess(application.c_str(), command_line, show, &info)) return false;
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  return true;
}

int32_t Win32Machine::CallRegisterServer(const std::string& path) {
  HMODULE library = LoadLibraryA(path.c_str());
  if (!library) return kNotRegistrable;
  using RegisterFunction = LONG(WINAPI*)();
  auto entry = reinterpret_cast<RegisterFunction>(
      reinterpret_cast<void (*)()>(GetProcAddress(library, "DllRegisterServer")));
  int32_t result = entry ? static_cast<int32_t>(entry()) : kNotRegistrable;
  FreeLibrary(library);
  return result;
}

// The privilege calls are looked up at run time: only Windows NT needs them.
static bool EnableShutdownPrivilege() {
  HMODULE advapi = GetModuleHandleA("advapi32.dll");
  if (!advapi) advapi = LoadLibraryA("advapi32.dll");
  if (!advapi) return false;
  using OpenTokenFunction = BOOL(WINAPI*)(HANDLE, DWORD, PHANDLE);
  using LookupFunction = BOOL(WINAPI*)(LPCSTR, LPCSTR, PLUID);
  using AdjustFunction = BOOL(WINAPI*)(HANDLE, BOOL, PTOKEN_PRIVILEGES, DWORD, PTOKEN_PRIVILEGES, PDWORD);
  auto open_token = reinterpret_cast<OpenTokenFunction>(
      reinterpret_cast<void (*)()>(GetProcAddress(advapi, "OpenProcessToken")));
  auto lookup = reinterpret_cast<LookupFunction>(
      reinterpret_cast<void (*)()>(GetProcAddress(advapi, "LookupPrivilegeValueA")));
  auto adjust = reinterpret_cast<AdjustFunction>(
      reinterpret_cast<void (*)()>(GetProcAddress(advapi, "AdjustTokenPrivileges")));
  if (!open_token || !lookup || !adjust) return false;
  HANDLE token = nullptr;
  if (!open_token(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) return false;
  TOKEN_PRIVILEGES privileges{};
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  const bool enabled = lookup(nullptr, "SeShutdownPrivilege", &privileges.Privileges[0].Luid) &&
                       adjust(token, FALSE, &privileges, 0, nullptr, nullptr) &&
                       GetLastError() == ERROR_SUCCESS;
  CloseHandle(token);
  return enabled;
}

bool Win32Machine::RequestRestart(bool need_shutdown_privilege) {
  if (need_shutdown_privilege && !EnableShutdownPrivilege()) return false;
  ExitWindowsEx(EWX_REBOOT, 0);
  return true;
}

}  // namespace install::os
