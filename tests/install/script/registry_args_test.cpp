#include "install/script/registry_args.h"

#include <gtest/gtest.h>

#include <vector>

#include "install/script/script_cursor.h"

namespace install::script {
namespace {

struct SectionResult {
  int result = -1;
  int consumed = 0;
  RegistryBlock block;
  std::string cursor_line;
};

SectionResult ParseSection(const std::vector<std::string>& lines) {
  std::size_t next = 0;
  ScriptCursor cursor;
  SectionResult r;
  r.result = ParseRegistrySection(
      cursor,
      [&](std::string& line) {
        if (next == lines.size()) return 0;
        line = lines[next++];
        return 1;
      },
      &r.consumed, &r.block);
  r.cursor_line = cursor.Line();
  return r;
}

TEST(ParseRegistrySectionTest, KeyAndValuesOfEveryKind) {
  SectionResult r = ParseSection({
      "REM the product key",
      "KEY NEW \"hkey_local_machine\\SOFTWARE\\Maker\\Product\"",
      "",
      "VALUE STRING NEW \"Path\" \"$DEFAULTDIR$\\bin\"",
      "VALUE DWORD NEW \"Count\" \"0x10\"",
      "VALUE BINARY NEW \"Flags\" \"0000000111111111\"",
      "VALUE REG_SZ DELETE \"Old\"",
      "VALUE STRING RENAME \"Old\" \"DEFAULT\"",
      "VALUE reg_dword increment \"default\" \"1\"",
      "ENDREGISTRY",
      "FILE after.txt",
  });
  ASSERT_EQ(r.result, 1);
  EXPECT_EQ(r.consumed, 10);
  const RegistryBlock& b = r.block;
  EXPECT_EQ(b.root, 0x80000002u);
  EXPECT_EQ(b.root_name, "hkey_local_machine");
  EXPECT_EQ(b.key_path, "SOFTWARE\\Maker\\Product");
  EXPECT_EQ(b.operation, RegistryKeyOperation::New);
  ASSERT_EQ(b.values.size(), 6u);
  EXPECT_EQ(b.values[0].type, kRegSz);
  EXPECT_EQ(*b.values[0].name, "Path");
  EXPECT_EQ(b.values[0].data, "$DEFAULTDIR$\\bin");
  EXPECT_EQ(b.values[1].type, kRegDword);
  EXPECT_EQ(b.values[1].data, "0x10");
  EXPECT_EQ(b.values[2].type, kRegBinary);
  EXPECT_EQ(b.values[2].binary, (std::vector<uint8_t>{0x01, 0xFF}));
  EXPECT_EQ(b.values[3].operation, RegistryValueOperation::Delete);
  EXPECT_EQ(b.values[4].operation, RegistryValueOperation::Rename);
  EXPECT_EQ(*b.values[4].name, "Old");
  EXPECT_FALSE(b.values[4].new_name.has_value());
  EXPECT_EQ(b.values[5].operation, RegistryValueOperation::Increment);
  EXPECT_FALSE(b.values[5].name.has_value());
}

TEST(ParseRegistrySectionTest, KeyOperations) {
  SectionResult r = ParseSection({"KEY RENAME \"HKEY_CURRENT_USER\\Software\\A\" \"B\"", "ENDREGISTRY"});
  ASSERT_EQ(r.result, 1);
  EXPECT_EQ(r.block.operation, RegistryKeyOperation::Rename);
  EXPECT_EQ(r.block.new_key_name, "B");
  EXPECT_EQ(r.block.root, 0x80000001u);

  r = ParseSection({"KEY QUERY \"HKEY_DYN_DATA\\X\"", "endregistry"});
  ASSERT_EQ(r.result, 1);
  EXPECT_EQ(r.block.root, 0x80000006u);
  EXPECT_EQ(r.block.operation, RegistryKeyOperation::Query);
}

TEST(ParseRegistrySectionTest, BinaryConversion) {
  EXPECT_EQ(BinaryDigitsToBytes("1111111100000000"), (std::vector<uint8_t>{0xFF}));
  EXPECT_EQ(BinaryDigitsToBytes("00000010101"), (std::vector<uint8_t>{0x02, 0x05}));
  EXPECT_TRUE(BinaryDigitsToBytes("").empty());
}

TEST(ParseRegistrySectionTest, ErrorRulesReportTheOffendingLine) {
  struct Case {
    std::vector<std::string> lines;
    int consumed;
  };
  const std::string key = "KEY NEW \"HKEY_USERS\\X\"";
  const Case cases[] = {
      {{"VALUE STRING NEW \"a\" \"b\"", "ENDREGISTRY"}, 1},  // VALUE before KEY
      {{key, key, "ENDREGISTRY"}, 2},                        // second KEY
      {{"ENDREGISTRY"}, 1},                                  // no KEY at all
      {{"KEY MAKE \"HKEY_USERS\\X\"", "ENDREGISTRY"}, 1},    // unknown key operation
      {{"KEY NEW \"HKEY_NOWHERE\\X\"", "ENDREGISTRY"}, 1},   // unknown root
      {{"KEY NEW \"HKEY_USERS\"", "ENDREGISTRY"}, 1},        // no "\"
      {{"KEY DELETE \"HKEY_USERS\\\"", "ENDREGISTRY"}, 1},   // nothing after the root
      {{"KEY RENAME \"HKEY_USERS\\X\"", "ENDREGISTRY"}, 1},  // no new name
      {{key, "VALUE TEXT NEW \"a\" \"b\""}, 2},              // unknown type
      {{key, "VALUE STRING SET \"a\" \"b\""}, 2},            // unknown value operation
      {{key, "VALUE STRING NEW a \"b\""}, 2},                // name not quoted
      {{key, "VALUE STRING NEW \"a\""}, 2},                  // no data
      {{key, "VALUE STRING RENAME \"a\""}, 2},               // no new name
      {{key, "VALUE STRING NEW \"a\" \"" + std::string(1024, 'd') + "\""}, 2},
      {{key, "FILE x.txt"}, 2},                              // any other keyword
      {{key, "VALUE STRING NEW \"a\" \"b\""}, 2},            // end of script
  };
  for (const Case& c : cases) {
    SectionResult r = ParseSection(c.lines);
    EXPECT_EQ(r.result, 0) << c.lines.back();
    EXPECT_EQ(r.consumed, c.consumed) << c.lines.back();
    EXPECT_EQ(r.cursor_line, c.lines[c.consumed - 1]);
  }
}

TEST(ParseRegistrySectionTest, FiftyValuesAtMost) {
  std::vector<std::string> lines = {"KEY NEW \"HKEY_CLASSES_ROOT\\.abc\""};
  for (int i = 0; i < 50; ++i) lines.push_back("VALUE STRING NEW \"v" + std::to_string(i) + "\" \"x\"");
  lines.push_back("ENDREGISTRY");
  SectionResult r = ParseSection(lines);
  ASSERT_EQ(r.result, 1);
  EXPECT_EQ(r.block.values.size(), 50u);

  lines.insert(lines.end() - 1, "VALUE STRING NEW \"v50\" \"x\"");
  r = ParseSection(lines);
  EXPECT_EQ(r.result, 0);
  EXPECT_EQ(r.consumed, 52);
}

TEST(ParseRegistrySectionTest, DeleteNeedsNoData) {
  SectionResult r =
      ParseSection({"KEY QUERY \"HKEY_CURRENT_CONFIG\\Display\"", "VALUE DWORD DELETE \"Old\"", "ENDREGISTRY"});
  ASSERT_EQ(r.result, 1);
  ASSERT_EQ(r.block.values.size(), 1u);
  EXPECT_EQ(r.block.values[0].data, "");
}

}  // namespace
}  // namespace install::script
