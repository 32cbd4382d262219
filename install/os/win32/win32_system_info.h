// SystemInfo over the real Win32 calls.
#pragma once

#include <memory>

#include "install/os/system_info.h"

namespace install::os {

std::unique_ptr<SystemInfo> CreateWin32SystemInfo();

}  // namespace install::os
