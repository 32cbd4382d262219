// The profile seam over the system's own profile functions.
#pragma once

#include "install/os/profile.h"

namespace install::os {

class Win32Profile : public Profile {
 public:
  std::string GetPrivateProfileString(const char* section, const char* key, const char* default_text,
                                      uint32_t buffer_size, const std::string& file) override;
  bool WritePrivateProfileString(const char* section, const char* key, const char* value,
                                 const std::string& file) override;
};

}  // namespace install::os
