#include "install/os/win32/win32_registry.h"

#include "install/os/win32/windows_api.h"

namespace install::os {

namespace {

constexpr REGSAM kKeyAccess = KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY;  // 0x2001F

// The predefined handle of a root number; nullptr for an unknown one.
HKEY RootHandle(uint32_t root) {
  switch (root) {
    case kHkeyClassesRoot: return HKEY_CLASSES_ROOT;
    case kHkeyCurrentUser: return HKEY_CURRENT_USER;
    case kHkeyLocalMachine: return HKEY_LOCAL_MACHINE;
    case kHkeyUsers: return HKEY_USERS;
    case kHkeyCurrentConfig: return HKEY_CURRENT_CONFIG;
    case kHkeyDynData: return HKEY_DYN_DATA;
    default: return nullptr;
  }
}

// The value name for the A functions: nullptr for the unnamed value.
const char* ValueName(const std::string& name) { return name.empty() ? nullptr : name.c_str(); }

class Win32RegistryKey : public RegistryKey {
 public:
  explicit Win32RegistryKey(HKEY key) : key_(key) {}
  ~Win32RegistryKey() override { RegCloseKey(key_); }
  Win32RegistryKey(const Win32RegistryKey&) = delete;
  Win32RegistryKey& operator=(const Win32RegistryKey&) = delete;

  bool QueryValue(const std::string& name, RegistryData* out) override {
    // The size may change between the two calls; try again a few times.
    for (int attempt = 0; attempt < 4; ++attempt) {
      DWORD type = 0;
      DWORD size = 0;
      if (RegQueryValueExA(key_, ValueName(name), nullptr, &type, nullptr, &size) !=
          ERROR_SUCCESS) {
        return false;
      }
      std::vector<uint8_t> bytes(size);
      DWORD read = size;
      LONG result = RegQueryValueExA(key_, ValueName(name), nullptr, &type,
                                     size ? bytes.data() : nullptr, &read);
      if (result == ERROR_MORE_DATA) continue;
      if (result != ERROR_SUCCESS) return false;
      bytes.resize(read);
      out->type = type;
      out->bytes = std::move(bytes);
      return true;
    }
    return false;
  }

  bool SetValue(const std::string& name, uint32_t type,
                const std::vector<uint8_t>& bytes) override {
    static const BYTE kNothing = 0;
    return RegSetValueExA(key_, ValueName(name), 0, type,
                          bytes.empty() ? &kNothing : bytes.data(),
                          static_cast<DWORD>(bytes.size())) == ERROR_SUCCESS;
  }

  bool DeleteValue(const std::string& name) override {
    return RegDeleteValueA(key_, ValueName(name)) == ERROR_SUCCESS;
  }

  std::vector<std::string> SubKeyNames() override {
    std::vector<std::string> names;
    char name[256];
    for (DWORD index = 0;; ++index) {
      DWORD length = sizeof name;
      if (RegEnumKeyExA(key_, index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
          ERROR_SUCCESS) {
        break;
      }
      names.emplace_back(name, length);
    }
    return names;
  }

  std::vector<std::string> ValueNames() override {
    std::vector<std::string> names;
    char name[16384];
    for (DWORD index = 0;; ++index) {
      DWORD length = sizeof name;
      if (RegEnumValueA(key_, index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
          ERROR_SUCCESS) {
        break;
      }
      names.emplace_back(name, length);
    }
    return names;
  }

 private:
  HKEY key_;
};

}  // namespace

std::unique_ptr<RegistryKey> Win32Registry::CreateKey(uint32_t root, const std::string& path,
                                                      bool* created) {
  if (created) *created = false;
  HKEY root_key = RootHandle(root);
  if (!root_key) return nullptr;
  HKEY key = nullptr;
  DWORD disposition = 0;
  if (RegCreateKeyExA(root_key, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, kKeyAccess,
                      nullptr, &key, &disposition) != ERROR_SUCCESS) {
    return nullptr;
  }
  if (created) *created = disposition == REG_CREATED_NEW_KEY;
  return std::make_unique<Win32RegistryKey>(key);
}

namespace {

std::unique_ptr<RegistryKey> OpenExistingKey(HKEY root_key, const std::string& path, REGSAM access) {
  if (!root_key) return nullptr;
  HKEY key = nullptr;
  if (RegOpenKeyExA(root_key, path.c_str(), 0, access, &key) != ERROR_SUCCESS) return nullptr;
  return std::make_unique<Win32RegistryKey>(key);
}

}  // namespace

std::unique_ptr<RegistryKey> Win32Registry::OpenKey(uint32_t root, const std::string& path) {
  return OpenExistingKey(RootHandle(root), path, kKeyAccess);
}

std::unique_ptr<RegistryKey> Win32Registry::OpenKeyForReading(uint32_t root, const std::string& path) {
  return OpenExistingKey(RootHandle(root), path, KEY_READ);
}

bool Win32Registry::DeleteKey(uint32_t root, const std::string& path) {
  HKEY root_key = RootHandle(root);
  if (!root_key || path.empty()) return false;
  return RegDeleteKeyA(root_key, path.c_str()) == ERROR_SUCCESS;
}

}  // namespace install::os
