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
  uint32_t TotalPhysicalMemory() override {
    MEMORYSTATUS status{};
    status.dwLength = sizeof status;
    ::GlobalMemoryStatus(&status);
    const uint64_t total = status.dwTotalPhys;  // SIZE_T: wider than 32 bits on x86-64
    return total > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(total);
  }
  DisplayMode GetDisplayMode() override {
    DisplayMode mode;
    HDC context = ::CreateICA("DISPLAY", nullptr, nullptr, nullptr);
    if (!context) return mode;
    mode.width = ::GetDeviceCaps(context, HORZRES);
    mode.height = ::GetDeviceCaps(context, VERTRES);
    mode.color_bits = ::GetDeviceCaps(context, PLANES) * ::GetDeviceCaps(context, BITSPIXEL);
    ::DeleteDC(context);
    return mode;
  }
};

}  // namespace

std::unique_ptr<SystemInfo> CreateWin32SystemInfo() { return std::make_unique<Win32SystemInfo>(); }

}  // namespace install::os
