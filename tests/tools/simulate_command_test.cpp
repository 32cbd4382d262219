// `quill simulate`: whole installations on the modelled machine, end states
// compared exactly.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/support/fixture_builder.h"
#include "tests/tools/quill_runner.h"

namespace {

namespace fs = std::filesystem;
using quill_test::Quill;
using quill_test::QuillProgram;
using quill_test::QuillRun;
using quill_test::Read;

// Two disks, a file in a subdirectory of the destination, a file that exists
// already (asked about), a rename before and a deletion after the files.
class SimulateCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(fs::exists(QuillProgram())) << "build the quill target first: " << QuillProgram();
    dir_.Write("disk1/SETUP.CFG",
               "DEFAULTDIR \"C:\\APP\"\r\n"
               "OVERWRITEFILE ASK\r\n"
               "UNINSTALL YES\r\n"
               "RENAME \"C:\\APP\\OLD.TXT\" \"C:\\APP\\OLDER.TXT\"\r\n"
               "FILE A.TXT\r\n"
               "FILE SUB\\B.TXT SOURCE=B\r\n"
               "INSERTDISK: \"Disk 2\" \"LABEL2\"\r\n"
               "FILE C.TXT OVERWRITE=NO\r\n"
               "DELETE \"GONE.TXT\"\r\n");
    dir_.Write("disk1/A.TXT", "alpha\r\n");
    dir_.Write("disk1/B/B.TXT", "beta\r\n");
    dir_.Write("disk2/C.TXT", "gamma\r\n");
    dir_.Write("c/APP/A.TXT", "old alpha\r\n");
    dir_.Write("c/APP/C.TXT", "kept gamma\r\n");
    dir_.Write("c/APP/OLD.TXT", "renamed\r\n");
    dir_.Write("c/APP/GONE.TXT", "deleted\r\n");
    dir_.Write("machine.txt",
               "# a test machine\n"
               "windows-version 4.0\n"
               "drive C: fixed label=HD folder=c\n"
               "dir C:\\WINDOWS\\SYSTEM\n"
               "env TEMP=C:\\WINDOWS\n"
               "disk ONE label=LABEL1 folder=disk1\n"
               "disk TWO label=LABEL2 folder=disk2\n"
               "drive A: floppy disk=ONE\n"
               "command A:\\SETUP.EXE\n"
               "mtime ONE:\\A.TXT 1996-05-04 03:02:00\n"
               "mtime ONE:\\B\\B.TXT 1996-05-04 03:02:02\n"
               "mtime TWO:\\C.TXT 1996-05-04 03:02:04\n"
               "mtime C:\\APP\\A.TXT 1995-01-01 00:00:00\n"
               "mtime C:\\APP\\C.TXT 1995-01-01 00:00:00\n"
               "attr C:\\APP\\C.TXT R\n");
  }
  QuillRun Simulate(const std::string& answers, const std::string& out = "out") {
    dir_.Write("answers.txt", answers);
    return Quill("simulate machine.txt answers.txt " + out, dir_.path());
  }
  test_support::TempDir dir_;
};

constexpr char kAnswers[] =
    "destination C:\\APP\tPlease enter the destination drive and directory:\n"
    "messagebox yes\tFile exists.  Overwrite C:\\APP\\A.TXT?\n"
    "disk-prompt ok\tPlease insert Disk 2\tA:=TWO\n";

TEST_F(SimulateCommandTest, ATwoDiskInstallationEndsInExactlyTheExpectedState) {
  QuillRun run = Simulate(kAnswers);
  ASSERT_EQ(run.status, 0) << run.output;
  EXPECT_EQ(Read(dir_.path() / "out/transcript.txt"), kAnswers);
  EXPECT_EQ(Read(dir_.path() / "out/c/APP/A.TXT"), "alpha\r\n");
  EXPECT_EQ(Read(dir_.path() / "out/c/APP/SUB/B.TXT"), "beta\r\n");
  EXPECT_EQ(Read(dir_.path() / "out/c/APP/C.TXT"), "kept gamma\r\n");  // OVERWRITE=NO
  EXPECT_EQ(Read(dir_.path() / "out/c/APP/OLDER.TXT"), "renamed\r\n");
  EXPECT_FALSE(fs::exists(dir_.path() / "out/c/APP/GONE.TXT"));
  const std::string state = Read(dir_.path() / "out/state.txt");
  EXPECT_NE(state.find("file C:\\APP\\A.TXT attr=- time=1996-05-04 03:02:00\n"), std::string::npos) << state;
  EXPECT_NE(state.find("dir C:\\APP\\SUB\nfile C:\\APP\\SUB\\B.TXT attr=- time=1996-05-04 03:02:02\n"),
            std::string::npos)
      << state;
  EXPECT_NE(state.find("file C:\\APP\\C.TXT attr=R time=1995-01-01 00:00:00\n"), std::string::npos) << state;
  // The floppy drive holds the second disk at the end.
  EXPECT_NE(state.find("file A:\\C.TXT"), std::string::npos) << state;
  EXPECT_EQ(Read(dir_.path() / "out/c/APP/install.log"),
            "DEFAULTDIR: C:\\APP\r\n"
            "UNINSTALLBEGINPROMPT: \"Do you want this application removed from your system?\"\r\n"
            "UNINSTALLENDPROMPT: \"This application has been successfully removed from your system.\"\r\n"
            "UNINSTALLTITLEPROMPT: \"UnInstall\"\r\n"
            "RENAME: C:\\APP\\OLDER.TXT, C:\\APP\\OLD.TXT\r\n"
            "FILE: C:\\APP\\A.TXT\r\n"
            "DIRECTORY: C:\\APP\\SUB\r\n"
            "\r\n"
            "FILE: C:\\APP\\SUB\\B.TXT\r\n");
  // The input folders never change.
  EXPECT_EQ(Read(dir_.path() / "c/APP/A.TXT"), "old alpha\r\n");
  EXPECT_TRUE(fs::exists(dir_.path() / "c/APP/GONE.TXT"));
}

TEST_F(SimulateCommandTest, WithoutAnswersTheTranscriptSaysWhatWouldBeAsked) {
  QuillRun run = Quill("simulate machine.txt - out", dir_.path());
  ASSERT_EQ(run.status, 0) << run.output;
  EXPECT_EQ(Read(dir_.path() / "out/transcript.txt"),
            "destination C:\\APP\tPlease enter the destination drive and directory:\n"
            "messagebox yes\tFile exists.  Overwrite C:\\APP\\A.TXT?\n"
            "disk-prompt ok\tPlease insert Disk 2\tA:=TWO\n");
}

TEST_F(SimulateCommandTest, ACancelledDiskPromptStopsTheRunAndKeepsWhatWasInstalled) {
  QuillRun run = Simulate(
      "destination C:\\APP\n"
      "messagebox no\tFile exists.  Overwrite C:\\APP\\A.TXT?\n"
      "disk-prompt cancel\tPlease insert Disk 2\n"
      "messagebox yes\tDo you wish to quit?\n");
  ASSERT_EQ(run.status, 0) << run.output;
  EXPECT_EQ(Read(dir_.path() / "out/c/APP/A.TXT"), "old alpha\r\n");  // answered No
  EXPECT_EQ(Read(dir_.path() / "out/c/APP/SUB/B.TXT"), "beta\r\n");
  EXPECT_TRUE(fs::exists(dir_.path() / "out/c/APP/GONE.TXT"));  // no deletions after a stop
  const std::string log = Read(dir_.path() / "out/c/APP/install.log");
  EXPECT_NE(log.find("FILE: C:\\APP\\SUB\\B.TXT\r\n"), std::string::npos) << log;
}

TEST_F(SimulateCommandTest, AnswersThatDoNotFitTheRunAreReported) {
  QuillRun other_text = Simulate(
      "destination C:\\APP\n"
      "messagebox yes\tFile exists.  Overwrite C:\\APP\\Z.TXT?\n", "out1");
  EXPECT_EQ(other_text.status, 2) << other_text.output;
  EXPECT_NE(other_text.output.find("Overwrite C:\\APP\\Z.TXT?"), std::string::npos) << other_text.output;
  EXPECT_NE(other_text.output.find("Overwrite C:\\APP\\A.TXT?"), std::string::npos) << other_text.output;

  QuillRun left_over = Simulate(std::string(kAnswers) + "lastscreen ok\n", "out2");
  EXPECT_EQ(left_over.status, 2) << left_over.output;
  EXPECT_NE(left_over.output.find("lastscreen ok"), std::string::npos) << left_over.output;

  QuillRun too_few = Simulate("destination C:\\APP\n", "out3");
  EXPECT_EQ(too_few.status, 2) << too_few.output;
}

TEST_F(SimulateCommandTest, BadInputsAreNamedAndNothingIsRun) {
  dir_.Write("bad.txt", "windows-version 4.0\ndrive Q: spinning\n");
  QuillRun bad_line = Quill("simulate bad.txt - out", dir_.path());
  EXPECT_EQ(bad_line.status, 1);
  EXPECT_NE(bad_line.output.find("bad.txt:2"), std::string::npos) << bad_line.output;

  fs::create_directories(dir_.path() / "exists");
  EXPECT_EQ(Quill("simulate machine.txt - exists", dir_.path()).status, 1);
  EXPECT_EQ(Quill("simulate machine.txt", dir_.path()).status, 1);

  dir_.Write("disk1/SETUP.CFG", "DEFAULTDIR \"C:\\APP\"\r\nFILE A.TXT BOGUSOPTION\r\n");
  QuillRun syntax = Quill("simulate machine.txt - out4", dir_.path());
  EXPECT_EQ(syntax.status, 3) << syntax.output;
  EXPECT_NE(syntax.output.find("BOGUSOPTION"), std::string::npos) << syntax.output;
}

// One disk: a wildcard entry copies every match; NEW compares dates; YES
// replaces a read-only file; NO keeps what is there.
TEST(SimulateOverwriteTest, EveryOverwriteModeAndAWildcardCopy) {
  test_support::TempDir dir;
  dir.Write("disk/SETUP.CFG",
            "DEFAULTDIR \"C:\\APP\"\r\n"
            "FILE DOCS\\*.DOC SOURCE=DOCS OVERWRITE=YES\r\n"
            "FILE NEWER.TXT OVERWRITE=NEW\r\n"
            "FILE OLDER.TXT OVERWRITE=NEW\r\n"
            "FILE LOCKED.TXT OVERWRITE=YES ATTRIBUTE=\"A\"\r\n"
            "FILE KEEP.TXT OVERWRITE=NO\r\n");
  dir.Write("disk/DOCS/ONE.DOC", "1");
  dir.Write("disk/DOCS/TWO.DOC", "2");
  dir.Write("disk/DOCS/SKIP.TXT", "not a match");
  for (const char* name : {"NEWER.TXT", "OLDER.TXT", "LOCKED.TXT", "KEEP.TXT"}) {
    dir.Write(std::string("disk/") + name, std::string("new ") + name);
    dir.Write(std::string("c/APP/") + name, std::string("old ") + name);
  }
  dir.Write("machine.txt",
            "drive C: fixed folder=c\n"
            "drive D: cdrom label=CD folder=disk\n"
            "command D:\\SETUP.EXE\n"
            "mtime D:\\NEWER.TXT 1997-01-01 12:00:00\n"
            "mtime C:\\APP\\NEWER.TXT 1997-01-01 11:59:58\n"
            "mtime D:\\OLDER.TXT 1997-01-01 12:00:00\n"
            "mtime C:\\APP\\OLDER.TXT 1997-01-02 00:00:00\n"
            "attr C:\\APP\\LOCKED.TXT R\n");
  dir.Write("answers.txt", "destination C:\\APP\n");
  QuillRun run = Quill("simulate machine.txt answers.txt out", dir.path());
  ASSERT_EQ(run.status, 0) << run.output;
  EXPECT_EQ(Read(dir.path() / "out/c/APP/DOCS/ONE.DOC"), "1");
  EXPECT_EQ(Read(dir.path() / "out/c/APP/DOCS/TWO.DOC"), "2");
  EXPECT_FALSE(fs::exists(dir.path() / "out/c/APP/DOCS/SKIP.TXT"));
  EXPECT_EQ(Read(dir.path() / "out/c/APP/NEWER.TXT"), "new NEWER.TXT");
  EXPECT_EQ(Read(dir.path() / "out/c/APP/OLDER.TXT"), "old OLDER.TXT");
  EXPECT_EQ(Read(dir.path() / "out/c/APP/LOCKED.TXT"), "new LOCKED.TXT");
  EXPECT_EQ(Read(dir.path() / "out/c/APP/KEEP.TXT"), "old KEEP.TXT");
  const std::string state = Read(dir.path() / "out/state.txt");
  EXPECT_NE(state.find("file C:\\APP\\LOCKED.TXT attr=A time="), std::string::npos) << state;
  EXPECT_NE(state.find("file C:\\APP\\NEWER.TXT attr=- time=1997-01-01 12:00:00"), std::string::npos) << state;
  EXPECT_NE(state.find("file C:\\APP\\OLDER.TXT attr=- time=1997-01-02 00:00:00"), std::string::npos) << state;
}

}  // namespace
