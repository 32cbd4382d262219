// The registry of the machine the installer runs on.
//
// Keys are named by a predefined root (the Win32 handle numbers below) and a
// path of key names separated by "\" under it. Key and value names compare
// without regard to letter case; a new name keeps the spelling it was given.
// The empty value name "" is the key's unnamed (default) value. Nothing here
// throws; failures are reported through the return values.
//
// Two implementations: os/win32 (advapi32) and os/host (an in-memory registry
// that loads and saves REGEDIT4 text).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace install::os {

// Predefined root keys (the values of the Win32 HKEY_* handles).
enum : uint32_t {
  kHkeyClassesRoot = 0x80000000u,
  kHkeyCurrentUser = 0x80000001u,
  kHkeyLocalMachine = 0x80000002u,
  kHkeyUsers = 0x80000003u,
  kHkeyCurrentConfig = 0x80000005u,
  kHkeyDynData = 0x80000006u,
};

// Registry data types (the Win32 REG_* values).
enum : uint32_t {
  kRegNone = 0,
  kRegTypeSz = 1,
  kRegTypeExpandSz = 2,
  kRegTypeBinary = 3,
  kRegTypeDword = 4,
  kRegTypeDwordBigEndian = 5,
  kRegTypeLink = 6,
  kRegTypeMultiSz = 7,
};

// A value as stored: its type and its bytes exactly (a string's terminating
// zero byte included).
struct RegistryData {
  uint32_t type = kRegNone;
  std::vector<uint8_t> bytes;
};

// An open key. Owned by the caller through std::unique_ptr; closing is the
// destructor. Operations on a key that has been deleted meanwhile fail.
class RegistryKey {
 public:
  virtual ~RegistryKey() = default;
  // Reads a value. False when it does not exist (or cannot be read).
  virtual bool QueryValue(const std::string& name, RegistryData* out) = 0;
  // Creates or replaces a value. False on failure.
  virtual bool SetValue(const std::string& name, uint32_t type,
                        const std::vector<uint8_t>& bytes) = 0;
  // False when the value does not exist or cannot be deleted.
  virtual bool DeleteValue(const std::string& name) = 0;
  // The names of the direct subkeys and of the values, as spelled.
  virtual std::vector<std::string> SubKeyNames() = 0;
  virtual std::vector<std::string> ValueNames() = 0;
};

class Registry {
 public:
  virtual ~Registry() = default;
  // Opens `path` under `root`, creating it (and any missing level above it)
  // when it does not exist. *created (when given) tells whether the key itself
  // was new. An empty path opens the root. nullptr on failure.
  virtual std::unique_ptr<RegistryKey> CreateKey(uint32_t root, const std::string& path,
                                                 bool* created) = 0;
  // Opens an existing key; nullptr when it does not exist.
  virtual std::unique_ptr<RegistryKey> OpenKey(uint32_t root, const std::string& path) = 0;
  // Opens an existing key only to read it (QueryValue, SubKeyNames,
  // ValueNames), so that it opens where the user may not change it; its
  // other operations may fail. nullptr when it does not exist or cannot be
  // read. By default the same as OpenKey.
  virtual std::unique_ptr<RegistryKey> OpenKeyForReading(uint32_t root, const std::string& path) {
    return OpenKey(root, path);
  }
  // Deletes a key. False when it does not exist or is a root. A key with
  // subkeys stays (False) on Windows NT and in the host registry; Windows 95
  // deletes it with its subkeys.
  virtual bool DeleteKey(uint32_t root, const std::string& path) = 0;
};

// "HKEY_CURRENT_USER", ... for a root handle; "" for an unknown one.
inline const char* RegistryRootName(uint32_t root) {
  switch (root) {
    case kHkeyClassesRoot: return "HKEY_CLASSES_ROOT";
    case kHkeyCurrentUser: return "HKEY_CURRENT_USER";
    case kHkeyLocalMachine: return "HKEY_LOCAL_MACHINE";
    case kHkeyUsers: return "HKEY_USERS";
    case kHkeyCurrentConfig: return "HKEY_CURRENT_CONFIG";
    case kHkeyDynData: return "HKEY_DYN_DATA";
    default: return "";
  }
}

}  // namespace install::os
