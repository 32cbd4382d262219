// The installer's start-up up to the parse: where the program lives, the
// command line, the script path, and the decision to restart from a temporary
// copy so that the disks of a multi-disk set can be swapped.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "install/archive/source_stream.h"
#include "install/os/machine.h"
#include "install/script/macros.h"
#include "install/ui/desktop.h"

namespace install::app {

// Names of the temporary copy's files; "~0000" in the program's own name marks
// a running temporary copy. When a file of that name is there already, the
// copy takes the next free name "~0000001", "~0000002" ... (all three of its
// files free), so that no file it did not write is ever run or deleted.
inline constexpr const char* kTempCopyMark = "~0000";
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
// start-up reads it: tokens at spaces, tabs and line feeds. A token that
// begins with a double quote runs to the next one (or the end) and names the
// script, spaces included, without its quotes: the restart passes the script
// path that way when it holds a space.
struct CommandLine {
  std::array<std::string, 3> options;
  std::string script;  // empty when none was named
};
CommandLine SplitCommandLine(const std::string& arguments);

// `path` in double quotes when it holds a space or a tab; as it is otherwise.
std::string QuotedIfNeeded(const std::string& path);

// What a program started with `command_line` receives as its arguments: the
// text after its first token (the program, quoted or not) and the blanks
// that follow it.
std::string ArgumentsAfterProgram(const std::string& command_line);

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
  struct TempCopyPaths {
    std::string exe, pif, bat;
  };

  // Copies the program and its DOS shell file to the temporary directory,
  // writes the clean-up batch file and starts the copy. Every step is
  // checked: on a failure its message is shown, what was created is deleted
  // and nothing is started (Fail).
  StartDecision Restart(const StartupValues& values);
  // The first of the names "~0000", "~0000001" ... "~0000999" in `temp` whose
  // ".exe", ".pif" and ".bat" are all free, with its ".exe" created new.
  // Null when none can be created.
  std::unique_ptr<os::File> ClaimTempCopy(const std::string& temp, TempCopyPaths* paths);
  std::string CopyProgram(const std::string& program_path, std::unique_ptr<os::File> exe);
  std::string CopyDosShellPif(const std::string& program_dir, const std::string& pif_path);
  std::string WriteCleanUpBatch(const TempCopyPaths& paths);
  // FILENOTFOUNDPROMPT + path + ". "
  static std::string NotFound(const std::string& path);
  void Warn(const std::string& text);

  os::Machine& machine_;
  ui::Desktop& desktop_;
  archive::SourceReader& sources_;
  std::vector<std::string> created_;  // the restart's files, for clean-up
};

// Reads up to `count` bytes; the number read, 0 at the end, -1 on an error.
using ChunkReader = std::function<int32_t(char* buffer, uint32_t count)>;
// Copies `size` bytes in 32768-byte chunks into `out` (a read that gives less
// than a chunk is the last), then flushes, checks the length and closes it.
// Empty, or the failure's message: "Reading disk error." when a read fails or
// the source ends short of `size`, "Writing disk error." otherwise.
std::string CopyChunks(const ChunkReader& read, int64_t size, std::unique_ptr<os::File> out);

// A file of the temporary copy beside its program: `program_path` with its
// extension replaced by `extension` (".pif", ".bat").
std::string TempCopyCompanion(const std::string& program_path, const char* extension);

}  // namespace install::app
