#include "install/os/win32/win32_system_info.h"

#include "install/os/win32/windows_api.h"

namespace install::os {
namespace {

class Win32SystemInfo : public SystemInfo {
 public:
  uint32_t GetVersion() override { return static_cast<uint32_t>(::GetVersion()); }
};

}  // namespace

std::unique_ptr<SystemInfo> CreateWin32SystemInfo() { return std::make_unique<Win32SystemInfo>(); }

}  // namespace install::os
