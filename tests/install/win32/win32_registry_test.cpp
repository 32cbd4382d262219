// The registry seam and a registry block applied to the real registry under
// Wine, below HKEY_CURRENT_USER\Software\QuillmarshTest (removed afterwards).
#include "install/os/win32/win32_registry.h"

#include "install/os/win32/windows_api.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "install/sysedit/registry_apply.h"

namespace install::os {
namespace {

constexpr char kTestKey[] = "Software\\QuillmarshTest";

script::RegistryValue Value(uint32_t type, script::RegistryValueOperation operation,
                            std::optional<std::string> name, std::string data) {
  script::RegistryValue value;
  value.type = type;
  value.operation = operation;
  value.name = std::move(name);
  if (type == script::kRegBinary) value.binary = script::BinaryDigitsToBytes(data);
  value.data = std::move(data);
  return value;
}

// Reads a value through advapi32 directly, not through the seam.
bool ReadRaw(const std::string& path, const char* name, DWORD* type, std::vector<BYTE>* bytes) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return false;
  }
  BYTE buffer[256];
  DWORD size = sizeof buffer;
  LONG result = RegQueryValueExA(key, name, nullptr, type, buffer, &size);
  RegCloseKey(key);
  if (result != ERROR_SUCCESS) return false;
  bytes->assign(buffer, buffer + size);
  return true;
}

class Win32RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override { RemoveTestKeys(); }
  void TearDown() override {
    RemoveTestKeys();
    HKEY key = nullptr;
    EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, kTestKey, 0, KEY_READ, &key), ERROR_SUCCESS);
  }
  static void RemoveTestKeys() {
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\QuillmarshTest\\Product\\Sub");
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\QuillmarshTest\\Product");
    RegDeleteKeyA(HKEY_CURRENT_USER, kTestKey);
  }
  Win32Registry registry_;
};

TEST_F(Win32RegistryTest, SeamCreatesQueriesEnumeratesAndDeletes) {
  bool created = false;
  auto key = registry_.CreateKey(kHkeyCurrentUser, "Software\\QuillmarshTest\\Product", &created);
  ASSERT_NE(key, nullptr);
  EXPECT_TRUE(created);
  EXPECT_TRUE(key->SetValue("", kRegTypeSz, {'d', 0}));
  EXPECT_TRUE(key->SetValue("Empty", kRegTypeBinary, {}));
  RegistryData data;
  ASSERT_TRUE(key->QueryValue("", &data));
  EXPECT_EQ(data.bytes, (std::vector<uint8_t>{'d', 0}));
  ASSERT_TRUE(key->QueryValue("EMPTY", &data));
  EXPECT_EQ(data.type, kRegTypeBinary);
  EXPECT_TRUE(data.bytes.empty());
  EXPECT_EQ(key->ValueNames().size(), 2u);

  auto again = registry_.CreateKey(kHkeyCurrentUser, "software\\quillmarshtest\\PRODUCT", &created);
  ASSERT_NE(again, nullptr);
  EXPECT_FALSE(created);
  EXPECT_TRUE(registry_.CreateKey(kHkeyCurrentUser, "Software\\QuillmarshTest\\Product\\Sub", nullptr));
  EXPECT_EQ(again->SubKeyNames(), std::vector<std::string>{"Sub"});
  EXPECT_TRUE(again->DeleteValue("empty"));
  EXPECT_FALSE(again->DeleteValue("empty"));

  EXPECT_EQ(registry_.OpenKey(kHkeyCurrentUser, "Software\\QuillmarshTest\\Missing"), nullptr);
  EXPECT_EQ(registry_.OpenKey(0x12345678u, "Software"), nullptr);
  EXPECT_TRUE(registry_.DeleteKey(kHkeyCurrentUser, "Software\\QuillmarshTest\\Product\\Sub"));
  EXPECT_FALSE(registry_.DeleteKey(kHkeyCurrentUser, "Software\\QuillmarshTest\\Product\\Sub"));
}

TEST_F(Win32RegistryTest, BlockIsAppliedToTheRealRegistry) {
  using Op = script::RegistryValueOperation;
  script::MacroValues macros;
  macros.default_dir = "C:\\APP";
  script::RegistryBlock block;
  block.root = kHkeyCurrentUser;
  block.root_name = "HKEY_CURRENT_USER";
  block.operation = script::RegistryKeyOperation::New;
  block.key_path = "Software\\QuillmarshTest\\Product";
  block.values = {
      Value(script::kRegSz, Op::New, "Path", "$DEFAULTDIR$\\bin"),
      Value(script::kRegDword, Op::New, "Count", "0x10"),
      Value(script::kRegBinary, Op::New, "Bits", "0000000111111111"),
      Value(script::kRegDword, Op::Increment, "Runs", "1"),
      Value(script::kRegSz, Op::New, "Old", "moved"),
  };
  script::RegistryValue rename = Value(script::kRegSz, Op::Rename, "Old", "");
  rename.new_name = std::nullopt;  // the unnamed value
  block.values.push_back(rename);

  sysedit::ApplyRegistryBlock(block, registry_, macros);
  ASSERT_EQ(block.created_keys.size(), 2u);
  EXPECT_EQ(block.created_keys[0].second, "Software\\QuillmarshTest");
  EXPECT_EQ(block.created_keys[1].second, "Software\\QuillmarshTest\\Product");

  const std::string path = "Software\\QuillmarshTest\\Product";
  DWORD type = 0;
  std::vector<BYTE> bytes;
  ASSERT_TRUE(ReadRaw(path, "Path", &type, &bytes));
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), std::string("C:\\APP\\bin", 11));
  ASSERT_TRUE(ReadRaw(path, "Count", &type, &bytes));
  EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(bytes, (std::vector<BYTE>{16, 0, 0, 0}));
  ASSERT_TRUE(ReadRaw(path, "Bits", &type, &bytes));
  EXPECT_EQ(bytes, (std::vector<BYTE>{0x01, 0xFF}));
  ASSERT_TRUE(ReadRaw(path, "Runs", &type, &bytes));
  EXPECT_EQ(bytes, (std::vector<BYTE>{1, 0, 0, 0}));
  EXPECT_FALSE(ReadRaw(path, "Old", &type, &bytes));
  ASSERT_TRUE(ReadRaw(path, nullptr, &type, &bytes));
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), std::string("moved", 6));

  // Applied again: the keys exist, INCREMENT counts on, NEW leaves values.
  macros.default_dir = "D:\\ELSEWHERE";
  sysedit::ApplyRegistryBlock(block, registry_, macros);
  EXPECT_TRUE(block.created_keys.empty());
  ASSERT_TRUE(ReadRaw(path, "Runs", &type, &bytes));
  EXPECT_EQ(bytes, (std::vector<BYTE>{2, 0, 0, 0}));
  ASSERT_TRUE(ReadRaw(path, "Path", &type, &bytes));
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), std::string("C:\\APP\\bin", 11));

  // KEY DELETE removes the leaf key.
  script::RegistryBlock remove;
  remove.root = kHkeyCurrentUser;
  remove.root_name = "HKEY_CURRENT_USER";
  remove.operation = script::RegistryKeyOperation::Delete;
  remove.key_path = path;
  sysedit::ApplyRegistryBlock(remove, registry_, macros);
  EXPECT_EQ(registry_.OpenKey(kHkeyCurrentUser, path), nullptr);
  EXPECT_NE(registry_.OpenKey(kHkeyCurrentUser, kTestKey), nullptr);
}

}  // namespace
}  // namespace install::os
