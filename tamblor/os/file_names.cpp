#include "tamblor/os/file_names.h"

#include "tamblor/os/ascii_case.h"

namespace tamblor::os {

bool IsDeviceName(std::string_view component) {
  std::string_view base = component.substr(0, component.find('.'));
  while (!base.empty() && base.back() == ' ') base.remove_suffix(1);
  for (const char* device : {"CON", "PRN", "AUX", "NUL", "CLOCK$"}) {
    if (EqualsNoCase(base, device)) return true;
  }
  if (base.size() != 4 || base[3] < '1' || base[3] > '9') return false;
  return EqualsNoCase(base.substr(0, 3), "COM") || EqualsNoCase(base.substr(0, 3), "LPT");
}

bool IsPlainFileName(std::string_view name) {
  // Only dots and blanks: Windows drops trailing ones, so "..." is the directory itself.
  if (name.find_first_not_of(". ") == std::string_view::npos) return false;
  for (char c : name) {
    unsigned char byte = static_cast<unsigned char>(c);
    if (byte < ' ' || byte == 0x7F) return false;
    if (std::string_view("\\/:<>\"|*?").find(c) != std::string_view::npos) return false;
  }
  return !IsDeviceName(name);
}

bool NamesADeviceOrControlCharacter(std::string_view path) {
  if (path.size() >= 2 && path[1] == ':') path.remove_prefix(2);
  while (!path.empty()) {
    size_t end = path.find_first_of("\\/");
    std::string_view component = path.substr(0, end);
    for (char c : component) {
      unsigned char byte = static_cast<unsigned char>(c);
      if (byte < ' ' || byte == 0x7F) return true;
    }
    if (!component.empty() && IsDeviceName(component)) return true;
    if (end == std::string_view::npos) break;
    path.remove_prefix(end + 1);
  }
  return false;
}

}  // namespace tamblor::os
