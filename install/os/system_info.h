// Facts about the running system that the script language needs as plain
// values. Kept apart from Machine (files, drives, processes) because only
// plan creation, the processor requirement and the script's conditions ask
// for them.
//
// Implementations: os/win32 (GetVersion), os/host (values set by the caller).
#pragma once

#include <cstdint>

namespace install::os {

// The display as its driver reports it.
struct DisplayMode {
  int width = 0;       // pixels
  int height = 0;      // pixels
  int color_bits = 0;  // colour planes times bits per pixel; 2 to this power colours
};

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
  // Total physical memory in bytes, saturated at 0xFFFFFFFF. Never fails.
  virtual uint32_t TotalPhysicalMemory() = 0;
  // The display's resolution and colour depth, through an information
  // context of the "DISPLAY" driver. All zeros when it cannot be queried.
  virtual DisplayMode GetDisplayMode() = 0;
};

}  // namespace install::os
