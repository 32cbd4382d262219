// The AUTOEXEC.BAT and CONFIG.SYS passes: the AUTOEXEC and CONFIG records of
// the plan applied to the DOS start-up files in the root of the boot drive,
// the old file kept as AUTOEXEC.BAK or CONFIG.BAK (an earlier backup is
// always replaced), every changed or added line logged as an AUTOEXEC or
// CONFIG entry (old and new line, without line ends; an empty old line for an
// added one), and with ASK the user asked afterwards whether to keep the
// changes (No puts the old file back; the log entries stay).
//
// The old file is read in text mode in pieces of at most kDosLineUnit
// characters, line end included; each piece is handled as a line of its own.
//
// AUTOEXEC.BAT, line by line:
//  - SHARE (when wanted): the first line that is not a "rem " line, does not
//    set the path and contains SHARE (any case) is taken in upper case; when
//    its /F: or /L: number is below the wanted minimum it is cut after SHARE
//    and given " /F:n /L:n" with the larger of each pair (0 left out).
//  - Labels: with the environment variable CONFIG set, only the lines after
//    a label ":NAME" whose name begins with its value are eligible.
//  - PATH: the first eligible line that sets the path (PATH, PATH=, SET
//    PATH=, any case) gets each missing path entry, upper case, followed by
//    ";" at the start of its value. An entry counts as present when the line
//    holds it (any case) followed by ";" or white space.
//  - An added line that some line contains (exact case) is not added.
//  At the end, before the old file's last line: a "PATH=e1;e2;" line when no
//  line set the path, the added lines, and a SHARE line when no SHARE line
//  was met.
//
// CONFIG.SYS, line by line: the first FILES and the first BUFFERS line whose
// number is below the minimum get the minimum instead (the rest of the line
// after the number dropped). At the end: a line end when the file lacks one,
// then "FILES = n", "BUFFERS = n" when there was no such line, and the added
// lines that no line contains.
//
// A keyword (PATH, FILES, BUFFERS) counts only as a whole word: followed by
// a blank, "=" or the line end, so FILESHIGH, BUFFERSHIGH or PATHCHK lines
// stay as they are.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "install/script/dos_edit_args.h"
#include "install/script/install_plan.h"
#include "install/script/macros.h"
#include "install/sysedit/system_edits.h"

namespace install::sysedit {

// The line reader's unit, in characters, line end included.
inline constexpr std::size_t kDosLineUnit = 240;

// What a pass makes of a file.
struct DosFileEdit {
  std::string text;                      // the new file (text mode: LF line ends)
  std::vector<std::string> log_entries;  // AUTOEXEC or CONFIG entries, in order
  bool changed = false;                  // a line was changed or added
};

// "C:\AUTOEXEC.BAT" and the like on the boot drive `drive`.
std::string BootFilePath(char drive, std::string_view name);

// The offset where the path value of `line` starts, 0 when the line does not
// set the path.
std::size_t PathValueOffset(std::string_view line);

// True when `line` is a line that loads SHARE (see above).
bool IsShareLine(std::string_view line);

// True when `upper_line` holds `upper_entry` followed by ";" or white space.
bool PathHasEntry(std::string_view upper_line, std::string_view upper_entry);

// The AUTOEXEC.BAT pass over `old_text` (text mode, empty when the file is
// missing). `config` is the value of the environment variable CONFIG (empty:
// not set). Added lines and path entries are expanded with `macros`.
DosFileEdit EditAutoexecText(std::string_view old_text, const script::AutoexecEdits& edits,
                             const script::MacroValues& macros, const std::string& installation_dir,
                             const std::string& config);

// The CONFIG.SYS pass over `old_text`.
DosFileEdit EditConfigText(std::string_view old_text, const script::ConfigEdits& edits,
                           const script::MacroValues& macros);

// The passes on the machine (nothing happens in mode Untouched). The
// installation directory is the plan's $DEFAULTDIR$. kEditDone,
// kEditRejected or kEditFailed.
int ApplyAutoexecEdits(script::InstallPlan& plan, SystemEditServices& services);
int ApplyConfigEdits(script::InstallPlan& plan, SystemEditServices& services);

}  // namespace install::sysedit
