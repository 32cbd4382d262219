// Starting the installer on the host model the way install.exe starts:
// start-up with the machine's program path and the given command line, and a
// restart into the temporary directory followed into the copy.
#pragma once

#include <memory>
#include <string>

#include "install/app/installation.h"
#include "install/os/host/host_machine.h"

namespace quill {

// The installation that goes on to parse the script, or null when start-up
// ended the program (its message has been shown through `desktop`).
std::unique_ptr<install::app::Installation> StartInstaller(install::os::HostMachine& machine,
                                                            install::os::SystemInfo& system,
                                                            install::ui::Desktop& desktop,
                                                            install::ui::TextMeasure& measure,
                                                            const std::string& arguments);

}  // namespace quill
