// The two file operations of a script that work on the destination outside
// the copy: RENAME entries (run before the files are installed) and DELETE
// entries (run after the last screen). Both are silent: what cannot be done
// is left as it is (only an old file stranded by a failed rename is named).
#pragma once

#include "install/engine/engine_state.h"
#include "install/sysedit/install_log.h"
#include "install/engine/macro_expander.h"
#include "install/os/machine.h"
#include "install/script/install_plan.h"
#include "install/ui/desktop.h"

namespace install::engine {

struct FileOperationServices {
  os::Machine& machine;
  ui::Desktop& desktop;
  sysedit::InstallLog& log;
  MacroExpander expand;  // the script's macros; none: paths as written
};

// One RENAME entry, macros expanded. The directories of the new path are
// created first. An old path without "*" is renamed to the new path. With
// "*" every file matching the old name (in the old path's directory, made
// current meanwhile) moves to the new path's directory under a name given by
// the form of the pattern after its first "*":
//   "*.*"        the match's own name;
//   "*.EXT"      the match's base name with the new path's extension;
//   "*" else     the new path's base name with the match's extension.
// An existing file of the new name is replaced (not when it is read-only or
// a directory); when the old file does not exist, or the move fails, the
// existing file stays as it was. Each rename that happened is logged as
// "RENAME: " + new + ", " + old (old without its directory for the pattern
// forms). The current directory is restored. Across drives the existing file
// is first renamed aside ("~RENnnnn.TMP") and put back when the move fails;
// should that fail too, a message names where it is and the log records it
// as renamed there, so that it is not lost.
void ApplyRename(const script::RenameEntry& entry, const script::InstallPlan& plan,
                 const FileOperationServices& services);

// One DELETE entry, macros expanded; a path that neither begins with "\" nor
// has a drive is taken in the installation directory. A path with "*" or "?"
// deletes every file (never a directory) matching its name in its directory;
// otherwise the one file. A file that cannot be deleted is tried once more
// after its attributes are set to normal (read-only files); when it still
// stays, its attributes are set back. Nothing is logged; a path beyond its
// capacity is not deleted at all.
void ApplyDelete(const script::DeleteEntry& entry, const EngineState& state,
                 const FileOperationServices& services);

}  // namespace install::engine
