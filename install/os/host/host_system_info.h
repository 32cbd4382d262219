// SystemInfo for the host machine model: every fact is whatever the caller
// configured; by default a Windows 95 system over DOS 7.0, which reports
// itself as Windows 3.95, on a Pentium with 16 MB of memory and a 640 x 480
// display of 256 colours.
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
  uint32_t TotalPhysicalMemory() override { return memory_; }
  // Bytes; more than 0xFFFFFFFF reads as 0xFFFFFFFF.
  void SetTotalPhysicalMemory(uint64_t bytes) {
    memory_ = bytes > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(bytes);
  }
  DisplayMode GetDisplayMode() override { return display_; }
  void SetDisplayMode(DisplayMode mode) { display_ = mode; }

  static constexpr uint32_t kDefaultMemory = 16u * 1024 * 1024;

 private:
  uint32_t version_ = MakePlatformVersion(3, 95, 7, 0);
  int processor_ = 586;
  uint32_t memory_ = kDefaultMemory;
  DisplayMode display_{640, 480, 8};
};

}  // namespace install::os
