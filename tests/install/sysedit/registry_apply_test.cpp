#include "install/sysedit/registry_apply.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "install/os/host/host_machine.h"
#include "install/os/host/host_registry.h"
#include "install/script/script_cursor.h"
#include "tests/support/fixture_builder.h"

namespace install::sysedit {
namespace {

using os::RegistryData;

std::vector<uint8_t> Text(std::string_view text) {
  std::vector<uint8_t> bytes(text.begin(), text.end());
  bytes.push_back(0);
  return bytes;
}

std::vector<uint8_t> Dword(uint32_t n) {
  return {static_cast<uint8_t>(n), static_cast<uint8_t>(n >> 8), static_cast<uint8_t>(n >> 16),
          static_cast<uint8_t>(n >> 24)};
}

class RegistryApplyTest : public ::testing::Test {
 protected:
  void SetUp() override { macros_.default_dir = "C:\\APP"; }

  // Parses "BEGINREGISTRY" section lines (without the ENDREGISTRY line).
  script::RegistryBlock Block(std::vector<std::string> lines) {
    lines.push_back("ENDREGISTRY");
    std::size_t next = 0;
    script::ScriptCursor cursor;
    script::RegistryBlock block;
    int consumed = 0;
    int result = script::ParseRegistrySection(
        cursor,
        [&](std::string& line) {
          if (next == lines.size()) return 0;
          line = lines[next++];
          return 1;
        },
        &consumed, &block);
    EXPECT_EQ(result, 1) << cursor.Line();
    return block;
  }

  script::RegistryBlock Apply(std::vector<std::string> lines) {
    script::RegistryBlock block = Block(std::move(lines));
    ApplyRegistryBlock(block, registry_, macros_);
    return block;
  }

  // Applies VALUE lines to HKEY_CURRENT_USER\Software\T.
  void ApplyValues(const std::vector<std::string>& value_lines) {
    std::vector<std::string> lines = {"KEY NEW \"HKEY_CURRENT_USER\\Software\\T\""};
    lines.insert(lines.end(), value_lines.begin(), value_lines.end());
    Apply(lines);
  }

  void Set(const std::string& name, uint32_t type, const std::vector<uint8_t>& bytes) {
    auto key = registry_.CreateKey(os::kHkeyCurrentUser, "Software\\T", nullptr);
    ASSERT_TRUE(key);
    ASSERT_TRUE(key->SetValue(name, type, bytes));
  }

  // The value of HKEY_CURRENT_USER\Software\T, or type kRegNone when missing.
  RegistryData Get(const std::string& name) {
    RegistryData data;
    auto key = registry_.OpenKey(os::kHkeyCurrentUser, "Software\\T");
    if (!key || !key->QueryValue(name, &data)) return {};
    return data;
  }

  os::HostRegistry registry_;
  script::MacroValues macros_;
};

TEST_F(RegistryApplyTest, NewKeyRecordsEachCreatedLevelAndLogsDeepestFirst) {
  registry_.CreateKey(os::kHkeyCurrentUser, "Software", nullptr);
  test_support::TempDir dir;
  os::HostMachine machine;
  machine.MapDrive('C', dir.path(), os::DriveType::Fixed);
  ASSERT_TRUE(machine.CreateDirectory("C:\\APP"));
  sysedit::InstallLog log(machine);
  log.set_enabled(true);
  log.SetLogPath("C:\\APP");

  std::vector<script::RegistryBlock> blocks;
  blocks.push_back(Block({"KEY NEW \"HKEY_CURRENT_USER\\Software\\A\\B\"",
                          "VALUE DWORD NEW \"N\" \"1\""}));
  blocks.push_back(Block({"KEY NEW \"hkey_current_user\\software\\a\\b\"",
                          "VALUE DWORD NEW \"M\" \"2\""}));
  ApplyRegistryBlocks(blocks, registry_, macros_, log);
  EXPECT_TRUE(blocks.empty());

  auto bytes = test_support::ReadLocalFile(dir.path() / "APP" / "install.log");
  ASSERT_TRUE(bytes);
  // The second block found every level in place: no entries, values applied.
  EXPECT_EQ(std::string(bytes->begin(), bytes->end()),
            "REGKEY: \"HKEY_CURRENT_USER\", \"Software\\A\\B\"\r\n"
            "REGKEY: \"HKEY_CURRENT_USER\", \"Software\\A\"\r\n");
  auto key = registry_.OpenKey(os::kHkeyCurrentUser, "Software\\A\\B");
  ASSERT_TRUE(key);
  RegistryData data;
  ASSERT_TRUE(key->QueryValue("M", &data));
  EXPECT_EQ(data.bytes, Dword(2));
  EXPECT_EQ(key->ValueNames().size(), 2u);
}

TEST_F(RegistryApplyTest, KeyPathLevelsAndCreatedKeyLimit) {
  script::RegistryBlock block = Apply({"KEY NEW \"HKEY_USERS\\X\\\\Y\\\""});  // "X\\Y\"
  EXPECT_EQ(block.created_keys,
            (std::vector<std::pair<std::string, std::string>>{{"HKEY_USERS", "X"},
                                                              {"HKEY_USERS", "X\\Y"}}));
  std::string deep;
  for (int i = 0; i < 55; ++i) deep += "\\L" + std::to_string(i);
  block = Apply({"KEY NEW \"HKEY_USERS" + deep + "\""});
  EXPECT_EQ(block.created_keys.size(), kMaxCreatedRegistryKeys);
  EXPECT_TRUE(registry_.OpenKey(os::kHkeyUsers, deep.substr(1)));  // all 55 levels exist
}

TEST_F(RegistryApplyTest, KeysThatCannotBeCreatedSkipTheValuesSilently) {
  registry_.CreateKey(os::kHkeyLocalMachine, "SOFTWARE", nullptr);
  registry_.set_read_only(true);
  script::RegistryBlock block = Apply({"KEY NEW \"HKEY_LOCAL_MACHINE\\SOFTWARE\\Maker\"",
                                       "VALUE STRING NEW \"a\" \"b\""});
  EXPECT_TRUE(block.created_keys.empty());
  registry_.set_read_only(false);
  EXPECT_FALSE(registry_.OpenKey(os::kHkeyLocalMachine, "SOFTWARE\\Maker"));
}

TEST_F(RegistryApplyTest, QueryDeleteAndRenameOfKeys) {
  // QUERY on a missing key: nothing is created.
  Apply({"KEY QUERY \"HKEY_CURRENT_USER\\Software\\T\"", "VALUE DWORD NEW \"n\" \"1\""});
  EXPECT_FALSE(registry_.OpenKey(os::kHkeyCurrentUser, "Software\\T"));

  Set("n", os::kRegTypeDword, Dword(5));
  Apply({"KEY QUERY \"HKEY_CURRENT_USER\\Software\\T\"", "VALUE DWORD INCREMENT \"n\" \"1\""});
  EXPECT_EQ(Get("n").bytes, Dword(6));

  // RENAME changes nothing, not even the values.
  Apply({"KEY RENAME \"HKEY_CURRENT_USER\\Software\\T\" \"U\"", "VALUE DWORD INCREMENT \"n\" \"1\""});
  EXPECT_EQ(Get("n").bytes, Dword(6));
  EXPECT_FALSE(registry_.OpenKey(os::kHkeyCurrentUser, "Software\\U"));

  // DELETE of a key with subkeys fails silently; of a leaf key removes it.
  Apply({"KEY DELETE \"HKEY_CURRENT_USER\\Software\"", "VALUE DWORD NEW \"z\" \"1\""});
  EXPECT_TRUE(registry_.OpenKey(os::kHkeyCurrentUser, "Software\\T"));
  Apply({"KEY DELETE \"HKEY_CURRENT_USER\\SOFTWARE\\t\""});
  EXPECT_FALSE(registry_.OpenKey(os::kHkeyCurrentUser, "Software\\T"));
  EXPECT_TRUE(registry_.OpenKey(os::kHkeyCurrentUser, "Software"));
  Apply({"KEY DELETE \"HKEY_CURRENT_USER\\Software\\Missing\""});  // no error
}

TEST_F(RegistryApplyTest, StringNewExpandsMacrosAndLeavesAnExistingValue) {
  macros_.dir2 = "D:\\$DIR2$";  // a value holding a macro name is not expanded again
  ApplyValues({"VALUE STRING NEW \"Path\" \"$DEFAULTDIR$\\bin\"",
               "VALUE STRING NEW \"$DIR2$\" \"x\"",
               "VALUE REG_EXPAND_SZ NEW \"Cost\" \"$5 and $defaultdir$ %WINDIR% $\"",
               "VALUE STRING NEW \"DEFAULT\" \"unnamed\"",
               "VALUE DWORD NEW \"$SOURCEDIR$\" \"$SOURCEDIR$\""});
  EXPECT_EQ(Get("Path").bytes, Text("C:\\APP\\bin"));
  EXPECT_EQ(Get("Path").type, os::kRegTypeSz);
  EXPECT_EQ(Get("D:\\$DIR2$").bytes, Text("x"));
  EXPECT_EQ(Get("Cost").bytes, Text("$5 and C:\\APP %WINDIR% $"));
  EXPECT_EQ(Get("Cost").type, os::kRegTypeExpandSz);
  EXPECT_EQ(Get("").bytes, Text("unnamed"));
  EXPECT_EQ(Get("").type, os::kRegTypeSz);

  macros_.default_dir = "E:\\OTHER";
  ApplyValues({"VALUE STRING NEW \"Path\" \"$DEFAULTDIR$\\bin\""});
  EXPECT_EQ(Get("Path").bytes, Text("C:\\APP\\bin"));
  // REPLACE writes whatever was there, with its own type.
  ApplyValues({"VALUE DWORD REPLACE \"Path\" \"7\""});
  EXPECT_EQ(Get("Path").type, os::kRegTypeDword);
  EXPECT_EQ(Get("Path").bytes, Dword(7));
  ApplyValues({"VALUE STRING DELETE \"Path\"", "VALUE STRING DELETE \"Missing\""});
  EXPECT_EQ(Get("Path").type, os::kRegNone);
}

TEST_F(RegistryApplyTest, ExpandedTextsAreCutToTheirCapacity) {
  macros_.default_dir = std::string(400, 'd');
  std::string data = std::string(300, 'x') + "$DEFAULTDIR$$DEFAULTDIR$";
  ApplyValues({"VALUE STRING NEW \"Long\" \"" + data + "\""});
  std::vector<uint8_t> expected(300, 'x');
  expected.insert(expected.end(), kRegistryTextCapacity - 300, 'd');
  expected.push_back(0);
  EXPECT_EQ(Get("Long").bytes, expected);
}

TEST_F(RegistryApplyTest, DataTypesAndTheirStoredBytes) {
  ApplyValues({"VALUE DWORD NEW \"hex\" \"0x10\"",
               "VALUE REG_DWORD NEW \"octal\" \"010\"",
               "VALUE DWORD NEW \"junk\" \"12abc\"",
               "VALUE REG_DWORD_BIG_ENDIAN NEW \"big\" \"0x01020304\"",
               "VALUE BINARY NEW \"bin\" \"0000000111111111\"",
               "VALUE REG_BINARY NEW \"cut\" \"1111111100000000\"",
               "VALUE BINARY NEW \"short\" \"101\"",
               "VALUE REG_MULTI_SZ NEW \"multi\" \"one\"",
               "VALUE REG_LINK NEW \"link\" \"x\"",
               "VALUE REG_RESOURCE_LIST NEW \"res\" \"x\"",
               "VALUE REG_FULL_RESOURCE_DESCRIPTOR NEW \"full\" \"x\""});
  EXPECT_EQ(Get("hex").bytes, Dword(16));
  EXPECT_EQ(Get("octal").bytes, Dword(8));
  EXPECT_EQ(Get("junk").bytes, Dword(12));
  EXPECT_EQ(Get("big").type, os::kRegTypeDwordBigEndian);
  EXPECT_EQ(Get("big").bytes, (std::vector<uint8_t>{1, 2, 3, 4}));
  EXPECT_EQ(Get("bin").type, os::kRegTypeBinary);
  EXPECT_EQ(Get("bin").bytes, (std::vector<uint8_t>{0x01, 0xFF}));
  EXPECT_EQ(Get("cut").bytes, (std::vector<uint8_t>{0xFF}));
  EXPECT_EQ(Get("short").bytes, (std::vector<uint8_t>{5}));
  EXPECT_EQ(Get("multi").bytes, (std::vector<uint8_t>{'o', 'n', 'e', 0, 0}));
  EXPECT_EQ(Get("link").type, os::kRegNone);
  EXPECT_EQ(Get("res").type, os::kRegNone);
  EXPECT_EQ(Get("full").type, os::kRegNone);

  // REPLACE with a type that writes nothing leaves the value deleted.
  ApplyValues({"VALUE REG_LINK REPLACE \"hex\" \"x\""});
  EXPECT_EQ(Get("hex").type, os::kRegNone);
}

TEST_F(RegistryApplyTest, NumbersAreReadLikeTheCLibraryDoes) {
  struct Case {
    const char* text;
    int base;
    uint32_t expected;
  } cases[] = {
      {"0x10", 0, 16},         {"0X1f", 0, 31},         {"010", 0, 8},
      {"09", 0, 0},            {"0x", 0, 0},            {"  42", 0, 42},
      {"+7", 0, 7},            {"-1", 0, 0xFFFFFFFFu},  {"4294967295", 0, 0xFFFFFFFFu},
      {"4294967296", 0, 0xFFFFFFFFu}, {"99999999999999999999", 0, 0xFFFFFFFFu},
      {"", 0, 0},              {"abc", 0, 0},           {"1012", 2, 5},
      {"0x10", 2, 0},          {"11111111111111111111111111111111", 2, 0xFFFFFFFFu},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ParseRegistryNumber(c.text, c.base), c.expected) << c.text << " base " << c.base;
  }
}

TEST_F(RegistryApplyTest, IncrementMaxAndMin) {
  ApplyValues({"VALUE DWORD INCREMENT \"inc\" \"1\""});
  EXPECT_EQ(Get("inc").bytes, Dword(1));
  Set("inc", os::kRegTypeDword, Dword(5));
  ApplyValues({"VALUE DWORD INCREMENT \"inc\" \"1\""});
  EXPECT_EQ(Get("inc").bytes, Dword(6));
  Set("wrap", os::kRegTypeDword, Dword(0xFFFFFFFFu));
  ApplyValues({"VALUE DWORD INCREMENT \"wrap\" \"2\""});
  EXPECT_EQ(Get("wrap").bytes, Dword(1));

  Set("max", os::kRegTypeDword, Dword(7));
  Set("min", os::kRegTypeDword, Dword(7));
  ApplyValues({"VALUE DWORD MAX \"max\" \"3\"", "VALUE DWORD MIN \"min\" \"3\"",
               "VALUE DWORD MAX \"newmax\" \"3\"", "VALUE REG_DWORD_BIG_ENDIAN MIN \"newmin\" \"3\""});
  EXPECT_EQ(Get("max").bytes, Dword(7));
  EXPECT_EQ(Get("min").bytes, Dword(3));
  // Missing values are created with 0 and the type of their line.
  EXPECT_EQ(Get("newmax").bytes, Dword(0));
  EXPECT_EQ(Get("newmax").type, os::kRegTypeDword);
  EXPECT_EQ(Get("newmin").type, os::kRegTypeDwordBigEndian);

  // Comparison is unsigned: 0xFFFFFFFF is the largest.
  Set("big", os::kRegTypeDword, Dword(0xFFFFFFFFu));
  ApplyValues({"VALUE DWORD MAX \"big\" \"1\""});
  EXPECT_EQ(Get("big").bytes, Dword(0xFFFFFFFFu));
}

TEST_F(RegistryApplyTest, AdjustingKeepsTheExistingTypeAndItsReading) {
  // A BINARY value reads the data as binary digits and stays BINARY.
  Set("bin", os::kRegTypeBinary, {0x05});
  ApplyValues({"VALUE DWORD MAX \"bin\" \"1000\""});
  EXPECT_EQ(Get("bin").type, os::kRegTypeBinary);
  EXPECT_EQ(Get("bin").bytes, Dword(8));
  // A big-endian value is read and written big-endian.
  Set("be", os::kRegTypeDwordBigEndian, {0, 0, 1, 0});
  ApplyValues({"VALUE DWORD INCREMENT \"be\" \"1\""});
  EXPECT_EQ(Get("be").bytes, (std::vector<uint8_t>{0, 0, 1, 1}));
  // A text or a value longer than 4 bytes is not a number: left as it is.
  Set("text", os::kRegTypeSz, Text("7"));
  Set("long", os::kRegTypeBinary, {1, 2, 3, 4, 5});
  ApplyValues({"VALUE DWORD MAX \"text\" \"100\"", "VALUE DWORD INCREMENT \"long\" \"1\""});
  EXPECT_EQ(Get("text").bytes, Text("7"));
  EXPECT_EQ(Get("long").bytes, (std::vector<uint8_t>{1, 2, 3, 4, 5}));
}

TEST_F(RegistryApplyTest, RenameMovesTheValueWithItsType) {
  Set("Old", os::kRegTypeExpandSz, Text("%PATH%"));
  Set("Target", os::kRegTypeSz, Text("replaced"));
  ApplyValues({"VALUE STRING RENAME \"Old\" \"Target\""});
  EXPECT_EQ(Get("Old").type, os::kRegNone);
  EXPECT_EQ(Get("Target").type, os::kRegTypeExpandSz);
  EXPECT_EQ(Get("Target").bytes, Text("%PATH%"));

  ApplyValues({"VALUE STRING RENAME \"Target\" \"default\""});
  EXPECT_EQ(Get("").bytes, Text("%PATH%"));
  EXPECT_EQ(Get("Target").type, os::kRegNone);

  // A missing value: nothing happens (the new name is not deleted either).
  Set("Keep", os::kRegTypeSz, Text("k"));
  ApplyValues({"VALUE STRING RENAME \"Missing\" \"Keep\""});
  EXPECT_EQ(Get("Keep").bytes, Text("k"));
  // The same name in another spelling keeps the value.
  ApplyValues({"VALUE STRING RENAME \"keep\" \"KEEP\""});
  EXPECT_EQ(Get("Keep").bytes, Text("k"));
}

TEST_F(RegistryApplyTest, RenameLeavesOverLongValuesAndFailedWritesAlone) {
  std::vector<uint8_t> fits(kRegistryRenameCapacity, 'a');
  std::vector<uint8_t> too_long(kRegistryRenameCapacity + 1, 'b');
  Set("fits", os::kRegTypeBinary, fits);
  Set("long", os::kRegTypeBinary, too_long);
  ApplyValues({"VALUE BINARY RENAME \"fits\" \"fits2\"", "VALUE BINARY RENAME \"long\" \"long2\""});
  EXPECT_EQ(Get("fits2").bytes, fits);
  EXPECT_EQ(Get("long").bytes, too_long);
  EXPECT_EQ(Get("long2").type, os::kRegNone);

  registry_.set_read_only(true);
  Apply({"KEY QUERY \"HKEY_CURRENT_USER\\Software\\T\"", "VALUE BINARY RENAME \"fits2\" \"x\""});
  registry_.set_read_only(false);
  EXPECT_EQ(Get("fits2").bytes, fits);
}

}  // namespace
}  // namespace install::sysedit
