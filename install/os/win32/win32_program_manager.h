// Program Manager over DDEML (user32): a client-only DDE instance, and one
// conversation with "PROGMAN" per command.
#pragma once

#include <cstdint>

#include "install/os/program_manager.h"

namespace install::os {

class Win32ProgramManager : public ProgramManager {
 public:
  // The instance is not uninitialised: it lives until the process ends.
  bool StartClient() override;
  bool SendCommand(const std::string& command) override;

 private:
  uint32_t instance_ = 0;  // the DDEML instance identifier; 0 before StartClient
};

}  // namespace install::os
