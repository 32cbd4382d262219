// Program Manager, as the installer reaches it: a DDE client that sends
// command strings to the service and topic "PROGMAN", one conversation per
// command.
//
// The command language is Program Manager's own: one or more commands in
// square brackets, each a name and an argument list in parentheses, the
// arguments separated by commas ("[CreateGroup(Games)]",
// "[AddItem(C:\APP\APP.EXE, My App)]"). What Program Manager does with a
// command is its own affair; the installer learns only whether it was
// accepted.
//
// Two implementations: os/win32 (DDEML in user32) and os/host (a model that
// records every command it receives and keeps its groups and items).
#pragma once

#include <cstdint>
#include <string>

namespace install::os {

// Service and topic name of Program Manager's DDE server.
inline constexpr char kProgmanService[] = "PROGMAN";
// How long one command may take before it is given up, in milliseconds.
inline constexpr uint32_t kProgmanTimeoutMs = 10000;

class ProgramManager {
 public:
  virtual ~ProgramManager() = default;

  // Starts the installer's DDE client (a client-only instance). Called once,
  // before the first command; the instance lives until the process ends.
  // False when no client can be started: no command can be sent then.
  virtual bool StartClient() = 0;

  // One conversation: connects to "PROGMAN" (service and topic), executes
  // `command` (sent as CF_TEXT text with its terminating zero byte), waits at
  // most kProgmanTimeoutMs for the answer, and disconnects. True when Program
  // Manager accepted the command; false when it refused it, did not answer in
  // time, is not running, or the client was not started.
  virtual bool SendCommand(const std::string& command) = 0;
};

}  // namespace install::os
