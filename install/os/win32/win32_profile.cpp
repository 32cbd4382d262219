#include "install/os/win32/win32_profile.h"

#include <vector>

#include "install/os/win32/windows_api.h"

namespace install::os {

std::string Win32Profile::GetPrivateProfileString(const char* section, const char* key,
                                                  const char* default_text, uint32_t buffer_size,
                                                  const std::string& file) {
  if (buffer_size == 0) buffer_size = 1;
  // Two spare bytes: a list of names ends in a second terminator.
  std::vector<char> buffer(buffer_size + 2, '\0');
  const DWORD n = ::GetPrivateProfileStringA(section, key, default_text, buffer.data(), buffer_size,
                                             file.c_str());
  return std::string(buffer.data(), n < buffer_size ? n : buffer_size - 1);
}

bool Win32Profile::WritePrivateProfileString(const char* section, const char* key, const char* value,
                                             const std::string& file) {
  return ::WritePrivateProfileStringA(section, key, value, file.c_str()) != 0;
}

}  // namespace install::os
