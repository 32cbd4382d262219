// Finishing and exit: registering self-registering servers during the run,
// and when the installer ends, the readme in the text editor, the commands to
// run at exit, the restart question and the restart, the uninstaller handed
// to the Windows directory and the removal of the temporary copy.
#pragma once

#include <string>

#include "install/archive/source_stream.h"
#include "install/os/machine.h"
#include "install/script/install_plan.h"
#include "install/ui/desktop.h"

namespace install::app {

// The uninstaller that UNINSTALL YES hands to the Windows directory.
inline constexpr const char* kUninstallerName = "remvalt.exe";

// Calls the "DllRegisterServer" export of `path`. True when it returned 0;
// otherwise path + " has not been successfully registered." is shown (OK
// only, no icon, the path as caption) and the result is false.
bool RegisterServer(os::Machine& machine, ui::Desktop& desktop, const std::string& path);

// The editor command of the readme: "notepad " + the path with its macros
// expanded, in the installation directory unless it begins with "\", has a
// drive, or is quoted and begins with "\" or a drive inside the quote.
std::string ReadmeCommand(const script::InstallPlan& plan, const std::string& installation_dir);

// After the message loop: the readme and the exit commands started without
// waiting, the restart question (No makes the restart mode none), then
// RestartSystem. A stopped run has nothing left to start or ask.
void FinishRun(script::InstallPlan& plan, const std::string& installation_dir,
               const std::string& program_path, os::Machine& machine, ui::Desktop& desktop);

// With restart mode 1 or 2: in the temporary copy (`program_path` holds
// "~0000") its batch and information files are deleted (they would not run
// after a restart), then the restart is requested, with the shutdown
// privilege on Windows NT 3.5x.
void RestartSystem(const script::InstallPlan& plan, const std::string& program_path, os::Machine& machine);

// At process end: the uninstaller copied from the installation directory to
// the Windows directory (UNINSTALL YES; failures ignored), the install
// archive closed, and in the temporary copy (its program name holds "~0000")
// the clean-up batch beside it started hidden through the DOS shell
// information file beside it: pif + " /C " + bat, each quoted when it holds a
// space.
void ReleaseAtProcessEnd(const script::InstallPlan& plan, const std::string& installation_dir,
                         const std::string& program_path, os::Machine& machine,
                         archive::SourceReader& sources);

}  // namespace install::app
