// A Windows machine modelled over folders of the local file system, for the
// native tests: drive letters map to folders (each with a drive type and free
// space), names are looked up without regard to letter case, commands and
// started processes are recorded instead of run.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "tamblor/os/machine.h"

namespace tamblor::os::host {

class HostMachine : public Machine {
 public:
  HostMachine();

  // Makes drive `letter` show the folder `folder` (a local path).
  void MapDrive(char letter, const std::string& folder, DriveType type = DriveType::Fixed,
                int64_t free_bytes = 100'000'000);
  void SetModulePath(const std::string& path) { module_path_ = path; }
  // The result RunCommand gives.
  void SetCommandResult(int result) { command_result_ = result; }
  // Stands in for the command interpreter: called with each command (after
  // it is recorded) in the current directory; its result is RunCommand's.
  void SetCommandRunner(std::function<int(const std::string& command)> runner) { runner_ = std::move(runner); }

  // The local path a Windows path stands for; each existing component is
  // matched without regard to case. Empty when the drive is not mapped.
  std::string ToHostPath(const std::string& windows_path) const;

  const std::vector<std::string>& commands() const { return commands_; }
  const std::vector<std::vector<std::string>>& started() const { return started_; }

  std::FILE* OpenFile(const std::string& path, const char* mode) override;
  uint32_t FindAttributes(const std::string& path) override;
  DriveType DriveTypeOf(const std::string& root) override;
  int64_t FreeBytes(const std::string& root) override;
  std::string CurrentDirectory() override { return current_directory_; }
  bool ChangeDirectory(const std::string& path) override;
  bool MakeDirectory(const std::string& path) override;
  bool RemoveFile(const std::string& path) override;
  bool RemoveEmptyDirectory(const std::string& path) override;
  bool RenameFile(const std::string& from, const std::string& to) override;
  std::string GetModulePath() override { return module_path_; }
  int RunCommand(const std::string& command) override;
  bool StartProcess(const std::string& program, const std::vector<std::string>& arguments) override;
  LocalTime ToLocalTime(std::time_t when) override;
  std::string OemToAnsiText(const std::string& text) override;
  std::string AnsiToOemText(const std::string& text) override;

 private:
  struct Drive {
    std::string folder;  // empty: not mapped
    DriveType type = DriveType::NoRootDir;
    int64_t free_bytes = 0;
  };
  const Drive* DriveOf(const std::string& windows_path) const;
  std::string Absolute(const std::string& windows_path) const;

  std::array<Drive, 26> drives_;
  std::string current_directory_ = "C:\\";
  std::string module_path_ = "C:\\TAMBLOR.EXE";
  int command_result_ = 0;
  std::function<int(const std::string&)> runner_;
  std::vector<std::string> commands_;
  std::vector<std::vector<std::string>> started_;
};

}  // namespace tamblor::os::host
