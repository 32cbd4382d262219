#include "install/script/macros.h"

#include <gtest/gtest.h>

#include "install/script/script_cursor.h"

namespace install::script {
namespace {

MacroValues SampleValues() {
  MacroValues v;
  v.source_dir = "A:\\DISK1";
  v.source_drive = "A";
  v.default_dir = "D:\\APPS\\TOOL";
  v.default_drive = "D";
  v.windows_dir = "C:\\WINDOWS";
  v.system_dir = "C:\\WINDOWS\\SYSTEM";
  v.help_dir = "C:\\WINDOWS\\help";
  v.options = {"FOO", "BAR", ""};
  v.dir2 = "$WINDIR$\\SHARED";
  v.dir3 = "E:\\DATA";
  v.answers = {"Jo Smith", "", "", "", ""};
  return v;
}

TEST(ReplaceAllTest, ReplacesEveryOccurrenceRegardlessOfCaseKeepingTheRest) {
  std::string text = "copy $defaultdir$\\a.txt $DefaultDir$\\b.TXT";
  ReplaceAll(text, "$DEFAULTDIR$", "C:\\App");
  EXPECT_EQ(text, "copy C:\\App\\a.txt C:\\App\\b.TXT");
}

TEST(ReplaceAllTest, ValueHoldingItsOwnNameIsInsertedOnceAndNotRescanned) {
  std::string text = "$DIR2$\\x;$DIR2$";
  ReplaceAll(text, "$DIR2$", "A$dir2$B");
  EXPECT_EQ(text, "A$dir2$B\\x;A$dir2$B");

  std::string only = "$ASK1$";
  ReplaceAll(only, "$ASK1$", "$ASK1$");
  EXPECT_EQ(only, "$ASK1$");
}

TEST(ReplaceAllTest, EmptyTextAndEmptyValue) {
  std::string empty;
  ReplaceAll(empty, "$SYSTEM$", "X");
  EXPECT_EQ(empty, "");
  std::string text = "$SYSTEM$\\NAME";
  ReplaceAll(text, "$SYSTEM$", "");
  EXPECT_EQ(text, "\\NAME");
}

TEST(ReplaceAllTest, GrowingResultIsCutToItsCapacity) {
  std::string value(503, 'v');
  std::string text = "$ASK1$-$ASK1$-$ASK1$-tail";
  ReplaceAll(text, "$ASK1$", value);
  ASSERT_EQ(text.size(), kExpandedTextCapacity);
  EXPECT_EQ(text.substr(0, 504), value + "-");
  EXPECT_EQ(text.back(), 'v');

  std::string small = "$ASK1$$ASK1$";
  ReplaceAll(small, "$ASK1$", "abcdef", 8);
  EXPECT_EQ(small, "abcdefab");
}

TEST(ExpandAllTest, DirectoryValuesBeginningWithLaterMacrosAreFullyResolved) {
  MacroValues v = SampleValues();
  std::string text = "$DIR2$\\X.DLL";
  ExpandAll(text, v);
  EXPECT_EQ(text, "C:\\WINDOWS\\SHARED\\X.DLL");

  // A value holding a macro that comes earlier in the order stays as it is.
  v.dir3 = "$LOCATEDIR$\\Y";
  text = "$DIR3$";
  ExpandAll(text, v);
  EXPECT_EQ(text, "$LOCATEDIR$\\Y");
}

TEST(ExpandAllTest, EveryMacroAndUnknownNames) {
  MacroValues v = SampleValues();
  std::string text =
      "$SOURCEDIR$|$SOURCEDRIVE$|$DEFAULTDRIVE$:\\|$WINSYSDIR$|$WINHELPDIR$|$SYSTEM$|$SYS2$|"
      "$SYS3$|$ASK1$|$LOCATEDIR$|$LOCATEDRIVE$|$DIR3$|$NOSUCH$";
  ExpandAll(text, v);
  EXPECT_EQ(text,
            "A:\\DISK1|A|D:\\|C:\\WINDOWS\\SYSTEM|C:\\WINDOWS\\help|FOO|BAR||Jo Smith|C:\\NEWFILES||"
            "E:\\DATA|$NOSUCH$");
}

TEST(ExpandAllTest, RunAtExitCommandWithTheDestinationTwice) {
  MacroValues v = SampleValues();
  std::string text = "$DEFAULTDIR$\\SETUP.EXE /D=$DEFAULTDIR$";
  ExpandAll(text, v);
  EXPECT_EQ(text, "D:\\APPS\\TOOL\\SETUP.EXE /D=D:\\APPS\\TOOL");
}

TEST(ExpandAllTest, OverlongExpansionIsCut) {
  MacroValues v;
  v.Set(Macro::Ask1, std::string(600, 'a'));
  ASSERT_EQ(v.answers[0].size(), kMacroValueCapacity);
  std::string text = "$ASK1$ $ASK1$ $ASK1$";
  ExpandAll(text, v);
  EXPECT_EQ(text.size(), kExpandedTextCapacity);
}

TEST(ExpandPrefixTest, OnlyOneMacroAtTheVeryStart) {
  MacroValues v = SampleValues();
  std::string text = "$winsysdir$\\$WINDIR$";
  EXPECT_TRUE(ExpandPrefix(text, v));
  EXPECT_EQ(text, "C:\\WINDOWS\\SYSTEM\\$WINDIR$");

  std::string inner = "X$WINDIR$";
  EXPECT_FALSE(ExpandPrefix(inner, v));
  EXPECT_EQ(inner, "X$WINDIR$");

  std::string unknown = "$NOPE$\\A";
  EXPECT_FALSE(ExpandPrefix(unknown, v));
  EXPECT_EQ(unknown, "$NOPE$\\A");

  std::string cut = "$DEFAULTDIR$\\LONGER";
  EXPECT_TRUE(ExpandPrefix(cut, v, 10));
  EXPECT_EQ(cut, "D:\\APPS\\TO");
}

TEST(MacroValuesTest, DefaultsAndCapacities) {
  MacroValues v;
  EXPECT_EQ(v.Value(Macro::LocateDir), "C:\\NEWFILES");
  EXPECT_EQ(v.Value(Macro::LocateDrive), "");
  v.Set(Macro::DefaultDrive, "CD");
  EXPECT_EQ(v.default_drive, "C");
  v.Set(Macro::WinDir, std::string(1200, 'w'));
  EXPECT_EQ(v.windows_dir.size(), kWindowsDirCapacity);
  v.Set(Macro::DefaultDir, std::string(600, 'd'));
  EXPECT_EQ(v.default_dir.size(), kDefaultDirCapacity);
  EXPECT_EQ(MacroName(Macro::WinHelpDir), "$WINHELPDIR$");
  EXPECT_EQ(MacroName(Macro::Ask5), "$ASK5$");
}

class SubstituteAtTokenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    values_ = SampleValues();
    cursor_.SetTokenHook([this](ScriptCursor& c) { SubstituteAtToken(c, values_); });
  }
  MacroValues values_;
  ScriptCursor cursor_;
};

TEST_F(SubstituteAtTokenTest, SourceDirInLowerCaseAtTheTokenStart) {
  cursor_.SetLine("FILE x.txt SOURCE=$sourcedir$\\DISK2");
  std::string word;
  cursor_.ReadKeyword(word);
  cursor_.ReadWord(word);
  cursor_.ReadWord(word);
  ASSERT_TRUE(cursor_.TakeEquals());
  cursor_.ReadWord(word);
  EXPECT_EQ(word, "A:\\DISK1\\DISK2");
  EXPECT_EQ(cursor_.Line(), "FILE x.txt SOURCE=A:\\DISK1\\DISK2");
}

TEST_F(SubstituteAtTokenTest, OnlyTheSevenParseTimeMacrosAndOnlyAtTheStart) {
  cursor_.SetLine("\"$SYSTEM$\\a\" $DEFAULTDIR$\\b x$SOURCEDIR$");
  std::string text;
  cursor_.ReadQuoted(text);
  EXPECT_EQ(text, "FOO\\a");
  cursor_.ReadWord(text);
  EXPECT_EQ(text, "$DEFAULTDIR$\\b");
  cursor_.ReadWord(text);
  EXPECT_EQ(text, "x$SOURCEDIR$");
}

TEST_F(SubstituteAtTokenTest, EmptyValueRemovesTheMacro) {
  cursor_.SetLine("$SYS3$\\NAME");
  std::string word;
  cursor_.ReadWord(word);
  EXPECT_EQ(word, "\\NAME");
}

TEST_F(SubstituteAtTokenTest, RewriteBeyondTheLimitIsRefusedAndFlagged) {
  values_.options[0] = std::string(503, 's');
  cursor_.SetLine("$SYSTEM$" + std::string(600, 'x'));
  EXPECT_FALSE(SubstituteAtToken(cursor_, values_));
  EXPECT_TRUE(cursor_.RewriteOverflow());
  EXPECT_EQ(cursor_.Line().substr(0, 8), "$SYSTEM$");
}

}  // namespace
}  // namespace install::script
