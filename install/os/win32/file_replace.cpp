#include "install/os/win32/file_replace.h"

#include "install/os/win32/windows_api.h"

#include <cstdio>

namespace install::os {
namespace {

using MoveFileExCall = BOOL(WINAPI*)(LPCSTR, LPCSTR, DWORD);

// MoveFileExA when this system exports it. Looked up rather than imported so
// that the program loads on every system.
MoveFileExCall FindMoveFileEx() {
  HMODULE kernel = ::GetModuleHandleA("KERNEL32.DLL");
  FARPROC proc = kernel ? ::GetProcAddress(kernel, "MoveFileExA") : nullptr;
  return reinterpret_cast<MoveFileExCall>(reinterpret_cast<void (*)()>(proc));
}

bool Exists(DWORD attributes) { return attributes != INVALID_FILE_ATTRIBUTES; }

// A name in the directory of `path` that nothing has yet; empty when all are taken.
std::string UnusedNameBeside(const std::string& path) {
  const std::string directory = path.substr(0, path.find_last_of("\\/:") + 1);
  for (int n = 0; n < 10000; ++n) {
    char name[16];
    std::snprintf(name, sizeof name, "~RPL%04d.TMP", n);
    if (!Exists(::GetFileAttributesA((directory + name).c_str()))) return directory + name;
  }
  return "";
}

// Refuses what Windows NT's MoveFileExA refuses as a target, a directory or a
// read-only file, the same way for both methods (Wine's MoveFileExA replaces a
// read-only file).
bool RefuseProtectedTarget(const std::string& to) {
  const DWORD attributes = ::GetFileAttributesA(to.c_str());
  if (!Exists(attributes) ||
      (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) == 0) {
    return false;
  }
  ::SetLastError(ERROR_ACCESS_DENIED);
  return true;
}

}  // namespace

ReplaceMethod ReplaceMethodFor(uint32_t platform_version, bool has_move_file_ex) {
  const bool windows_95_family = (platform_version & 0x80000000u) != 0;
  return has_move_file_ex && !windows_95_family ? ReplaceMethod::kMoveFileEx
                                                : ReplaceMethod::kRenaming;
}

ReplaceMethod ReplaceMethodOfThisSystem() {
  return ReplaceMethodFor(static_cast<uint32_t>(::GetVersion()), FindMoveFileEx() != nullptr);
}

bool MoveFileReplacingWith(ReplaceMethod method, const std::string& from, const std::string& to) {
  if (RefuseProtectedTarget(to)) return false;
  if (method == ReplaceMethod::kMoveFileEx) {
    if (MoveFileExCall move_file_ex = FindMoveFileEx()) {
      if (move_file_ex(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
      if (::GetLastError() != ERROR_CALL_NOT_IMPLEMENTED) return false;
    }
  }
  return ReplaceByRenaming(from, to);
}

bool ReplaceByRenaming(const std::string& from, const std::string& to) {
  if (RefuseProtectedTarget(to)) return false;
  if (!Exists(::GetFileAttributesA(to.c_str()))) return ::MoveFileA(from.c_str(), to.c_str()) != 0;
  const std::string aside = UnusedNameBeside(to);
  if (aside.empty()) {
    ::SetLastError(ERROR_FILE_EXISTS);
    return false;
  }
  if (!::MoveFileA(to.c_str(), aside.c_str())) return false;
  if (!::MoveFileA(from.c_str(), to.c_str())) {
    const DWORD error = ::GetLastError();
    ::MoveFileA(aside.c_str(), to.c_str());
    ::SetLastError(error);
    return false;
  }
  ::DeleteFileA(aside.c_str());
  return true;
}

}  // namespace install::os
