// The way the reading layer gives up: a file that cannot be opened, seeked or
// read ends the process after a message on the standard error stream.
#pragma once

#include <string>

namespace tamblor::text {

// Called with the exit code (-1) after the message has been written. The
// default ends the process with std::exit. A replacement that returns is
// followed by std::exit all the same; tests install one that throws or jumps
// out of the failing call.
using FatalExitHook = void (*)(int exit_code);

// Installs `hook` (nullptr restores the default) and returns the one before.
FatalExitHook SetFatalExitHook(FatalExitHook hook);

// Shows a fatal message to the user before the process ends: a window program
// has no standard error stream anyone sees, so it installs a hook that puts
// the text in a message box. Not called for an empty message (the caller has
// shown its own box). Default: none.
using FatalMessageHook = void (*)(const std::string& message);
FatalMessageHook SetFatalMessageHook(FatalMessageHook hook);

// Writes `message` to the standard error stream as it is, shows it through
// the message hook, and ends the process.
[[noreturn]] void FatalFileError(const std::string& message);

}  // namespace tamblor::text
