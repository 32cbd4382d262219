#include "install/os/win32/win32_system_info.h"

#include "install/os/win32/windows_api.h"

namespace install::os {
namespace {

class Win32SystemInfo : public SystemInfo {
 public:
  uint32_t GetVersion() override { return static_cast<uint32_t>(::GetVersion()); }
  int ProcessorType() override {
    SYSTEM_INFO info;
    ::GetSystemInfo(&info);
    if (info.dwProcessorType == PROCESSOR_INTEL_386) return 386;
    if (info.dwProcessorType == PROCESSOR_INTEL_486) return 486;
    return 586;
  }
};

}  // namespace

std::unique_ptr<SystemInfo> CreateWin32SystemInfo() { return std::make_unique<Win32SystemInfo>(); }

}  // namespace install::os
