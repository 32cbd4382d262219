// The installer's machine seam over the real Win32 calls.
#pragma once

#include "install/os/machine.h"

namespace install::os {

class Win32Machine : public Machine {
 public:
  std::unique_ptr<File> Open(const std::string& path, OpenMode mode) override;
  uint32_t GetAttributes(const std::string& path) override;
  bool SetAttributes(const std::string& path, uint32_t attributes) override;
  bool GetDosFileTime(const std::string& path, DosDateTime* out) override;
  bool SetDosFileTime(const std::string& path, DosDateTime when) override;
  bool CreateDirectory(const std::string& path) override;
  bool RemoveDirectory(const std::string& path) override;
  bool DeleteFile(const std::string& path) override;
  bool MoveFile(const std::string& from, const std::string& to) override;
  std::string GetCurrentDirectory() override;
  bool SetCurrentDirectory(const std::string& path) override;
  bool MoveFileReplacing(const std::string& from, const std::string& to) override;
  std::vector<FindData> FindFiles(const std::string& pattern) override;
  bool GetFileVersionText(const std::string& path, std::string* text) override;
  DriveType GetDriveType(const std::string& root) override;
  bool GetVolumeLabel(const std::string& root, std::string* label) override;
  bool GetDriveFreeSpace(const std::string& root, uint64_t* free_bytes) override;
  bool GetTempPath(std::string* path) override;
  std::string GetWindowsDirectory() override;
  std::string GetSystemDirectory() override;
  std::string GetModulePath() override;
  bool GetEnvironmentVariable(const std::string& name, std::string* value) override;
  void MessageBeep(uint32_t type) override;
  bool StartProcess(const std::string& command_line, int show, bool wait,
                    uint32_t* exit_code) override;
  bool StartProgram(const std::string& application, const std::string& command_line,
                    int show) override;
  int32_t CallRegisterServer(const std::string& path) override;
  bool RequestRestart(bool need_shutdown_privilege) override;
};

}  // namespace install::os
