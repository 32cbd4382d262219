#include "install/os/host/host_system_info.h"

namespace install::os {

uint32_t MakePlatformVersion(int windows_major, int windows_minor, int dos_major, int dos_minor) {
  uint32_t low = (static_cast<uint32_t>(windows_minor & 0xFF) << 8) |
                 static_cast<uint32_t>(windows_major & 0xFF);
  uint32_t high = (static_cast<uint32_t>(dos_major & 0xFF) << 8) |
                  static_cast<uint32_t>(dos_minor & 0xFF);
  return (high << 16) | low;
}

}  // namespace install::os
