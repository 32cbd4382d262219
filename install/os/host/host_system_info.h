// SystemInfo for the host machine model: the version value is whatever the
// caller configured; by default a Windows 95 system over DOS 7.0, which
// reports itself as Windows 3.95.
#pragma once

#include <cstdint>

#include "install/os/system_info.h"

namespace install::os {

// Builds a GetVersion-style value from its parts.
uint32_t MakePlatformVersion(int windows_major, int windows_minor, int dos_major, int dos_minor);

class HostSystemInfo : public SystemInfo {
 public:
  HostSystemInfo() = default;
  explicit HostSystemInfo(uint32_t version) : version_(version) {}

  uint32_t GetVersion() override { return version_; }
  void SetVersion(uint32_t version) { version_ = version; }
  int ProcessorType() override { return processor_; }
  void SetProcessorType(int processor) { processor_ = processor; }

 private:
  uint32_t version_ = MakePlatformVersion(3, 95, 7, 0);
  int processor_ = 586;
};

}  // namespace install::os
