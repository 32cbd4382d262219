// The facts about the machine that the script language needs as plain
// values, taken once when the plan is created and fixed afterwards.
#pragma once

#include <cstdint>

#include "install/os/machine.h"
#include "install/os/system_info.h"

namespace install::app {

struct MachineFacts {
  // "%d.%d" of the platform's major and minor version read back as a decimal
  // number: major 3, minor 10 gives 3.1; major 3, minor 95 gives 3.95.
  double windows_version = 0;
  // The same from the high word of the version value (high byte major).
  double dos_version = 0;
  // 'A' when drive A: is a fixed disk (a system that boots from A:), else 'C'.
  char hard_disk_letter = 'C';
};

// Version numbers from a GetVersion-style value.
double WindowsVersionFrom(uint32_t platform_version);
double DosVersionFrom(uint32_t platform_version);

// Asks the machine for the type of "A:\" and the system for its version.
MachineFacts ReadMachineFacts(os::Machine& machine, os::SystemInfo& system);

}  // namespace install::app
