#include "tamblor/os/win32/win32_machine.h"

#include <windows.h>
#include <process.h>

#include <cstdlib>

#include "tamblor/os/win32/handles.h"

namespace tamblor::os::win32 {
namespace {

// The drive root ("E:\") of a path, or the path itself when it has no letter.
std::string RootOf(const std::string& path) {
  if (path.size() >= 2 && path[1] == ':') return path.substr(0, 2) + "\\";
  return path;
}

using GetDiskFreeSpaceExCall = BOOL(WINAPI*)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER,
                                             PULARGE_INTEGER);

// GetDiskFreeSpaceExA when this system exports it (Windows 95 OSR2, NT 4.0
// and later). Looked up rather than imported so that the program loads on
// the first Windows 95 and on NT 3.51.
GetDiskFreeSpaceExCall FindGetDiskFreeSpaceEx() {
  HMODULE kernel = GetModuleHandleA("KERNEL32.DLL");
  FARPROC proc = kernel ? GetProcAddress(kernel, "GetDiskFreeSpaceExA") : nullptr;
  return reinterpret_cast<GetDiskFreeSpaceExCall>(reinterpret_cast<void (*)()>(proc));
}

}  // namespace

int64_t FreeBytesFromClusters(const std::string& root) {
  DWORD sectors_per_cluster = 0, bytes_per_sector = 0, free_clusters = 0, clusters = 0;
  if (!GetDiskFreeSpaceA(RootOf(root).c_str(), &sectors_per_cluster, &bytes_per_sector,
                         &free_clusters, &clusters)) {
    return -1;
  }
  return static_cast<int64_t>(uint64_t(sectors_per_cluster) * bytes_per_sector * free_clusters);
}

std::FILE* Win32Machine::OpenFile(const std::string& path, const char* mode) {
  return std::fopen(path.c_str(), mode);
}

uint32_t Win32Machine::FindAttributes(const std::string& path) {
  if (HasWildcard(path)) return kInvalidAttributes;  // the find would match other names
  WIN32_FIND_DATAA data;
  FindHandle find(path.c_str(), &data);
  return find.valid() ? static_cast<uint32_t>(data.dwFileAttributes) : static_cast<uint32_t>(kInvalidAttributes);
}

DriveType Win32Machine::DriveTypeOf(const std::string& root) {
  return static_cast<DriveType>(GetDriveTypeA(RootOf(root).c_str()));
}

int64_t Win32Machine::FreeBytes(const std::string& root) {
  GetDiskFreeSpaceExCall get_disk_free_space_ex = FindGetDiskFreeSpaceEx();
  if (!get_disk_free_space_ex) return FreeBytesFromClusters(root);
  ULARGE_INTEGER available;
  if (!get_disk_free_space_ex(RootOf(root).c_str(), &available, nullptr, nullptr)) return -1;
  return static_cast<int64_t>(available.QuadPart);
}

std::string Win32Machine::CurrentDirectory() {
  char buffer[MAX_PATH] = {};
  DWORD length = GetCurrentDirectoryA(sizeof buffer, buffer);
  return length > 0 && length < sizeof buffer ? std::string(buffer, length) : std::string();
}

bool Win32Machine::ChangeDirectory(const std::string& path) {
  return SetCurrentDirectoryA(path.c_str()) != FALSE;
}

bool Win32Machine::MakeDirectory(const std::string& path) {
  return !HasWildcard(path) && CreateDirectoryA(path.c_str(), nullptr) != FALSE;
}

bool Win32Machine::RemoveFile(const std::string& path) {
  return !HasWildcard(path) && ::DeleteFileA(path.c_str()) != FALSE;
}

bool Win32Machine::RemoveEmptyDirectory(const std::string& path) {
  return !HasWildcard(path) && ::RemoveDirectoryA(path.c_str()) != FALSE;
}

bool Win32Machine::RenameFile(const std::string& from, const std::string& to) {
  return !HasWildcard(from) && !HasWildcard(to) && ::MoveFileA(from.c_str(), to.c_str()) != FALSE;
}

std::string Win32Machine::GetModulePath() {
  char buffer[MAX_PATH] = {};
  DWORD length = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
  return length < sizeof buffer ? std::string(buffer, length) : std::string();
}

int Win32Machine::RunCommand(const std::string& command) { return std::system(command.c_str()); }

bool Win32Machine::StartProcess(const std::string& program, const std::vector<std::string>& arguments) {
  std::vector<const char*> argv;
  for (const std::string& word : arguments) argv.push_back(word.c_str());
  if (argv.empty()) argv.push_back(program.c_str());
  argv.push_back(nullptr);
  return _spawnv(_P_NOWAIT, program.c_str(), argv.data()) != -1;
}

LocalTime Win32Machine::ToLocalTime(std::time_t when) {
  std::tm* parts = std::localtime(&when);
  if (!parts) return {};
  return LocalTime{parts->tm_year + 1900, parts->tm_mon + 1, parts->tm_mday,
                   parts->tm_hour, parts->tm_min, parts->tm_sec};
}

std::string Win32Machine::OemToAnsiText(const std::string& text) {
  std::string out = text;
  if (!out.empty()) OemToCharBuffA(text.data(), out.data(), static_cast<DWORD>(out.size()));
  return out;
}

std::string Win32Machine::AnsiToOemText(const std::string& text) {
  std::string out = text;
  if (!out.empty()) CharToOemBuffA(text.data(), out.data(), static_cast<DWORD>(out.size()));
  return out;
}

}  // namespace tamblor::os::win32
