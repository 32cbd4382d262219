// Facts about the running system that the script language needs as plain
// values. Kept apart from Machine (files, drives, processes) because only
// plan creation asks for them.
//
// Implementations: os/win32 (GetVersion), os/host (values set by the caller).
#pragma once

#include <cstdint>

namespace install::os {

class SystemInfo {
 public:
  virtual ~SystemInfo() = default;
  // The platform version value in the layout of Win32 GetVersion: low byte of
  // the low word = major version, high byte of the low word = minor version;
  // the high word = the DOS version (high byte major, low byte minor) on
  // systems that run over DOS, other platform bits elsewhere. Never fails.
  virtual uint32_t GetVersion() = 0;
  // The processor family as a number: 386, 486 or 586 (586 for anything
  // newer). Never fails.
  virtual int ProcessorType() = 0;
};

}  // namespace install::os
