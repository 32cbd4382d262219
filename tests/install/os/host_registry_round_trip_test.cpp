// REGEDIT4 text written by the host registry reads back into the same keys
// and values, byte for byte, whatever the names and data hold.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "install/os/host/host_registry.h"

namespace install::os {
namespace {

constexpr uint32_t kRoots[] = {kHkeyClassesRoot, kHkeyCurrentUser, kHkeyLocalMachine,
                               kHkeyUsers,       kHkeyCurrentConfig, kHkeyDynData};

// Characters that REGEDIT4 text treats specially, plus ordinary and 8-bit ones.
constexpr char kNameCharacters[] = "abcXYZ019 _-.[]\"\\;@=#,:()\t\xE9\xFF";

class RandomRegistry {
 public:
  explicit RandomRegistry(uint32_t seed) : random_(seed) {}

  std::string Name(bool key_name) {
    std::string name;
    std::size_t length = 1 + Below(12);
    for (std::size_t i = 0; i < length; ++i) {
      char c = kNameCharacters[Below(sizeof kNameCharacters - 1)];
      if (key_name && c == '\\') c = '/';  // "\" separates key names
      name += c;
    }
    return name;
  }

  RegistryData Data() {
    static constexpr uint32_t kTypes[] = {kRegTypeSz, kRegTypeSz,        kRegTypeExpandSz,
                                          kRegTypeBinary, kRegTypeDword, kRegTypeDwordBigEndian,
                                          kRegTypeMultiSz, kRegNone,     11, 0xFFFFFFFFu};
    RegistryData data;
    data.type = kTypes[Below(std::size(kTypes))];
    std::size_t size = Below(4) == 0 ? 4 : Below(40);
    for (std::size_t i = 0; i < size; ++i) {
      data.bytes.push_back(Below(3) == 0 ? static_cast<uint8_t>(Below(256))
                                         : static_cast<uint8_t>(Name(false)[0]));
    }
    if (data.type == kRegTypeSz && Below(2) == 0) data.bytes.push_back(0);  // a proper text
    return data;
  }

  void Fill(HostRegistry& registry) {
    std::vector<std::pair<uint32_t, std::string>> keys;
    for (int i = 0; i < 60; ++i) {
      uint32_t root = kRoots[Below(std::size(kRoots))];
      std::string path;
      if (!keys.empty() && Below(2) == 0) {
        const auto& parent = keys[Below(keys.size())];
        root = parent.first;
        path = parent.second + "\\";
      }
      path += Name(true);
      auto key = registry.CreateKey(root, path, nullptr);
      ASSERT_TRUE(key) << path;
      keys.emplace_back(root, path);
      for (std::size_t v = Below(5); v > 0; --v) {
        std::string name = Below(6) == 0 ? std::string() : Name(false);
        RegistryData data = Data();
        ASSERT_TRUE(key->SetValue(name, data.type, data.bytes));
      }
    }
    // Values on a root key.
    auto root = registry.CreateKey(kHkeyUsers, "", nullptr);
    ASSERT_TRUE(root);
    ASSERT_TRUE(root->SetValue("at the root", kRegTypeSz, {'x', 0}));
  }

 private:
  std::size_t Below(std::size_t bound) { return std::uniform_int_distribution<std::size_t>(0, bound - 1)(random_); }
  std::mt19937 random_;
};

// Every key and value under `key`, compared with the same key of `other`.
void ExpectSameTree(RegistryKey& key, RegistryKey& other, const std::string& where) {
  EXPECT_EQ(key.ValueNames(), other.ValueNames()) << where;
  for (const std::string& name : key.ValueNames()) {
    RegistryData a;
    RegistryData b;
    ASSERT_TRUE(key.QueryValue(name, &a)) << where << " " << name;
    ASSERT_TRUE(other.QueryValue(name, &b)) << where << " " << name;
    EXPECT_EQ(a.type, b.type) << where << " " << name;
    EXPECT_EQ(a.bytes, b.bytes) << where << " " << name;
  }
  ASSERT_EQ(key.SubKeyNames(), other.SubKeyNames()) << where;
}

void ExpectSameRegistry(HostRegistry& a, HostRegistry& b) {
  std::vector<std::pair<uint32_t, std::string>> pending;
  for (uint32_t root : kRoots) pending.emplace_back(root, "");
  while (!pending.empty()) {
    auto [root, path] = pending.back();
    pending.pop_back();
    auto key_a = a.OpenKey(root, path);
    auto key_b = b.OpenKey(root, path);
    ASSERT_TRUE(key_a && key_b) << path;
    ExpectSameTree(*key_a, *key_b, std::string(RegistryRootName(root)) + "\\" + path);
    for (const std::string& child : key_a->SubKeyNames()) {
      pending.emplace_back(root, path.empty() ? child : path + "\\" + child);
    }
  }
}

TEST(HostRegistryRoundTripTest, SavedTextLoadsBackIntoTheSameRegistry) {
  for (uint32_t seed = 1; seed <= 20; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    HostRegistry original;
    RandomRegistry random(seed);
    random.Fill(original);
    const std::string text = original.SaveRegedit4();

    HostRegistry copy;
    ASSERT_TRUE(copy.LoadRegedit4(text));
    ExpectSameRegistry(original, copy);
    EXPECT_EQ(copy.SaveRegedit4(), text);
  }
}

TEST(HostRegistryRoundTripTest, LoadingOverExistingKeysReplacesValuesAndKeepsTheRest) {
  HostRegistry registry;
  auto key = registry.CreateKey(kHkeyCurrentUser, "Software\\Q", nullptr);
  ASSERT_TRUE(key);
  key->SetValue("Keep", kRegTypeDword, {1, 0, 0, 0});
  key->SetValue("Change", kRegTypeSz, {'a', 0});
  ASSERT_TRUE(registry.LoadRegedit4("REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\SOFTWARE\\q]\r\n"
                                    "\"CHANGE\"=hex:02\r\n"));
  RegistryData data;
  ASSERT_TRUE(key->QueryValue("Keep", &data));
  EXPECT_EQ(data.bytes, (std::vector<uint8_t>{1, 0, 0, 0}));
  ASSERT_TRUE(key->QueryValue("change", &data));
  EXPECT_EQ(data.type, kRegTypeBinary);
  EXPECT_EQ(data.bytes, (std::vector<uint8_t>{2}));
  // Keys and values keep their first spelling.
  EXPECT_EQ(registry.SaveRegedit4(),
            "REGEDIT4\r\n\r\n"
            "[HKEY_CURRENT_USER\\Software]\r\n\r\n"
            "[HKEY_CURRENT_USER\\Software\\Q]\r\n"
            "\"Change\"=hex:02\r\n"
            "\"Keep\"=dword:00000001\r\n\r\n");
}

}  // namespace
}  // namespace install::os
