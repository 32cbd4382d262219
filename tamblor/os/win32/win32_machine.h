// The browser's machine services through the real Win32 and C library calls.
#pragma once

#include "tamblor/os/machine.h"

namespace tamblor::os::win32 {

class Win32Machine : public Machine {
 public:
  std::FILE* OpenFile(const std::string& path, const char* mode) override;
  uint32_t FindAttributes(const std::string& path) override;
  DriveType DriveTypeOf(const std::string& root) override;
  int64_t FreeBytes(const std::string& root) override;
  std::string CurrentDirectory() override;
  bool ChangeDirectory(const std::string& path) override;
  bool MakeDirectory(const std::string& path) override;
  bool RemoveFile(const std::string& path) override;
  bool RemoveEmptyDirectory(const std::string& path) override;
  bool RenameFile(const std::string& from, const std::string& to) override;
  std::string GetModulePath() override;
  int RunCommand(const std::string& command) override;
  bool StartProcess(const std::string& program, const std::vector<std::string>& arguments) override;
  LocalTime ToLocalTime(std::time_t when) override;
  std::string OemToAnsiText(const std::string& text) override;
  std::string AnsiToOemText(const std::string& text) override;
};

// Free bytes on a drive from its cluster counts (GetDiskFreeSpaceA), -1 when
// the drive cannot be read. What FreeBytes falls back to on a system without
// GetDiskFreeSpaceExA (the first Windows 95); Windows 95 caps it at 2 GB.
int64_t FreeBytesFromClusters(const std::string& root);

}  // namespace tamblor::os::win32
