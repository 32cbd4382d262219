#include <gtest/gtest.h>

#include "tamblor/config/disc_config.h"
#include "tests/tamblor/config/disc_fixture.h"

namespace tamblor::config {
namespace {

// One line of a "00_trans.tbl": type, blank, stored name padded to offset 37,
// then the long name.
std::string TableLine(char type, const std::string& stored, const std::string& long_name) {
  std::string line = std::string(1, type) + " " + stored;
  line.resize(37, ' ');
  return line + long_name + "\n";
}

class TranslatePathTest : public testing::DiscFixture {
 protected:
  void SetUp() override {
    DiscFixture::SetUp();
    config_.ApplyLine("ROCKRIDGE");
  }
  DiscConfig config_{machine_, 'E'};
};

TEST_F(TranslatePathTest, TranslatesThroughTwoLevels) {
  Write("00_trans.tbl", TableLine('L', "DOCS", "docs") +  // links are skipped
                            TableLine('D', "OTHER", "other") + TableLine('D', "DOCS_1", "Docs"));
  Write("DOCS_1/00_trans.tbl", TableLine('F', "README.TEX;1", "readme.text"));
  EXPECT_EQ(config_.TranslatePath("E:\\docs\\readme.text"), "E:\\DOCS_1\\README.TEX;1");
}

TEST_F(TranslatePathTest, CarriageReturnsAndTabPaddingAreNotPartOfNames) {
  Write("00_trans.tbl", "D DOCS_1\t" + std::string(28, ' ') + "docs\r\n");
  Write("DOCS_1/00_trans.tbl", "");
  EXPECT_EQ(config_.TranslatePath("E:\\docs"), "E:\\DOCS_1");
}

TEST_F(TranslatePathTest, UntranslatablePathsComeBackUnchanged) {
  EXPECT_EQ(config_.TranslatePath("E:\\docs\\a.txt"), "E:\\docs\\a.txt");  // no table
  Write("00_trans.tbl", TableLine('D', "DOCS_1", "docs"));
  EXPECT_EQ(config_.TranslatePath("E:\\docs\\a.txt"), "E:\\docs\\a.txt");  // no table below
  EXPECT_EQ(config_.TranslatePath("E:\\nothing"), "E:\\nothing");          // no line
  EXPECT_EQ(config_.TranslatePath("E:\\"), "E:");                          // no components
  EXPECT_EQ(config_.TranslatePath("E"), "E");

  DiscConfig plain(machine_, 'E');  // without ROCKRIDGE nothing is looked up
  EXPECT_EQ(plain.TranslatePath("E:\\docs"), "E:\\docs");
}

TEST_F(TranslatePathTest, ShortLinesAreNoMatch) {
  // Lines that end before the long-name column; the last one is exactly 37
  // characters, so its long name is empty.
  Write("00_trans.tbl", "D X\n" "D DOCS_2 docs\n" + TableLine('D', "EMPTY", "") + TableLine('D', "DOCS_1", "docs"));
  EXPECT_EQ(config_.TranslatePath("E:\\docs"), "E:\\DOCS_1");
  EXPECT_EQ(config_.TranslatePath("E:\\X"), "E:\\X");
}

TEST_F(TranslatePathTest, AFinalLineWithoutLineFeedKeepsItsLastCharacter) {
  Write("00_trans.tbl", TableLine('D', "DOCS_1", "docs").substr(0, 41));
  EXPECT_EQ(config_.TranslatePath("E:\\docs"), "E:\\DOCS_1");
}

TEST_F(TranslatePathTest, AFullStoredNameFieldEndsAtTheLongNameColumn) {
  std::string stored(35, 'S');  // fills offsets 2..36, no blank before the long name
  Write("00_trans.tbl", "D " + stored + "long\n");
  EXPECT_EQ(config_.TranslatePath("E:\\long"), "E:\\" + stored);
}

TEST_F(TranslatePathTest, NeverBuildsAPathOf260CharactersOrMore) {
  // Each level maps a one-letter name to a 35-letter stored name; eight levels
  // would make a path of 290 characters.
  std::string path = "E:";
  std::string disc_dir;
  for (int level = 0; level < 8; ++level) {
    std::string stored(34, static_cast<char>('A' + level));
    stored += std::to_string(level);
    Write(disc_dir + "00_trans.tbl", TableLine('D', stored, "d"));
    disc_dir += stored + "/";
    MakeDirectory(disc_dir);
    path += "\\d";
  }
  EXPECT_EQ(config_.TranslatePath(path), path);
  // Six levels fit (2 + 6 * 36 = 218 characters).
  std::string six = "E:\\d\\d\\d\\d\\d\\d";
  EXPECT_EQ(config_.TranslatePath(six).size(), 218u);

  std::string too_long = "E:\\" + std::string(300, 'x');
  EXPECT_EQ(config_.TranslatePath(too_long), too_long);
}

TEST_F(TranslatePathTest, AStoredNameNeverLeavesTheDisc) {
  // Each refused name stands in a table of its own beside a plain one, so a
  // refusal shows as the path coming back unchanged.
  const std::string refused[] = {"..", ".", "...", "..\\WINDOWS", "\\WINDOWS", "C:\\DOS", "C:", "a/../../b",
                                 "CON", "con.txt", "NUL .TXT", "COM1", "lpt9.doc", "CLOCK$", "A\x01" "B", "A\x7f", "A\n" "B",
                                 "A|B", "A*", "A?B", "A<B", "A>B", "A\"B"};
  for (const std::string& stored : refused) {
    Write("00_trans.tbl", TableLine('D', stored, "evil") + TableLine('D', "GOOD", "good"));
    EXPECT_EQ(config_.TranslatePath("E:\\evil"), "E:\\evil") << stored;
    EXPECT_EQ(config_.TranslatePath("E:\\good"), "E:\\GOOD") << stored;
  }
  // The near misses are plain names and translate.
  const std::string accepted[] = {"A..B", "..A", "COM10", "COM0", "CONSOLE", "LPT", "NULL.TXT", "README.TEX;1",
                                  "A B", "~1"};
  for (const std::string& stored : accepted) {
    Write("00_trans.tbl", TableLine('D', stored, "fine"));
    EXPECT_EQ(config_.TranslatePath("E:\\fine"), "E:\\" + stored) << stored;
  }
}

TEST_F(TranslatePathTest, APathOf259CharactersIsTranslatedAnd260IsNot) {
  // "E:\" + a stored name of 256 characters makes 259; one more makes 260.
  // The stored field holds 35 characters, so the length comes from the levels.
  std::string disc_dir;
  std::string path = "E:";
  std::string translated = "E:";
  // Seven levels of 35 characters give 2 + 7 * 36 = 254; the eighth adds "\" + 4 or 5.
  for (int level = 0; level < 7; ++level) {
    std::string stored(34, static_cast<char>('A' + level));
    stored += std::to_string(level);
    Write(disc_dir + "00_trans.tbl", TableLine('D', stored, "d"));
    disc_dir += stored + "/";
    MakeDirectory(disc_dir);
    path += "\\d";
    translated += "\\" + stored;
  }
  Write(disc_dir + "00_trans.tbl", TableLine('F', "LAST", "fits") + TableLine('F', "LAST5", "over"));
  ASSERT_EQ(translated.size(), 254u);
  EXPECT_EQ(config_.TranslatePath(path + "\\fits"), translated + "\\LAST");  // 259 characters
  EXPECT_EQ(config_.TranslatePath(path + "\\fits").size(), 259u);
  EXPECT_EQ(config_.TranslatePath(path + "\\over"), path + "\\over");  // 260: unchanged
}

}  // namespace
}  // namespace tamblor::config
