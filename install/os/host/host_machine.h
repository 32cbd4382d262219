// A Windows machine modelled on directories of the local file system.
//
// Drive letters map to local directories, each with a drive type and an
// optional volume label. Names are looked up without regard to ASCII letter
// case, as on FAT; a new name is created with the spelling it was given.
// Attributes other than "directory" are kept in memory (the local file system
// has no read-only, hidden, system or archive bits of its own); a read-only
// file cannot be opened for writing or deleted, as on Windows. File times are
// the local files' modification times, read and written as DOS date and time
// without conversion to local time.
//
// Directory searches return names in the order of their upper-case spelling
// (a FAT directory lists in creation order; sorting makes the model's order
// deterministic whatever the local file system does). Version texts are read
// out of the PE file itself. Free space is a number set per drive (100 MB
// unless set), not the local disk's. Beeps are recorded.
//
// Processes are recorded; a test may install a handler that acts them out.
#pragma once

#include <filesystem>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "install/os/machine.h"

namespace install::os {

class HostMachine : public Machine {
 public:
  struct Drive {
    std::filesystem::path root;
    DriveType type = DriveType::Fixed;
    std::optional<std::string> label;
    std::optional<uint64_t> free_bytes = kDefaultFreeBytes;  // nullopt: the query fails
  };

  static constexpr uint64_t kDefaultFreeBytes = 104857600;

  struct StartedProcess {
    std::string command_line;
    int show = 0;
    bool wait = false;
    std::string application;  // StartProgram's program file; empty for StartProcess
  };

  // Acts out a started process. Returns false when the process "could not be
  // started"; sets *exit_code for waited processes.
  using ProcessHandler = std::function<bool(const StartedProcess&, uint32_t* exit_code)>;

  HostMachine();

  // Maps `letter` (A..Z, any case) to a local directory, which must exist.
  void MapDrive(char letter, const std::filesystem::path& root, DriveType type,
                std::optional<std::string> label = std::nullopt);
  void SetDriveLabel(char letter, std::optional<std::string> label);
  void SetDriveType(char letter, DriveType type);
  void SetDriveFreeSpace(char letter, std::optional<uint64_t> free_bytes);
  // Unmapped letters answer NoRootDir and open nothing.
  void UnmapDrive(char letter);

  void SetTempPath(std::optional<std::string> path) { temp_path_ = std::move(path); }
  void SetWindowsDirectory(std::string path) { windows_dir_ = std::move(path); }
  void SetSystemDirectory(std::string path) { system_dir_ = std::move(path); }
  void SetModulePath(std::string path) { module_path_ = std::move(path); }
  void SetProcessHandler(ProcessHandler handler) { process_handler_ = std::move(handler); }
  // Sets (or, with nullopt, removes) an environment variable; names compare
  // without regard to letter case. The model starts with an empty
  // environment.
  void SetEnvironmentVariable(const std::string& name, std::optional<std::string> value);

  const std::vector<StartedProcess>& StartedProcesses() const { return started_; }
  const std::vector<uint32_t>& Beeps() const { return beeps_; }

  // The local path a Windows path names (existing components matched without
  // regard to case; missing ones as given). nullopt when the drive is not
  // mapped or the path climbs above the drive's root.
  std::optional<std::filesystem::path> ToLocal(const std::string& windows_path) const;
  // The absolute Windows form of a path: drive letter upper case, "\"
  // separators, "." and ".." resolved. Empty when it cannot be made absolute.
  std::string Absolute(const std::string& windows_path) const;

  // Machine
  std::unique_ptr<File> Open(const std::string& path, OpenMode mode) override;
  uint32_t GetAttributes(const std::string& path) override;
  bool SetAttributes(const std::string& path, uint32_t attributes) override;
  bool GetDosFileTime(const std::string& path, DosDateTime* out) override;
  bool SetDosFileTime(const std::string& path, DosDateTime when) override;
  bool CreateDirectory(const std::string& path) override;
  bool RemoveDirectory(const std::string& path) override;
  bool DeleteFile(const std::string& path) override;
  bool MoveFile(const std::string& from, const std::string& to) override;
  std::string GetCurrentDirectory() override { return current_dir_; }
  bool SetCurrentDirectory(const std::string& path) override;
  bool MoveFileReplacing(const std::string& from, const std::string& to) override;
  std::vector<FindData> FindFiles(const std::string& pattern) override;
  bool GetFileVersionText(const std::string& path, std::string* text) override;
  DriveType GetDriveType(const std::string& root) override;
  bool GetVolumeLabel(const std::string& root, std::string* label) override;
  bool GetDriveFreeSpace(const std::string& root, uint64_t* free_bytes) override;
  bool GetTempPath(std::string* path) override;
  std::string GetWindowsDirectory() override { return windows_dir_; }
  std::string GetSystemDirectory() override { return system_dir_; }
  std::string GetModulePath() override { return module_path_; }
  bool GetEnvironmentVariable(const std::string& name, std::string* value) override;
  void MessageBeep(uint32_t type) override { beeps_.push_back(type); }
  bool StartProcess(const std::string& command_line, int show, bool wait,
                    uint32_t* exit_code) override;
  bool StartProgram(const std::string& application, const std::string& command_line,
                    int show) override;
  // A server registers when its file exists, unless it is named failing.
  int32_t CallRegisterServer(const std::string& path) override;
  bool RequestRestart(bool need_shutdown_privilege) override;

  // Servers whose registration fails with `result` (paths compared without case).
  void SetRegisterResult(const std::string& path, int32_t result) { register_results_[Absolute(path)] = result; }
  const std::vector<std::string>& RegisteredServers() const { return registered_; }
  // Restart requests received; whether the privilege was asked for each.
  const std::vector<bool>& RestartRequests() const { return restarts_; }

 private:
  const Drive* DriveOf(const std::string& absolute_path) const;
  // Key for the attribute table: the absolute Windows path in upper case.
  static std::string AttributeKey(const std::string& absolute_path);
  uint32_t StoredAttributes(const std::string& absolute_path) const;

  std::map<char, Drive> drives_;
  std::map<std::string, uint32_t> attributes_;
  std::string current_dir_ = "C:\\";
  std::optional<std::string> temp_path_;
  std::string windows_dir_ = "C:\\WINDOWS";
  std::string system_dir_ = "C:\\WINDOWS\\SYSTEM";
  std::string module_path_ = "C:\\INSTALL.EXE";
  ProcessHandler process_handler_;
  std::vector<StartedProcess> started_;
  std::vector<uint32_t> beeps_;
  std::map<std::string, int32_t> register_results_;
  std::map<std::string, std::string> environment_;  // by upper-case name
  std::vector<std::string> registered_;
  std::vector<bool> restarts_;
};

// DOS date and time <-> seconds since 1970 (no time zone: the value is taken
// as it stands). Dates before 1980 clamp to 1980-01-01 00:00:00.
DosDateTime DosFromUnixTime(int64_t seconds);
int64_t UnixTimeFromDos(DosDateTime when);

}  // namespace install::os
