// The browser's command line: the disc's drive letter and, optionally, the
// configuration file to read.
#pragma once

#include <string>

namespace tamblor::config {

inline constexpr size_t kMaxCommandLine = 255;
inline constexpr size_t kMaxPath = 260;  // paths hold at most kMaxPath - 1 characters

struct StartupArguments {
  char drive = 'C';
  std::string config_path;
};

// "E:" uses E:\cdrom.cfg; "E: D:\setup\cdrom.cfg" uses drive E and the named
// file; an empty command line takes the drive of `module_path` (the program's
// own file). A named file too long for a path is not used (the drive's
// cdrom.cfg is read instead).
StartupArguments ParseCommandLine(const std::string& command_line, const std::string& module_path);

// "%c:\cdrom.cfg"
std::string DefaultConfigPath(char drive);

}  // namespace tamblor::config
