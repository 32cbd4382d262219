// The installer's start-up up to the parse: where the program lives, the
// command line, the script path, and the decision to restart from a temporary
// copy so that the disks of a multi-disk set can be swapped.
#pragma once

#include <array>
#include <string>

#include "install/archive/source_stream.h"
#include "install/os/machine.h"
#include "install/script/macros.h"
#include "install/ui/desktop.h"

namespace install::app {

// Names of the temporary copy's files; "~0000" in the program's own name marks
// a running temporary copy.
inline constexpr const char* kTempCopyMark = "~0000";
inline constexpr const char* kTempCopyExe = "~0000.exe";
inline constexpr const char* kTempCopyPif = "~0000.pif";
inline constexpr const char* kTempCopyBat = "~0000.bat";
// The DOS shell program information file carried in the installer's own archive.
inline constexpr const char* kDosShellPif = "install.pif";

// Capacity of an option text ($SYSTEM$, $SYS2$, $SYS3$).
inline constexpr size_t kOptionCapacity = 503;

struct StartupValues {
  std::string program_path;  // program directory + module name (".exe" added when missing)
  std::string script_path;   // full path of the installation script
  script::MacroValues macros;  // program and source directories, drive letters, options, Windows directories
};

enum class StartDecision {
  Fail,       // a message was shown (or a restart started); the program ends
  Restarted,  // the temporary copy was started; this instance ends
  Continue,   // go on with the normal start
};

// The command line split into up to three options and a script name, as
// start-up reads it: tokens at spaces, tabs and line feeds, no quoting.
struct CommandLine {
  std::array<std::string, 3> options;
  std::string script;  // empty when none was named
};
CommandLine SplitCommandLine(const std::string& arguments);

// The default script path: everything after the program path's last "." replaced
// by "cfg" (".cfg" appended when there is no ".").
std::string DefaultScriptPath(const std::string& program_path);

// True when the script holds a line that begins with "INSERTDISK:" (any case).
bool ScriptNeedsDisks(archive::SourceReader& sources, const std::string& script_path);

class Startup {
 public:
  Startup(os::Machine& machine, ui::Desktop& desktop, archive::SourceReader& sources)
      : machine_(machine), desktop_(desktop), sources_(sources) {}

  // Initialisation up to the normal start: program directory, options, script
  // path, install archive registration and the restart decision. `arguments`
  // is the command line without the program name.
  StartDecision Prepare(const std::string& arguments, StartupValues* values);

  // The normal start's bookkeeping that needs no window: the source directory
  // cut at its last "\" and the Windows, system and help directories.
  void RecordDirectories(StartupValues* values);

 private:
  StartDecision Restart(const StartupValues& values);
  // Copies a source to a new file in 32768-byte chunks; errors stop the copy silently.
  void CopyChunks(archive::SourceStream& from, const std::string& to);
  void Warn(const std::string& text);

  os::Machine& machine_;
  ui::Desktop& desktop_;
  archive::SourceReader& sources_;
};

}  // namespace install::app
