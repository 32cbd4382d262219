#include "tamblor/config/disc_config.h"

#include <gtest/gtest.h>

#include "tests/tamblor/config/disc_fixture.h"

namespace tamblor::config {
namespace {

using testing::DiscFixture;

class DiscConfigTest : public DiscFixture {
 protected:
  DiscConfig Read(const std::string& content) {
    Write("cdrom.cfg", content);
    DiscConfig config(machine_, 'E');
    config.Read("E:\\cdrom.cfg");
    return config;
  }
};

TEST_F(DiscConfigTest, MissingFileKeepsEveryDefault) {
  DiscConfig config(machine_, 'E');
  config.Read("E:\\cdrom.cfg");
  EXPECT_EQ(config.config_path(), "E:\\cdrom.cfg");
  EXPECT_EQ(config.disc_title(), "");
  EXPECT_EQ(config.language(), "");
  EXPECT_FALSE(config.multi_disc());
  EXPECT_FALSE(config.rock_ridge());
  EXPECT_TRUE(config.uncompress_handlers().empty());
  EXPECT_EQ(config.RootPath(), "E:\\");
}

TEST_F(DiscConfigTest, ReadsEveryKeyIgnoringCaseAndComments) {
  DiscConfig config = Read(
      "This disc holds tools.\r\n"
      "disc_title \"Tools\"\r\n"
      "UNZIP_ROOT \"UNZIPPED\"\n"
      "Trans_Dir \"\\lang\"\n"
      "language German\n"
      "ROCKRIDGE\n"
      "MultiDiscs\n");
  EXPECT_EQ(config.disc_title(), "Tools");
  EXPECT_EQ(config.unzip_root(), "UNZIPPED");
  EXPECT_EQ(config.translation_dir(), "\\lang");
  EXPECT_EQ(config.language(), "German");  // the carriage return is not part of it
  EXPECT_TRUE(config.rock_ridge());
  EXPECT_TRUE(config.multi_disc());
}

TEST_F(DiscConfigTest, KeysArePrefixTestsInTheirOrder) {
  DiscConfig config(machine_, 'E');
  config.ApplyLine("LANGUAGES German");  // begins with LANGUAGE
  EXPECT_EQ(config.language(), "S German");
  config.ApplyLine("LANGUAGE   German  ");
  EXPECT_EQ(config.language(), "German  ");  // leading blanks skipped, trailing kept
  config.ApplyLine("LANGUAGE \"French\"");
  EXPECT_EQ(config.language(), "\"French\"");  // not a quoted value
  config.ApplyLine(" DISC_TITLE \"Indented\"");  // a key must begin the line
  EXPECT_EQ(config.disc_title(), "");
  config.ApplyLine("ROCKRIDGEX");
  EXPECT_TRUE(config.rock_ridge());
}

TEST_F(DiscConfigTest, LaterSingleValuesReplaceEarlierOnes) {
  DiscConfig config(machine_, 'E');
  config.ApplyLine("DISC_TITLE \"First\"");
  config.ApplyLine("DISC_TITLE \"Second\"");
  EXPECT_EQ(config.disc_title(), "Second");
  config.ApplyLine("DISC_TITLE no quote here");  // a line without a value changes nothing
  EXPECT_EQ(config.disc_title(), "Second");
  config.ApplyLine("DISC_TITLE \"Open ended");
  EXPECT_EQ(config.disc_title(), "Open ended");
  config.ApplyLine("DISC_TITLE \"\"");
  EXPECT_EQ(config.disc_title(), "");
}

TEST(QuotedValueTest, CutsTo80AndFindsTheSecondValue) {
  std::string hundred(100, 'x');
  EXPECT_EQ(QuotedValue("K \"" + hundred + "\""), std::string(80, 'x'));
  EXPECT_EQ(QuotedValue("K \"a\" \"b\""), "a");
  EXPECT_EQ(QuotedValue("none"), std::nullopt);
  EXPECT_EQ(SecondQuotedValue("K \".lzh\" \"\\bin\\lha x\""), "\\bin\\lha x");
  EXPECT_EQ(SecondQuotedValue("K \".lzh\"\"prog\""), "prog");
  EXPECT_EQ(SecondQuotedValue("K \".lzh\" prog"), std::nullopt);
  EXPECT_EQ(SecondQuotedValue("K \".lzh prog"), std::nullopt);
  EXPECT_EQ(SecondQuotedValue("K \"a\" \"" + hundred), std::string(80, 'x'));
}

TEST_F(DiscConfigTest, HandlersKeepFileOrderAndRefuseHalfQuotedLines) {
  DiscConfig config = Read(
      "UNCOMPRESS \".lzh\" \"\\bin\\lha x\"\n"
      "UNZIP_PROG \"pkunzip -d\"\n"
      "UNCOMPRESS .arj \"arj x\"\n"            // first value not quoted: ignored
      "UNCOMPRESS \".arj\n"                      // first value not closed: ignored
      "UNCOMPRESS \".toolongext\" \"x\"\n"       // extension longer than its field: ignored
      "UNCOMPRESS \".zip\" \"second zip\"\n"
      "WIN_EXT \".wri\" \"write\"\n");
  ASSERT_EQ(config.uncompress_handlers().size(), 3u);
  EXPECT_EQ(config.uncompress_handlers()[0].extension, ".lzh");
  EXPECT_EQ(config.uncompress_handlers()[0].program, "\\bin\\lha x");
  EXPECT_EQ(config.uncompress_handlers()[1].extension, ".zip");
  EXPECT_EQ(config.uncompress_handlers()[1].program, "pkunzip -d");
  ASSERT_EQ(config.windows_handlers().size(), 1u);

  EXPECT_EQ(config.UncompressProgram("E:\\a\\b.LZH"), "E:\\bin\\lha x");
  EXPECT_EQ(config.UncompressProgram("E:\\a\\b.zip"), "pkunzip -d");  // the first .zip handler wins
  EXPECT_EQ(config.UncompressProgram("zip"), std::nullopt);           // shorter than the extension
  EXPECT_EQ(config.UncompressProgram("E:\\a\\b.arj"), std::nullopt);
}

TEST_F(DiscConfigTest, WindowsCommandSplitsTheCommandLineAtBlanks) {
  DiscConfig config(machine_, 'E');
  config.ApplyLine("WIN_EXT \".wri\" \"\\win\\write.exe /p\"");
  config.ApplyLine("WIN_EXT \".bmp\" \"pbrush\"");
  auto words = config.WindowsCommand("E:\\DOC\\A.WRI", "E:\\DOC\\A.WRI");
  ASSERT_TRUE(words.has_value());
  EXPECT_EQ(*words, (std::vector<std::string>{"E:\\win\\write.exe", "/p", "E:\\DOC\\A.WRI"}));

  // Runs of blanks give no empty words; at most nine words are kept.
  words = config.WindowsCommand("x.bmp", "a  b c d e f g h i j k");
  ASSERT_TRUE(words.has_value());
  EXPECT_EQ(*words, (std::vector<std::string>{"pbrush", "a", "b", "c", "d", "e", "f", "g", "h"}));
  EXPECT_EQ(config.WindowsCommand("x.txt", "x.txt"), std::nullopt);

  // A very long argument is cut to the command buffer, never beyond it.
  words = config.WindowsCommand("x.bmp", std::string(2000, 'y'));
  ASSERT_TRUE(words.has_value());
  ASSERT_EQ(words->size(), 2u);
  EXPECT_EQ((*words)[1].size(), kMaxCommandBuffer - std::string("pbrush ").size());
}

TEST_F(DiscConfigTest, LongLinesContinueAsTheNextLine) {
  // 512 characters of filler, then a key that starts the continuation line.
  DiscConfig config = Read(std::string(512, '-') + "DISC_TITLE \"Hidden\"\nROCKRIDGE");
  EXPECT_EQ(config.disc_title(), "Hidden");
  EXPECT_TRUE(config.rock_ridge());  // the last line needs no line feed
}

TEST_F(DiscConfigTest, AByte255EndsALine) {
  DiscConfig config = Read("DISC_TITLE \"A\xff" "MULTIDISCS\n");
  EXPECT_EQ(config.disc_title(), "A");
  EXPECT_TRUE(config.multi_disc());
}

TEST_F(DiscConfigTest, AnUnreadableExistingFileEndsTheProcess) {
  MakeDirectory("cdrom.cfg");  // found, but cannot be opened as a file
  DiscConfig config(machine_, 'E');
  EXPECT_EXIT(config.Read("E:\\cdrom.cfg"), ::testing::ExitedWithCode(255), "Cannot open file 'E:\\\\cdrom.cfg': ");
}

TEST_F(DiscConfigTest, DiscNumberReadsTheRootConfigEachTime) {
  DiscConfig config(machine_, 'E');
  EXPECT_EQ(config.DiscNumber(), 0);  // no file
  Write("cdrom.cfg", "DISC_TITLE \"Set\"\n");
  EXPECT_EQ(config.DiscNumber(), 0);  // no line
  Write("cdrom.cfg", "DISC_TITLE \"Set\"\ndisc #3\nDISC #4\n");
  EXPECT_EQ(config.DiscNumber(), 3);
  Write("cdrom.cfg", "DISC #  12 of 20\n");
  EXPECT_EQ(config.DiscNumber(), 12);
  Write("cdrom.cfg", "DISC #x\n");
  EXPECT_EQ(config.DiscNumber(), 0);
  Write("cdrom.cfg", "DISC #99999999999999999999\n");
  EXPECT_GT(config.DiscNumber(), 0);  // clamped, not undefined
}

TEST_F(DiscConfigTest, RequiredDiscComparesTheDigitAfterDisc) {
  DiscConfig config(machine_, 'E');
  Write("cdrom.cfg", "DISC #3\n");
  EXPECT_EQ(config.RequiredDisc("E:\\Disc3\\x"), 0);
  EXPECT_EQ(config.RequiredDisc("E:\\DISC2\\readme.txt"), 2);
  EXPECT_EQ(config.RequiredDisc("E:\\disc23\\x"), 2);  // one digit counts
  EXPECT_EQ(config.RequiredDisc("E:\\discs\\x"), 0);
  EXPECT_EQ(config.RequiredDisc("E:\\disc"), 0);  // too short for a digit
  EXPECT_EQ(config.RequiredDisc("E:\\docs\\disc2"), 0);
  Write("cdrom.cfg", "DISC #1\n");
  EXPECT_EQ(config.RequiredDisc("E:\\Disc3\\x"), 3);
}

}  // namespace
}  // namespace tamblor::config
