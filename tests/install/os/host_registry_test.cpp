#include "install/os/host/host_registry.h"

#include <gtest/gtest.h>

namespace install::os {
namespace {

std::vector<uint8_t> Bytes(std::string_view text, bool zero = true) {
  std::vector<uint8_t> bytes(text.begin(), text.end());
  if (zero) bytes.push_back(0);
  return bytes;
}

TEST(HostRegistryTest, KeysAndValuesAreFoundRegardlessOfCaseAndKeepTheirSpelling) {
  HostRegistry registry;
  bool created = false;
  auto key = registry.CreateKey(kHkeyCurrentUser, "Software\\Maker\\Product", &created);
  ASSERT_TRUE(key);
  EXPECT_TRUE(created);
  ASSERT_TRUE(key->SetValue("Path", kRegTypeSz, Bytes("C:\\APP")));

  auto again = registry.CreateKey(kHkeyCurrentUser, "SOFTWARE\\maker\\PRODUCT", &created);
  ASSERT_TRUE(again);
  EXPECT_FALSE(created);
  RegistryData data;
  ASSERT_TRUE(again->QueryValue("PATH", &data));
  EXPECT_EQ(data.type, kRegTypeSz);
  EXPECT_EQ(data.bytes, Bytes("C:\\APP"));
  EXPECT_EQ(again->ValueNames(), std::vector<std::string>{"Path"});

  auto parent = registry.OpenKey(kHkeyCurrentUser, "software");
  ASSERT_TRUE(parent);
  EXPECT_EQ(parent->SubKeyNames(), std::vector<std::string>{"Maker"});
  // The same path under another root is another key.
  EXPECT_FALSE(registry.OpenKey(kHkeyLocalMachine, "Software\\Maker"));
  EXPECT_FALSE(registry.OpenKey(0x80000004u, "Software"));  // not a root
  EXPECT_FALSE(registry.CreateKey(kHkeyCurrentUser, "A\\\\B", nullptr));  // empty level
}

TEST(HostRegistryTest, DeletingKeysAndValues) {
  HostRegistry registry;
  auto key = registry.CreateKey(kHkeyLocalMachine, "A\\B", nullptr);
  ASSERT_TRUE(key);
  ASSERT_TRUE(key->SetValue("", kRegTypeSz, Bytes("default")));
  EXPECT_FALSE(key->DeleteValue("missing"));
  EXPECT_TRUE(key->DeleteValue(""));
  RegistryData data;
  EXPECT_FALSE(key->QueryValue("", &data));

  EXPECT_FALSE(registry.DeleteKey(kHkeyLocalMachine, "A"));  // has a subkey
  EXPECT_FALSE(registry.DeleteKey(kHkeyLocalMachine, ""));   // the root
  EXPECT_TRUE(registry.DeleteKey(kHkeyLocalMachine, "a\\b"));
  EXPECT_FALSE(registry.DeleteKey(kHkeyLocalMachine, "A\\B"));  // gone already
  // The key still open fails rather than writing into nowhere.
  EXPECT_FALSE(key->SetValue("x", kRegTypeSz, Bytes("y")));
  EXPECT_TRUE(registry.DeleteKey(kHkeyLocalMachine, "A"));
}

TEST(HostRegistryTest, ReadOnlyRefusesChangesButOpensExistingKeys) {
  HostRegistry registry;
  auto key = registry.CreateKey(kHkeyCurrentUser, "Software", nullptr);
  ASSERT_TRUE(key);
  registry.set_read_only(true);
  bool created = true;
  EXPECT_TRUE(registry.CreateKey(kHkeyCurrentUser, "Software", &created));
  EXPECT_FALSE(created);
  EXPECT_FALSE(registry.CreateKey(kHkeyCurrentUser, "Software\\New", nullptr));
  EXPECT_FALSE(key->SetValue("v", kRegTypeSz, Bytes("x")));
  EXPECT_FALSE(registry.DeleteKey(kHkeyCurrentUser, "Software"));
  EXPECT_EQ(registry.OpenKey(kHkeyCurrentUser, "Software\\New"), nullptr);
}

TEST(HostRegistryTest, Regedit4RoundTripKeepsTypesBytesAndSpelling) {
  HostRegistry registry;
  auto key = registry.CreateKey(kHkeyLocalMachine, "SOFTWARE\\Maker\\Product 1.0", nullptr);
  ASSERT_TRUE(key);
  key->SetValue("", kRegTypeSz, Bytes("C:\\Program \"Files\""));
  key->SetValue("Count", kRegTypeDword, {0x10, 0, 0, 0x80});
  key->SetValue("Bits", kRegTypeBinary, {0x01, 0xFF});
  key->SetValue("Expand", kRegTypeExpandSz, Bytes("%WINDIR%\\x"));
  key->SetValue("List", kRegTypeMultiSz, {'a', 0, 'b', 0, 0});
  key->SetValue("Short", kRegTypeDword, {0x05});                 // not 4 bytes
  key->SetValue("Unended", kRegTypeSz, Bytes("abc", false));     // no zero byte
  key->SetValue("Lines", kRegTypeSz, Bytes("one\r\ntwo"));        // line break inside
  key->SetValue("Empty", kRegTypeBinary, {});
  key->SetValue("Qword", 11, {1, 2, 3, 4, 5, 6, 7, 8});         // type numbers are hex
  registry.CreateKey(kHkeyCurrentUser, "Empty\\Key", nullptr);

  std::string text = registry.SaveRegedit4();
  EXPECT_EQ(text.rfind("REGEDIT4\r\n\r\n", 0), 0u);
  EXPECT_NE(text.find("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Maker\\Product 1.0]\r\n"), std::string::npos);
  EXPECT_NE(text.find("@=\"C:\\\\Program \\\"Files\\\"\"\r\n"), std::string::npos);
  EXPECT_NE(text.find("\"Count\"=dword:80000010\r\n"), std::string::npos);
  EXPECT_NE(text.find("\"Bits\"=hex:01,ff\r\n"), std::string::npos);
  EXPECT_NE(text.find("\"Expand\"=hex(2):25,"), std::string::npos);
  EXPECT_NE(text.find("\"Short\"=hex(4):05\r\n"), std::string::npos);
  EXPECT_NE(text.find("\"Qword\"=hex(b):01,02,03,04,05,06,07,08\r\n"), std::string::npos);

  HostRegistry copy;
  ASSERT_TRUE(copy.LoadRegedit4(text));
  EXPECT_EQ(copy.SaveRegedit4(), text);
  auto loaded = copy.OpenKey(kHkeyLocalMachine, "software\\maker\\product 1.0");
  ASSERT_TRUE(loaded);
  RegistryData data;
  ASSERT_TRUE(loaded->QueryValue("list", &data));
  EXPECT_EQ(data.type, kRegTypeMultiSz);
  EXPECT_EQ(data.bytes, (std::vector<uint8_t>{'a', 0, 'b', 0, 0}));
  ASSERT_TRUE(loaded->QueryValue("Unended", &data));
  EXPECT_EQ(data.bytes, Bytes("abc", false));
  ASSERT_TRUE(loaded->QueryValue("Lines", &data));
  EXPECT_EQ(data.bytes, Bytes("one\r\ntwo"));
  EXPECT_TRUE(copy.OpenKey(kHkeyCurrentUser, "Empty\\Key"));
}

TEST(HostRegistryTest, LoadsHandWrittenTextWithContinuationsAndComments) {
  HostRegistry registry;
  ASSERT_TRUE(registry.LoadRegedit4(
      "REGEDIT4\n"
      "\n"
      "; made by hand\n"
      "[hkey_current_user\\Software\\X]\n"
      "\"Data\"=hex:01,02,\\\n"
      "  03,04\n"
      "\"N\"=DWORD:0000000A\n"
      "\"Type\"=hex(7):61,00,00\n"));
  auto key = registry.OpenKey(kHkeyCurrentUser, "Software\\X");
  ASSERT_TRUE(key);
  RegistryData data;
  ASSERT_TRUE(key->QueryValue("Data", &data));
  EXPECT_EQ(data.bytes, (std::vector<uint8_t>{1, 2, 3, 4}));
  ASSERT_TRUE(key->QueryValue("N", &data));
  EXPECT_EQ(data.bytes, (std::vector<uint8_t>{10, 0, 0, 0}));
  ASSERT_TRUE(key->QueryValue("Type", &data));
  EXPECT_EQ(data.type, kRegTypeMultiSz);
}

TEST(HostRegistryTest, RejectsMalformedText) {
  const char* bad[] = {
      "",                                              // no header
      "REGEDIT5\n[HKEY_USERS\\A]\n",                   // wrong header
      "REGEDIT4\n\"v\"=\"x\"\n",                       // value before any key
      "REGEDIT4\n[HKEY_NOWHERE\\A]\n",                 // unknown root
      "REGEDIT4\n[HKEY_USERS\\A\n",                    // unclosed section
      "REGEDIT4\n[HKEY_USERS\\A]\n\"v\"=hex:1g\n",     // bad hex digit
      "REGEDIT4\n[HKEY_USERS\\A]\n\"v\"=dword:123456789\n",  // nine digits
      "REGEDIT4\n[HKEY_USERS\\A]\n\"v\"=\"open\n",     // unclosed text
      "REGEDIT4\n[HKEY_USERS\\A]\n\"v\"\n",            // no "="
  };
  for (const char* text : bad) {
    HostRegistry registry;
    EXPECT_FALSE(registry.LoadRegedit4(text)) << text;
  }
}

std::string LevelsPath(size_t levels) {
  std::string path;
  for (size_t i = 0; i < levels; ++i) path += (i ? "\\K" : "K") + std::to_string(i % 10);
  return path;
}

TEST(HostRegistryTest, KeysNestAsDeepAsTheSystemAllowsAndNoDeeper) {
  HostRegistry registry;
  // 512 levels below the root are the limit: the last one is created and
  // survives a save and a load, one more is refused.
  ASSERT_TRUE(registry.CreateKey(kHkeyLocalMachine, LevelsPath(kMaxRegistryDepth), nullptr));
  EXPECT_FALSE(registry.CreateKey(kHkeyLocalMachine, LevelsPath(kMaxRegistryDepth + 1), nullptr));
  EXPECT_FALSE(registry.OpenKey(kHkeyLocalMachine, LevelsPath(kMaxRegistryDepth + 1)));
  const std::string saved = registry.SaveRegedit4();
  HostRegistry loaded;
  ASSERT_TRUE(loaded.LoadRegedit4(saved));
  EXPECT_TRUE(loaded.OpenKey(kHkeyLocalMachine, LevelsPath(kMaxRegistryDepth)));
  EXPECT_EQ(loaded.SaveRegedit4(), saved);

  // A text nesting far deeper is refused at that line, without exhausting
  // the stack on loading, saving or letting the registry go.
  HostRegistry deep;
  EXPECT_FALSE(deep.LoadRegedit4("REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\" + LevelsPath(200000) + "]\r\n"));
  EXPECT_FALSE(deep.OpenKey(kHkeyLocalMachine, "K0"));
  EXPECT_EQ(deep.SaveRegedit4().size(), 12u);  // "REGEDIT4" and an empty line
}

}  // namespace
}  // namespace install::os
