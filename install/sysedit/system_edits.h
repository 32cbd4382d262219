// The edits of the machine's text files once the files are installed:
// AUTOEXEC.BAT, CONFIG.SYS and the INIFILE entries right after the copy,
// the ADDTEXT entries after the self-registrations.
//
// Every edit either completes or leaves its file as it was: the new text is
// written to a temporary file first and then put in place, and a file that
// cannot be read or written is named in a warning (the run goes on).
#pragma once

#include <string>

#include "install/os/machine.h"
#include "install/os/profile.h"
#include "install/script/install_plan.h"
#include "install/sysedit/install_log.h"
#include "install/ui/desktop.h"

namespace install::sysedit {

struct SystemEditServices {
  os::Machine& machine;
  ui::Desktop& desktop;
  InstallLog& log;
  // The profile functions for INIFILE entries; without them those entries
  // are left out.
  os::Profile* profile = nullptr;
};

// Results of the single edits.
enum : int {
  kEditDone = 0,      // applied, or nothing to do
  kEditRejected = 1,  // the user answered No: the file is as it was
  kEditFailed = -1,   // the file could not be read or written: warned, the file is as it was
};

// A warning naming a file that could not be read or written (OK button).
void WarnAboutFile(ui::Desktop& desktop, std::string_view text, const std::string& path);

// AUTOEXEC.BAT, then CONFIG.SYS, then each INIFILE entry in script order.
void EditSystemFiles(script::InstallPlan& plan, SystemEditServices& services);

// Each ADDTEXT entry in script order.
void InsertTexts(script::InstallPlan& plan, SystemEditServices& services);

}  // namespace install::sysedit
