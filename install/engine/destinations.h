// Settling the destinations of a run: the installation directory (with the
// install log path and the free space of its drive) from the DEFAULTDIR
// record, and the $DIR2$ and $DIR3$ directories, each asked for in the
// destination dialog or taken as the script gives it.
#pragma once

#include "install/ui/destination_dialogs.h"
#include "install/engine/engine_state.h"
#include "install/sysedit/install_log.h"
#include "install/engine/macro_expander.h"
#include "install/os/machine.h"
#include "install/script/install_plan.h"
#include "install/ui/desktop.h"

namespace install::engine {

struct DestinationServices {
  os::Machine& machine;
  ui::Desktop& desktop;
  sysedit::InstallLog& log;
  ui::DestinationDialogs& dialogs;
  // Expands a DIR2 or DIR3 path that begins with a macro; none: as written.
  MacroExpander expand;
};

// Settles DEFAULTDIR (creating a record for "C:\NEWFILES" on the boot drive,
// asked for drive and directory, when the script has none), then DIR2 and
// DIR3 when present. A destination that is asked for gets its directories
// from the dialog; one that is not is created here. DEFAULTDIR's choice is
// logged ("DEFAULTDIR: "), becomes the installation directory, sets the log
// path, $DEFAULTDIR$ and $DEFAULTDRIVE$, and its drive's free space is read.
// Returns 0, or 1 when the user quit a dialog, the destination drive cannot
// be read (the BADDRIVEPROMPT text shown) or a directory cannot be
// created ("Invalid directory." shown).
int SetUpDestinations(script::InstallPlan& plan, EngineState& state,
                      const DestinationServices& services);

}  // namespace install::engine
