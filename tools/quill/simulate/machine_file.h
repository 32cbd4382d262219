// The MACHINE file of `quill simulate`: one fact about the modelled Windows
// machine per line ("#" comments and blank lines ignored, folders relative to
// the file). See README.md for the format.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "install/os/machine.h"

namespace quill::simulate {

struct DriveFact {
  char letter = 'C';
  install::os::DriveType type = install::os::DriveType::Fixed;
  std::optional<std::string> label;
  std::optional<uint64_t> free_bytes;
  std::optional<std::filesystem::path> folder;  // none: no disk in the drive
  std::string disk;                             // a named disk in the drive at the start
};

struct DiskFact {
  std::string name;
  std::optional<std::string> label;
  std::optional<uint64_t> free_bytes;
  std::filesystem::path folder;
};

struct PathFact {
  std::string path;  // X:\... or NAME:\...
  std::string value;
  int line = 0;
};

struct DisplayFact {
  int width = 0;
  int height = 0;
  int color_bits = 0;  // colours = 2 to this power
};

struct MachineFile {
  int windows_major = 4, windows_minor = 0;
  // Without a dos-version line: 7.0, or 0.0 (no DOS beneath) with "platform nt".
  std::optional<std::pair<int, int>> dos_version;
  bool nt = false;
  std::string windows_dir = "C:\\WINDOWS";
  std::string system_dir = "C:\\WINDOWS\\SYSTEM";
  std::map<std::string, std::string> environment;
  std::vector<DriveFact> drives;
  std::vector<DiskFact> disks;  // in file order
  std::string program_path = "A:\\INSTALL.EXE";
  std::string arguments;
  std::vector<std::string> directories;
  std::vector<PathFact> mtimes;      // value "YYYY-MM-DD HH:MM:SS"
  std::vector<PathFact> attributes;  // value letters of RHSA
  std::optional<uint64_t> memory;  // bytes
  int processor = 586;
  std::optional<DisplayFact> display;
  std::optional<std::string> now;
  std::optional<std::filesystem::path> registry;  // REGEDIT4 text loaded at the start

  int DosMajor() const { return dos_version ? dos_version->first : (nt ? 0 : 7); }
  int DosMinor() const { return dos_version ? dos_version->second : 0; }
};

// Reads `path`. On a line that cannot be read returns nullopt and sets
// *error to "FILE:LINE: what".
std::optional<MachineFile> ReadMachineFile(const std::filesystem::path& path, std::string* error);

// "YYYY-MM-DD HH:MM:SS" to a DOS date and time; false when malformed.
bool ParseDateTime(const std::string& text, install::os::DosDateTime* out);

}  // namespace quill::simulate
