// An in-memory registry with the six predefined roots, loaded from and saved
// as REGEDIT4 text. A path deeper than kMaxRegistryDepth levels is refused
// (creating, opening, loading), so saving and freeing never recurse deeper.
//
// Keys and values keep the spelling they were created with and are found
// without regard to ASCII letter case. A key with subkeys cannot be deleted
// (as on Windows NT). Open keys stay usable after the key was deleted only to
// fail; the registry must outlive the keys it hands out.
//
// REGEDIT4 text: a first line "REGEDIT4", then sections "[ROOT\path]" each
// followed by its values: @ for the unnamed value or a quoted name (with \\ and
// \" escapes), "=", and the data: "text" (REG_SZ), dword:0000abcd (REG_DWORD),
// hex:01,ff (REG_BINARY) or hex(N):.. (any other type, bytes as stored). A
// line ending in "\" goes on in the next line; lines starting ";" are comments.
#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "install/os/registry.h"

namespace install::os {

// Keys nest at most this many levels below their root, as on Windows.
inline constexpr size_t kMaxRegistryDepth = 512;

class HostRegistry : public Registry {
 public:
  HostRegistry();
  ~HostRegistry() override;

  std::unique_ptr<RegistryKey> CreateKey(uint32_t root, const std::string& path,
                                         bool* created) override;
  std::unique_ptr<RegistryKey> OpenKey(uint32_t root, const std::string& path) override;
  bool DeleteKey(uint32_t root, const std::string& path) override;

  // Adds the keys and values of a REGEDIT4 text to the registry. False for a
  // text that does not start with "REGEDIT4" or has a line it cannot read; the
  // lines before that one have been applied.
  bool LoadRegedit4(std::string_view text);
  // The whole registry as REGEDIT4 text with CR LF line ends; keys and values
  // in the order of their upper-case names.
  std::string SaveRegedit4() const;

  // While read-only, every change (creating a key, setting or deleting a value,
  // deleting a key) fails; reading and opening still work.
  void set_read_only(bool on) { read_only_ = on; }
  bool read_only() const { return read_only_; }

  struct Node;

 private:
  std::shared_ptr<Node> Root(uint32_t root) const;
  std::shared_ptr<Node> Find(uint32_t root, const std::string& path) const;

  std::map<uint32_t, std::shared_ptr<Node>> roots_;
  bool read_only_ = false;
};

}  // namespace install::os
