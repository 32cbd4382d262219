// The installer's registry seam over advapi32. Keys are opened and created
// with read, set-value and create-subkey access (0x2001F), non-volatile,
// without class or security attributes; OpenKeyForReading asks for read
// access (KEY_READ) only.
#pragma once

#include "install/os/registry.h"

namespace install::os {

class Win32Registry : public Registry {
 public:
  std::unique_ptr<RegistryKey> CreateKey(uint32_t root, const std::string& path,
                                         bool* created) override;
  std::unique_ptr<RegistryKey> OpenKey(uint32_t root, const std::string& path) override;
  std::unique_ptr<RegistryKey> OpenKeyForReading(uint32_t root, const std::string& path) override;
  bool DeleteKey(uint32_t root, const std::string& path) override;
};

}  // namespace install::os
