// ADDTEXT: where the line goes, what is logged, and files that cannot be
// read or written.
#include "install/sysedit/text_insertion.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "install/sysedit/text_file.h"
#include "tests/install/sysedit/system_edit_fixture.h"

namespace install::sysedit {
namespace {

using Entries = std::vector<std::string>;

// Twenty numbered lines, "line 1\n" to "line 20\n".
std::string TwentyLines() {
  std::string text;
  for (int i = 1; i <= 20; ++i) text += "line " + std::to_string(i) + "\n";
  return text;
}

std::string Insert(const std::string& old_text, const std::string& place, bool replace = false,
                   const std::string& text = "NEW") {
  return InsertTextLine(old_text, false, text, "F.TXT", place, replace).text;
}

TEST(PlaceNumberTest, LeadingDigitsWithASign) {
  EXPECT_EQ(PlaceNumber("12"), 12);
  EXPECT_EQ(PlaceNumber(" +3"), 3);
  EXPECT_EQ(PlaceNumber("\t-2"), -2);
  EXPECT_EQ(PlaceNumber("12abc"), 12);
  EXPECT_EQ(PlaceNumber("0"), 0);
  EXPECT_EQ(PlaceNumber("abc"), 0);
  EXPECT_EQ(PlaceNumber(""), 0);
  EXPECT_EQ(PlaceNumber("- 2"), 0);
  EXPECT_EQ(PlaceNumber("99999999999999999999"), 2147483647);
  EXPECT_EQ(PlaceNumber("-99999999999999999999"), -2147483647);
}

TEST(InsertTextLineTest, LineNumbersFromTheStartAndFromTheEnd) {
  const std::string lines = TwentyLines();
  EXPECT_EQ(Insert(lines, "1"), "NEW\n" + lines);
  EXPECT_EQ(Insert(lines, "20"), lines.substr(0, lines.find("line 20")) + "NEW\nline 20\n");
  EXPECT_EQ(Insert(lines, "21"), lines + "NEW\n");
  EXPECT_EQ(Insert(lines, "500"), lines + "NEW\n");
  EXPECT_EQ(Insert(lines, "-1"), lines + "NEW\n");
  EXPECT_EQ(Insert(lines, "-2"), lines.substr(0, lines.find("line 20")) + "NEW\nline 20\n");
  EXPECT_EQ(Insert(lines, "-21"), "NEW\n" + lines);
  EXPECT_EQ(Insert(lines, "-500"), "NEW\n" + lines);
  EXPECT_EQ(Insert(lines, "-1", true), lines.substr(0, lines.find("line 20")) + "NEW\n");
  EXPECT_EQ(Insert(lines, "-20", true), "NEW\n" + lines.substr(lines.find("line 2\n")));
  EXPECT_EQ(Insert(lines, "-21", true), "NEW\n" + lines.substr(lines.find("line 2\n")));
  EXPECT_EQ(Insert(lines, "2", true), "line 1\nNEW\n" + lines.substr(lines.find("line 3\n")));

  const TextInsertion replaced = InsertTextLine(lines, false, "NEW", "F.TXT", "-1", true);
  EXPECT_EQ(replaced.log_entries, Entries{"ADDTEXT: \"line 20\", F.TXT, \"NEW\""});
  const TextInsertion inserted = InsertTextLine(lines, false, "NEW", "F.TXT", "1", false);
  EXPECT_EQ(inserted.log_entries, Entries{"ADDTEXT: \"line 1\", F.TXT, \"NEW\""});
  const TextInsertion appended = InsertTextLine(lines, false, "NEW", "F.TXT", "500", false);
  EXPECT_EQ(appended.log_entries, Entries{"ADDTEXT: \"\", F.TXT, \"NEW\""});
  // Appending with REPLACE (past the end) changes nothing.
  EXPECT_FALSE(InsertTextLine(lines, false, "NEW", "F.TXT", "500", true).changed);
}

TEST(InsertTextLineTest, SearchedPlacesGoAfterTheFoundLineOrReplaceIt) {
  const std::string ini = "[windows]\nload=\n[Fonts]\nArial=ARIAL.FON\ndevice=old\ndevice=older\n";
  EXPECT_EQ(Insert(ini, "[fonts]", false, "Quill=QUILL.FON"),
            "[windows]\nload=\n[Fonts]\nQuill=QUILL.FON\nArial=ARIAL.FON\ndevice=old\ndevice=older\n");
  const TextInsertion replaced = InsertTextLine(ini, false, "device=new", "WIN.INI", "DEVICE=*", true);
  EXPECT_EQ(replaced.text, "[windows]\nload=\n[Fonts]\nArial=ARIAL.FON\ndevice=new\ndevice=older\n");
  EXPECT_EQ(replaced.log_entries, Entries{"ADDTEXT: \"device=old\", WIN.INI, \"device=new\""});
  // A text ending in "*" goes in front of the line it replaces.
  const TextInsertion front = InsertTextLine(ini, false, "rem *", "WIN.INI", "load=", true);
  EXPECT_EQ(front.text, "[windows]\nrem load=\n[Fonts]\nArial=ARIAL.FON\ndevice=old\ndevice=older\n");
  EXPECT_EQ(front.log_entries, Entries{"ADDTEXT: \"load=\", WIN.INI, \"rem load=\""});
  // Not found: appended without REPLACE, nothing with it.
  EXPECT_EQ(Insert(ini, "[Missing]"), ini + "NEW\n");
  EXPECT_FALSE(InsertTextLine(ini, false, "NEW", "WIN.INI", "[Missing]", true).changed);
  // An empty place finds the first empty line; "*" alone the first line.
  EXPECT_EQ(Insert("a\n\nb\n\n", ""), "a\n\nNEW\nb\n\n");
  EXPECT_EQ(Insert("a\nb\n", "*", true), "NEW\nb\n");
  // "0" is a text to look for.
  EXPECT_EQ(Insert("1\n0\n2\n", "0"), "1\n0\nNEW\n2\n");
}

TEST(InsertTextLineTest, ATextAlreadyInTheFileChangesNothing) {
  const TextInsertion same = InsertTextLine("a\nDEVICE=X.SYS\nb\n", false, "device=x.sys", "F", "1", false);
  EXPECT_FALSE(same.changed);
  EXPECT_TRUE(same.log_entries.empty());
  // Only whole lines count.
  EXPECT_TRUE(InsertTextLine("DEVICE=X.SYS /Q\n", false, "DEVICE=X.SYS", "F", "", false).changed);
}

TEST(InsertTextLineTest, AMissingLineEndIsWrittenBeforeAppending) {
  EXPECT_EQ(Insert("a\nb", "-1"), "a\nb\nNEW\n");
  EXPECT_EQ(Insert("a\nb", "-1", true), "a\nNEW\n");
  // A new file holds just the text, REPLACE or not.
  const TextInsertion created = InsertTextLine("", true, "NEW", "F.TXT", "[x]", true);
  EXPECT_EQ(created.text, "NEW\n");
  EXPECT_EQ(created.log_entries, Entries{"ADDTEXT: \"\", F.TXT, \"NEW\""});
}

TEST(InsertTextLineTest, LinesArriveInPiecesOf997Characters) {
  const std::string fits = std::string(996, 'a') + "\n";
  const std::string split = std::string(997, 'b') + "\n";
  EXPECT_EQ(SplitLinePieces(fits + split, kTextLineUnit),
            (std::vector<std::string>{fits, std::string(997, 'b'), "\n"}));
  // The pieces count as lines: line 3 is the rest of the long line.
  EXPECT_EQ(Insert(fits + split + "c\n", "3"), fits + std::string(997, 'b') + "\nNEW\n\nc\n");
  EXPECT_EQ(Insert(fits + split + "c\n", "4"), fits + split + "NEW\nc\n");
}

class TextInsertionTest : public testing::SystemEditFixture {
 protected:
  int Apply() {
    SystemEditServices services = Services();
    return ApplyAddText(plan_->text_insertions.back(), plan_->macros, services);
  }
};

TEST_F(TextInsertionTest, ARelativeFileIsInTheInstallationDirectoryAndMacrosAreExpanded) {
  Put("APP/SETTINGS.TXT", "[Paths]\r\nhome=x\r\n");
  plan_->macros.answers[0] = "Quill";
  AddText("ADDTEXT \"data=$DEFAULTDIR$\\$ASK1$\" \"SETTINGS.TXT\" \"[paths]\"");
  EXPECT_EQ(Apply(), kEditDone);
  EXPECT_EQ(Get("APP/SETTINGS.TXT"), "[Paths]\r\ndata=C:\\APP\\Quill\r\nhome=x\r\n");
  EXPECT_EQ(machine_.GetCurrentDirectory(), "C:\\APP");
  EXPECT_FALSE(Exists("APP/~Tarsk.tmp"));
  EXPECT_EQ(Log(), "ADDTEXT: \"home=x\", SETTINGS.TXT, \"data=C:\\APP\\Quill\"\r\n");
}

TEST_F(TextInsertionTest, AFileThatDoesNotExistIsCreatedWithTheText) {
  AddText("ADDTEXT \"device=quill.drv\" \"$WINDIR$\\QUILL.INI\" \"[386Enh]\" REPLACE");
  EXPECT_EQ(Apply(), kEditDone);
  EXPECT_EQ(Get("WINDOWS/QUILL.INI"), "device=quill.drv\r\n");
  EXPECT_EQ(Log(),
            "FILE: C:\\WINDOWS\\QUILL.INI\r\n"
            "ADDTEXT: \"\", C:\\WINDOWS\\QUILL.INI, \"device=quill.drv\"\r\n");
}

TEST_F(TextInsertionTest, ATextAlreadyThereLeavesTheFileUntouched) {
  Put("APP/A.TXT", "one\ntwo");  // not even rewritten with CR LF
  AddText("ADDTEXT \"TWO\" \"A.TXT\"");
  EXPECT_EQ(Apply(), kEditDone);
  EXPECT_EQ(Get("APP/A.TXT"), "one\ntwo");
  EXPECT_EQ(Log(), "");
}

TEST_F(TextInsertionTest, AFullDiskLeavesTheOldFileWholeAndNoTemporaryFile) {
  Put("APP/A.TXT", "one\r\ntwo\r\n");
  AddText("ADDTEXT \"three\" \"A.TXT\"");
  machine_.LimitWrites("~Tarsk.tmp", 6);
  EXPECT_EQ(Apply(), kEditFailed);
  EXPECT_EQ(Get("APP/A.TXT"), "one\r\ntwo\r\n");
  EXPECT_FALSE(Exists("APP/~Tarsk.tmp"));
  EXPECT_EQ(Boxes(), std::vector<std::string>{"Cannot create file A.TXT|(default)|" + testing::kWarningStyle});
  EXPECT_EQ(Log(), "");
}

TEST_F(TextInsertionTest, AReplacementThatFailsLeavesTheOldFileWhole) {
  Put("APP/A.TXT", "one\r\n");
  machine_.RefuseMovesFrom("~Tarsk.tmp");
  AddText("ADDTEXT \"two\" \"C:\\APP\\A.TXT\"");
  EXPECT_EQ(Apply(), kEditFailed);
  EXPECT_EQ(Get("APP/A.TXT"), "one\r\n");
  EXPECT_FALSE(Exists("APP/~Tarsk.tmp"));

  // A read-only file is not replaced either.
  Put("APP/RO.TXT", "one\r\n");
  machine_.SetAttributes("C:\\APP\\RO.TXT", os::kAttrReadOnly);
  AddText("ADDTEXT \"two\" \"RO.TXT\"");
  EXPECT_EQ(Apply(), kEditFailed);
  EXPECT_EQ(Get("APP/RO.TXT"), "one\r\n");
  EXPECT_EQ(Log(), "");
}

TEST_F(TextInsertionTest, UnreadableFilesAndMissingDirectoriesAreNamed) {
  Put("APP/LOCKED.TXT", "one\r\n");
  machine_.Lock("LOCKED.TXT");
  AddText("ADDTEXT \"two\" \"LOCKED.TXT\"");
  EXPECT_EQ(Apply(), kEditFailed);
  AddText("ADDTEXT \"two\" \"C:\\NOWHERE\\NEW.TXT\"");
  EXPECT_EQ(Apply(), kEditFailed);
  EXPECT_FALSE(Exists("NOWHERE"));
  EXPECT_EQ(Boxes(), (std::vector<std::string>{
                         "Reading file error: LOCKED.TXT|(default)|" + testing::kWarningStyle,
                         "Cannot create file C:\\NOWHERE\\NEW.TXT|(default)|" + testing::kWarningStyle}));
  EXPECT_EQ(Get("APP/LOCKED.TXT"), "one\r\n");
  EXPECT_EQ(Log(), "");
}

}  // namespace
}  // namespace install::sysedit
