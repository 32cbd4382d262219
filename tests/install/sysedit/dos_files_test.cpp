// The AUTOEXEC.BAT and CONFIG.SYS passes: the edits of the text, then the
// files on the machine with their backups, questions, log and failures.
#include "install/sysedit/dos_files.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "install/sysedit/text_file.h"
#include "tests/install/sysedit/system_edit_fixture.h"

namespace install::sysedit {
namespace {

using Entries = std::vector<std::string>;

class DosTextTest : public testing::SystemEditFixture {
 protected:
  DosFileEdit EditAutoexec(const std::string& old_text, const std::string& config = "") {
    return EditAutoexecText(old_text, plan_->autoexec_edits, plan_->macros, "C:\\APP", config);
  }
  DosFileEdit EditConfig(const std::string& old_text) {
    return EditConfigText(old_text, plan_->config_edits, plan_->macros);
  }
};

TEST(DosLineTest, PathLinesAreRecognisedInTheirForms) {
  EXPECT_EQ(PathValueOffset("PATH C:\\DOS"), 5u);
  EXPECT_EQ(PathValueOffset("path=C:\\DOS"), 5u);
  EXPECT_EQ(PathValueOffset("  Path \t= C:\\DOS"), 10u);
  EXPECT_EQ(PathValueOffset("=PATH C:\\DOS"), 6u);
  EXPECT_EQ(PathValueOffset("SET PATH=C:\\DOS"), 9u);
  EXPECT_EQ(PathValueOffset("set \t path=C:\\DOS"), 11u);
  EXPECT_EQ(PathValueOffset("PATH=\n"), 5u);  // an empty path gets its entries
  EXPECT_EQ(PathValueOffset("SET PATH = C:\\DOS"), 0u);
  EXPECT_EQ(PathValueOffset("SETPATH=C:\\DOS"), 0u);
  EXPECT_EQ(PathValueOffset("SET TEMP=C:\\TEMP"), 0u);
  EXPECT_EQ(PathValueOffset("REM PATH C:\\DOS"), 0u);
  // Whole words only: other commands and the bare PATH that shows the path.
  EXPECT_EQ(PathValueOffset("PATHCHK C:\\DOS"), 0u);
  EXPECT_EQ(PathValueOffset("PATH;"), 0u);
  EXPECT_EQ(PathValueOffset("PATH\n"), 0u);
  EXPECT_EQ(PathValueOffset(""), 0u);
}

TEST(DosLineTest, ShareLinesAndPathEntries) {
  EXPECT_TRUE(IsShareLine("C:\\DOS\\SHARE.EXE /L:500\n"));
  EXPECT_TRUE(IsShareLine("lh share\n"));
  EXPECT_TRUE(IsShareLine("REMshare\n"));
  EXPECT_FALSE(IsShareLine("rem share\n"));
  EXPECT_FALSE(IsShareLine("REM SHARE\n"));
  EXPECT_FALSE(IsShareLine("C:\\DOS\\MOUSE\n"));
  // A directory of that name in the path or a variable loads nothing.
  EXPECT_FALSE(IsShareLine("PATH C:\\SHARED;C:\\DOS\n"));
  EXPECT_FALSE(IsShareLine("SET TEMP=C:\\SHARE\\TMP\n"));

  EXPECT_TRUE(PathHasEntry("PATH C:\\APP;C:\\DOS\n", "C:\\APP"));
  EXPECT_TRUE(PathHasEntry("PATH C:\\DOS;C:\\APP\n", "C:\\APP"));
  EXPECT_TRUE(PathHasEntry("PATH C:\\DOS;C:\\APP \n", "C:\\APP"));
  EXPECT_TRUE(PathHasEntry("PATH C:\\APPS;C:\\APP;\n", "C:\\APP"));  // the search goes on
  EXPECT_FALSE(PathHasEntry("PATH C:\\APPS;C:\\DOS\n", "C:\\APP"));
  EXPECT_FALSE(PathHasEntry("PATH C:\\DOS;C:\\APP", "C:\\APP"));  // the end of the text does not count
  EXPECT_FALSE(PathHasEntry("PATH C:\\APP\\BIN;\n", "C:\\APP"));
}

TEST_F(DosTextTest, AMissingPathEntryGoesFirstInUpperCase) {
  Autoexec("AUTOEXEC ADDPATH=\"c:\\app\"");
  const DosFileEdit edit = EditAutoexec("@ECHO OFF\nPATH C:\\DOS;C:\\WINDOWS\nWIN\n");
  EXPECT_EQ(edit.text, "@ECHO OFF\nPATH C:\\APP;C:\\DOS;C:\\WINDOWS\nWIN\n");
  EXPECT_EQ(edit.log_entries,
            Entries{"AUTOEXEC: \"PATH C:\\DOS;C:\\WINDOWS\", \"PATH C:\\APP;C:\\DOS;C:\\WINDOWS\""});
  EXPECT_TRUE(edit.changed);
}

TEST_F(DosTextTest, EntriesAlreadyInThePathAreLeftAlone) {
  Autoexec("AUTOEXEC ADDPATH=\"C:\\APP\"");
  for (const char* text : {"PATH c:\\app;C:\\DOS\n", "PATH C:\\DOS;c:\\App\n", "SET PATH=C:\\DOS;C:\\APP\t\n"}) {
    const DosFileEdit edit = EditAutoexec(text);
    EXPECT_EQ(edit.text, text);
    EXPECT_TRUE(edit.log_entries.empty()) << text;
    EXPECT_FALSE(edit.changed) << text;
  }
  // C:\APPS is another directory; at the very end of the file the entry is not seen.
  EXPECT_EQ(EditAutoexec("PATH C:\\APPS;C:\\DOS\n").text, "PATH C:\\APP;C:\\APPS;C:\\DOS\n");
  EXPECT_EQ(EditAutoexec("PATH C:\\DOS;C:\\APP").text, "PATH C:\\APP;C:\\DOS;C:\\APP");
}

TEST_F(DosTextTest, TwoMissingEntriesMakeOneLogEntryAndOnlyTheFirstPathLineChanges) {
  plan_->macros.dir2 = "D:\\Tools";
  Autoexec("AUTOEXEC ADDPATH=\"C:\\ONE\" ADDPATH=\"$DIR2$\\bin\"");
  const DosFileEdit edit = EditAutoexec("path=C:\\DOS\nPATH %PATH%;C:\\LATER\n");
  EXPECT_EQ(edit.text, "path=D:\\TOOLS\\BIN;C:\\ONE;C:\\DOS\nPATH %PATH%;C:\\LATER\n");
  EXPECT_EQ(edit.log_entries, Entries{"AUTOEXEC: \"path=C:\\DOS\", \"path=D:\\TOOLS\\BIN;C:\\ONE;C:\\DOS\""});
}

TEST_F(DosTextTest, WithoutAPathLineANewOneGoesBeforeTheLastLineWithTheAddedAndShareLines) {
  plan_->macros.default_dir = "C:\\Quill";
  Autoexec("AUTOEXEC ADDPATH ADDPATH=\"$DEFAULTDIR$\\Bin\" ADD=\"SET QUILL=$DEFAULTDIR$\" SHARE=\"/f:4096 /l:40\"");
  const DosFileEdit edit =
      EditAutoexecText("@ECHO OFF\r\nWIN", plan_->autoexec_edits, plan_->macros, "C:", "");
  EXPECT_EQ(edit.text,
            "@ECHO OFF\r\nPATH=C:\\Quill\\Bin;C:\\;\nSET QUILL=C:\\Quill\nSHARE /F:4096 /L:40\nWIN");
  EXPECT_EQ(edit.log_entries, (Entries{"AUTOEXEC: \"\", \"PATH=C:\\Quill\\Bin;C:\\;\"",
                                      "AUTOEXEC: \"\", \"SET QUILL=C:\\Quill\"",
                                      "AUTOEXEC: \"\", \"SHARE /F:4096 /L:40\""}));
  EXPECT_TRUE(edit.changed);
}

TEST_F(DosTextTest, AMissingFileGetsJustTheAddedLines) {
  Autoexec("AUTOEXEC ADD=\"LH MOUSE\" SHARE");
  const DosFileEdit edit = EditAutoexec("");
  EXPECT_EQ(edit.text, "LH MOUSE\nSHARE\n");
  EXPECT_EQ(edit.log_entries, (Entries{"AUTOEXEC: \"\", \"LH MOUSE\"", "AUTOEXEC: \"\", \"SHARE\""}));
}

TEST_F(DosTextTest, AnAddedLineThatSomeLineContainsIsNotAddedAgain) {
  Autoexec("AUTOEXEC ADD=\"MOUSE\" ADD=\"SET TEMP=C:\\TEMP\" ADD=\"set temp=c:\\temp\"");
  const DosFileEdit edit = EditAutoexec("LH C:\\MOUSE\\MOUSE.COM /Y\nSET TEMP=C:\\TEMP\nWIN\n");
  EXPECT_EQ(edit.text, "LH C:\\MOUSE\\MOUSE.COM /Y\nSET TEMP=C:\\TEMP\nset temp=c:\\temp\nWIN\n");
  EXPECT_EQ(edit.log_entries, Entries{"AUTOEXEC: \"\", \"set temp=c:\\temp\""});
}

TEST_F(DosTextTest, TheConfigurationChosenAtStartSelectsTheLabelledBlock) {
  Autoexec("AUTOEXEC ADDPATH=\"C:\\APP\"");
  const std::string text =
      "PATH C:\\DOS\nGOTO %CONFIG%\n:GAME\nPATH C:\\GAMES\nGOTO END\n:work\nPATH C:\\WORK\n:END\n";
  const DosFileEdit work = EditAutoexec(text, "Work");
  EXPECT_EQ(work.text,
            "PATH C:\\DOS\nGOTO %CONFIG%\n:GAME\nPATH C:\\GAMES\nGOTO END\n:work\nPATH C:\\APP;C:\\WORK\n:END\n");
  EXPECT_EQ(work.log_entries, Entries{"AUTOEXEC: \"PATH C:\\WORK\", \"PATH C:\\APP;C:\\WORK\""});
  // A label is compared over the length of the value: WORKSHOP begins with WORK.
  EXPECT_EQ(EditAutoexec(":WORKSHOP\nPATH C:\\WS\n", "WORK").text, ":WORKSHOP\nPATH C:\\APP;C:\\WS\n");
  // No eligible PATH line: a new one goes before the last line.
  EXPECT_EQ(EditAutoexec(text, "OFFICE").text,
            "PATH C:\\DOS\nGOTO %CONFIG%\n:GAME\nPATH C:\\GAMES\nGOTO END\n:work\nPATH C:\\WORK\n"
            "PATH=C:\\APP;\n:END\n");
  // Without the variable the first PATH line is the one.
  EXPECT_EQ(EditAutoexec(text).log_entries, Entries{"AUTOEXEC: \"PATH C:\\DOS\", \"PATH C:\\APP;C:\\DOS\""});
}

TEST_F(DosTextTest, AShareLineGetsTheLargerNumbers) {
  Autoexec("AUTOEXEC SHARE=\"/F:4096 /L:40\"");
  DosFileEdit edit = EditAutoexec("rem share is loaded below\nC:\\DOS\\SHARE.EXE /L:500\nWIN\n");
  EXPECT_EQ(edit.text, "rem share is loaded below\nC:\\DOS\\SHARE /F:4096 /L:500\nWIN\n");
  EXPECT_EQ(edit.log_entries, Entries{"AUTOEXEC: \"C:\\DOS\\SHARE.EXE /L:500\", \"C:\\DOS\\SHARE /F:4096 /L:500\""});
  // Large enough already: taken in upper case, nothing logged, nothing added.
  edit = EditAutoexec("lh share.exe /f:5000 /l: 40\nWIN\n");
  EXPECT_EQ(edit.text, "LH SHARE.EXE /F:5000 /L: 40\nWIN\n");
  EXPECT_TRUE(edit.log_entries.empty());
  EXPECT_FALSE(edit.changed);
  // Only the first SHARE line is looked at.
  EXPECT_EQ(EditAutoexec("share /F:5000 /L:40\nshare /F:1\n").text, "SHARE /F:5000 /L:40\nshare /F:1\n");
  // A path through a directory named SHARE is no SHARE line.
  EXPECT_EQ(EditAutoexec("PATH C:\\SHARE\nWIN\n").text, "PATH C:\\SHARE\nSHARE /F:4096 /L:40\nWIN\n");
}

TEST_F(DosTextTest, LongLinesArriveInPiecesOf240Characters) {
  EXPECT_EQ(SplitLinePieces(std::string(239, 'a') + "\nb", kDosLineUnit),
            (std::vector<std::string>{std::string(239, 'a') + "\n", "b"}));
  EXPECT_EQ(SplitLinePieces(std::string(240, 'a') + "\n", kDosLineUnit),
            (std::vector<std::string>{std::string(240, 'a'), "\n"}));
  EXPECT_EQ(SplitLinePieces(std::string(300, 'a') + "\n", kDosLineUnit),
            (std::vector<std::string>{std::string(240, 'a'), std::string(60, 'a') + "\n"}));

  // A PATH line of 300 characters is edited in its first piece only: an
  // entry in the second piece is not seen.
  Autoexec("AUTOEXEC ADDPATH=\"C:\\APP\"");
  const std::string filler = std::string(236, 'X');
  const std::string long_path = "PATH " + filler + ";C:\\APP;" + std::string(50, 'Y') + "\n";
  const DosFileEdit edit = EditAutoexec(long_path + "WIN\n");
  EXPECT_EQ(edit.text, "PATH C:\\APP;" + long_path.substr(5) + "WIN\n");
  EXPECT_EQ(edit.log_entries, Entries{"AUTOEXEC: \"PATH " + filler.substr(0, 235) + "\", \"PATH C:\\APP;" +
                                      filler.substr(0, 235) + "\""});
}

TEST_F(DosTextTest, ALongLastLineStaysWholeAfterTheAddedLines) {
  Autoexec("AUTOEXEC ADD=\"SET A=1\"");
  const std::string last = "WIN " + std::string(296, 'p');
  EXPECT_EQ(EditAutoexec("@ECHO OFF\n" + last).text, "@ECHO OFF\nSET A=1\n" + last);
  // An added line split over two pieces is not found and is added.
  const std::string split = std::string(237, ' ') + "SET A=1\n";
  EXPECT_EQ(EditAutoexec(split).text, "SET A=1\n" + split);
  EXPECT_EQ(EditAutoexec(std::string(233, ' ') + "SET A=1\n").text, std::string(233, ' ') + "SET A=1\n");
}

TEST_F(DosTextTest, FilesAndBuffersAreRaisedToTheirMinimum) {
  Config("CONFIG FILEMIN=30 BUFFERMIN=30");
  DosFileEdit edit = EditConfig("DEVICE=HIMEM.SYS\nFILES=20\nBUFFERS=20,0\n");
  EXPECT_EQ(edit.text, "DEVICE=HIMEM.SYS\nFILES=30\nBUFFERS=30\n");
  EXPECT_EQ(edit.log_entries,
            (Entries{"CONFIG: \"FILES=20\", \"FILES=30\"", "CONFIG: \"BUFFERS=20,0\", \"BUFFERS=30\""}));
  // At the minimum or above: left alone; only the first line of each counts.
  edit = EditConfig("files = 40\nBuffers=30\nFILES=5\n");
  EXPECT_EQ(edit.text, "files = 40\nBuffers=30\nFILES=5\n");
  EXPECT_FALSE(edit.changed);
  edit = EditConfig("FILES =\t29 ; comment\nFILES=5\n");
  EXPECT_EQ(edit.text, "FILES =\t30\nFILES=5\nBUFFERS = 30\n");
}

TEST_F(DosTextTest, MissingFilesAndBuffersLinesAreAddedAfterALineEnd) {
  Config("CONFIG FILEMIN=30 BUFFERMIN=20 ADD=\"DEVICE=$DEFAULTDIR$\\APP.SYS\"");
  const DosFileEdit edit = EditConfig("DEVICE=HIMEM.SYS");
  EXPECT_EQ(edit.text, "DEVICE=HIMEM.SYS\nFILES = 30\nBUFFERS = 20\nDEVICE=C:\\APP\\APP.SYS\n");
  EXPECT_EQ(edit.log_entries, (Entries{"CONFIG: \"\", \"FILES = 30\"", "CONFIG: \"\", \"BUFFERS = 20\"",
                                      "CONFIG: \"\", \"DEVICE=C:\\APP\\APP.SYS\""}));
  EXPECT_EQ(EditConfig("").text, "FILES = 30\nBUFFERS = 20\nDEVICE=C:\\APP\\APP.SYS\n");
  EXPECT_EQ(EditConfig("device=c:\\app\\app.sys\n").text,
            "device=c:\\app\\app.sys\nFILES = 30\nBUFFERS = 20\nDEVICE=C:\\APP\\APP.SYS\n");
  EXPECT_EQ(EditConfig("DEVICE=C:\\APP\\APP.SYS /Q\n").text, "DEVICE=C:\\APP\\APP.SYS /Q\nFILES = 30\nBUFFERS = 20\n");
}

TEST_F(DosTextTest, OtherWordsBeginningWithTheKeywordsAreLeftAlone) {
  Config("CONFIG FILEMIN=30 BUFFERMIN=30");
  const DosFileEdit edit = EditConfig("FILESHIGH=10\nBUFFERSHIGH=10,0\nFILES\n");
  EXPECT_EQ(edit.text, "FILESHIGH=10\nBUFFERSHIGH=10,0\nFILES\nFILES = 30\nBUFFERS = 30\n");
}

class DosFilesTest : public testing::SystemEditFixture {};

TEST_F(DosFilesTest, TheOldFileBecomesTheBackupAndTheNewOneEndsItsLinesInCrLf) {
  Put("AUTOEXEC.BAT", "@ECHO OFF\nPATH C:\\DOS\r\nWIN\r\n");
  Put("AUTOEXEC.BAK", "an earlier backup\r\n");
  Autoexec("AUTOEXEC ADDPATH ADD=\"SET APP=1\"");
  SystemEditServices services = Services();
  EXPECT_EQ(ApplyAutoexecEdits(*plan_, services), kEditDone);
  EXPECT_EQ(Get("AUTOEXEC.BAT"), "@ECHO OFF\r\nPATH C:\\APP;C:\\DOS\r\nSET APP=1\r\nWIN\r\n");
  EXPECT_EQ(Get("AUTOEXEC.BAK"), "@ECHO OFF\nPATH C:\\DOS\r\nWIN\r\n");
  EXPECT_FALSE(Exists("~Tarsk.tmp"));
  EXPECT_EQ(Log(),
            "AUTOEXEC: \"PATH C:\\DOS\", \"PATH C:\\APP;C:\\DOS\"\r\n"
            "AUTOEXEC: \"\", \"SET APP=1\"\r\n");
  EXPECT_TRUE(desktop_.Messages().empty());
}

TEST_F(DosFilesTest, TheBackupIsReplacedEvenWhenNothingChanges) {
  Put("CONFIG.SYS", "FILES=40\r\n");
  Put("CONFIG.BAK", "old\r\n");
  Config("CONFIG FILEMIN=30 ASK");
  SystemEditServices services = Services();
  EXPECT_EQ(ApplyConfigEdits(*plan_, services), kEditDone);
  EXPECT_EQ(Get("CONFIG.SYS"), "FILES=40\r\n");
  EXPECT_EQ(Get("CONFIG.BAK"), "FILES=40\r\n");
  EXPECT_TRUE(desktop_.Messages().empty());  // no change, no question
  EXPECT_EQ(Log(), "");
}

TEST_F(DosFilesTest, AnsweringNoPutsTheOldFileBackAndKeepsTheLogEntries) {
  const std::string old_bytes = "FILES=20\r\nDEVICE=HIMEM.SYS";
  Put("CONFIG.SYS", old_bytes);
  Config("CONFIG ASK FILEMIN=30");
  desktop_.QueueAnswer(ui::kIdNo);
  SystemEditServices services = Services();
  EXPECT_EQ(ApplyConfigEdits(*plan_, services), kEditRejected);
  EXPECT_EQ(Get("CONFIG.SYS"), old_bytes);
  EXPECT_FALSE(Exists("CONFIG.BAK"));
  EXPECT_EQ(Boxes(), std::vector<std::string>{"Do you wish this program to modify file CONFIG.SYS?||" + testing::kQuestionStyle});
  EXPECT_EQ(Log(), "CONFIG: \"FILES=20\", \"FILES=30\"\r\n");
}

TEST_F(DosFilesTest, AnsweringYesKeepsTheChangesAndAPromptTextReplacesTheQuestion) {
  Put("AUTOEXEC.BAT", "WIN\r\n");
  Autoexec("AUTOEXEC ASK ADD=\"SET APP=1\"");
  plan_->prompts.autoexec = "Change AUTOEXEC.BAT?";
  desktop_.QueueAnswer(ui::kIdYes);
  SystemEditServices services = Services();
  EXPECT_EQ(ApplyAutoexecEdits(*plan_, services), kEditDone);
  EXPECT_EQ(Get("AUTOEXEC.BAT"), "SET APP=1\r\nWIN\r\n");
  EXPECT_EQ(Get("AUTOEXEC.BAK"), "WIN\r\n");
  EXPECT_EQ(Boxes(), std::vector<std::string>{"Change AUTOEXEC.BAT?||" + testing::kQuestionStyle});
}

TEST_F(DosFilesTest, WithoutAnOldFileNoMeansNoFileAtAll) {
  Autoexec("AUTOEXEC ASK ADD=\"SET APP=1\"");
  desktop_.QueueAnswer(ui::kIdNo);
  SystemEditServices services = Services();
  EXPECT_EQ(ApplyAutoexecEdits(*plan_, services), kEditRejected);
  EXPECT_FALSE(Exists("AUTOEXEC.BAT"));
  EXPECT_FALSE(Exists("AUTOEXEC.BAK"));
  EXPECT_EQ(Log(), "AUTOEXEC: \"\", \"SET APP=1\"\r\n");
}

TEST_F(DosFilesTest, TheFilesLiveOnTheBootDriveAndTheEnvironmentChoosesTheBlock) {
  std::filesystem::create_directories(temp_.path() / "a");
  machine_.MapDrive('A', temp_.path() / "a", os::DriveType::Fixed);
  temp_.Write("a/AUTOEXEC.BAT", ":GAME\r\nPATH C:\\GAMES\r\n:WORK\r\nPATH C:\\DOS\r\n");
  plan_->hard_disk_letter = 'A';
  machine_.SetEnvironmentVariable("config", "work");
  Autoexec("AUTOEXEC ADDPATH");
  SystemEditServices services = Services();
  EXPECT_EQ(ApplyAutoexecEdits(*plan_, services), kEditDone);
  auto bytes = test_support::ReadLocalFile(temp_.path() / "a" / "AUTOEXEC.BAT");
  ASSERT_TRUE(bytes);
  EXPECT_EQ(std::string(bytes->begin(), bytes->end()), ":GAME\r\nPATH C:\\GAMES\r\n:WORK\r\nPATH C:\\APP;C:\\DOS\r\n");
  EXPECT_FALSE(Exists("AUTOEXEC.BAT"));
}

TEST_F(DosFilesTest, UntouchedModesLeaveEverythingAlone) {
  Put("AUTOEXEC.BAT", "WIN\r\n");
  Put("CONFIG.SYS", "FILES=5\r\n");
  SystemEditServices services = Services();
  EXPECT_EQ(ApplyAutoexecEdits(*plan_, services), kEditDone);
  EXPECT_EQ(ApplyConfigEdits(*plan_, services), kEditDone);
  EXPECT_FALSE(Exists("AUTOEXEC.BAK"));
  EXPECT_FALSE(Exists("CONFIG.BAK"));
}

TEST_F(DosFilesTest, AFullDiskLeavesTheOldFileAndItsBackupAsTheyWere) {
  const std::string old_bytes = "@ECHO OFF\r\nPATH C:\\DOS\r\nWIN\r\n";
  Put("AUTOEXEC.BAT", old_bytes);
  Put("AUTOEXEC.BAK", "an earlier backup\r\n");
  Autoexec("AUTOEXEC ADDPATH ADD=\"SET APP=1\"");
  machine_.LimitWrites("~Tarsk.tmp", 10);
  SystemEditServices services = Services();
  EXPECT_EQ(ApplyAutoexecEdits(*plan_, services), kEditFailed);
  EXPECT_EQ(Get("AUTOEXEC.BAT"), old_bytes);
  EXPECT_EQ(Get("AUTOEXEC.BAK"), "an earlier backup\r\n");
  EXPECT_FALSE(Exists("~Tarsk.tmp"));
  EXPECT_EQ(Boxes(), std::vector<std::string>{"Cannot create file C:\\AUTOEXEC.BAT|(default)|" + testing::kWarningStyle});
  EXPECT_EQ(Log(), "");  // nothing changed, nothing logged
}

TEST_F(DosFilesTest, ANewFileThatCannotTakeItsNamePutsTheOldOneBack) {
  const std::string old_bytes = "FILES=10\r\n";
  Put("CONFIG.SYS", old_bytes);
  Config("CONFIG FILEMIN=30");
  machine_.RefuseMovesFrom("~Tarsk.tmp");
  SystemEditServices services = Services();
  EXPECT_EQ(ApplyConfigEdits(*plan_, services), kEditFailed);
  EXPECT_EQ(Get("CONFIG.SYS"), old_bytes);
  EXPECT_FALSE(Exists("CONFIG.BAK"));
  EXPECT_FALSE(Exists("~Tarsk.tmp"));
  EXPECT_EQ(Boxes(), std::vector<std::string>{"Cannot create file C:\\CONFIG.SYS|(default)|" + testing::kWarningStyle});
}

TEST_F(DosFilesTest, ABackupThatCannotBeReplacedStopsThePassBeforeTheFileIsTouched) {
  Put("CONFIG.SYS", "FILES=10\r\n");
  Put("CONFIG.BAK", "stale\r\n");
  machine_.SetAttributes("C:\\CONFIG.BAK", os::kAttrReadOnly);
  Config("CONFIG FILEMIN=30");
  SystemEditServices services = Services();
  EXPECT_EQ(ApplyConfigEdits(*plan_, services), kEditFailed);
  EXPECT_EQ(Get("CONFIG.SYS"), "FILES=10\r\n");
  EXPECT_EQ(Get("CONFIG.BAK"), "stale\r\n");
  EXPECT_FALSE(Exists("~Tarsk.tmp"));
}

TEST_F(DosFilesTest, ALockedFileIsNamedAndLeftAlone) {
  Put("AUTOEXEC.BAT", "WIN\r\n");
  machine_.Lock("AUTOEXEC.BAT");
  Autoexec("AUTOEXEC ADD=\"SET APP=1\"");
  SystemEditServices services = Services();
  EXPECT_EQ(ApplyAutoexecEdits(*plan_, services), kEditFailed);
  EXPECT_EQ(Get("AUTOEXEC.BAT"), "WIN\r\n");
  EXPECT_FALSE(Exists("AUTOEXEC.BAK"));
  EXPECT_EQ(Boxes(), std::vector<std::string>{"Reading file error: C:\\AUTOEXEC.BAT|(default)|" + testing::kWarningStyle});
}

TEST_F(DosFilesTest, ACtrlZEndsTheOldFile) {
  Put("AUTOEXEC.BAT", "WIN\r\n\x1a" "garbage");
  Autoexec("AUTOEXEC ADD=\"SET APP=1\"");
  SystemEditServices services = Services();
  EXPECT_EQ(ApplyAutoexecEdits(*plan_, services), kEditDone);
  EXPECT_EQ(Get("AUTOEXEC.BAT"), "SET APP=1\r\nWIN\r\n");
}

}  // namespace
}  // namespace install::sysedit
