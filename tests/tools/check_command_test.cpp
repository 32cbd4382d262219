// Runs the quill program itself: `quill check` as a script author uses it.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/support/fixture_builder.h"
#include "tests/tools/quill_runner.h"

namespace {

using quill_test::Quill;
using quill_test::QuillProgram;
using quill_test::QuillRun;

class CheckCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(std::filesystem::exists(QuillProgram())) << "build the quill target first: " << QuillProgram();
  }
  test_support::TempDir dir_;
};

TEST_F(CheckCommandTest, WellFormedScriptPrintsOkAndTheDump) {
  dir_.Write("SETUP.CFG",
             "REM a small installation\r\n"
             "TITLE \"Sample\"\r\n"
             "DEFAULTDIR \\SAMPLE\r\n"
             "FILE readme.txt SOURCE=$SOURCEDIR$\\DISK1\r\n"
             "RUNATEXIT \"$DEFAULTDIR$\\RUN.EXE $SYSTEM$\"\r\n"
             "WINITEM \"Sample\" \"$DEFAULTDIR$\\RUN.EXE\" \"Run\", replace\r\n");
  QuillRun plain = Quill("check SETUP.CFG", dir_.path());
  EXPECT_EQ(plain.status, 0);
  EXPECT_EQ(plain.output, "OK\n");

  QuillRun dump = Quill("check setup.cfg --dump -- -FOO -BAR", dir_.path());
  EXPECT_EQ(dump.status, 0);
  EXPECT_EQ(dump.output.rfind("OK\ntitle \"Sample\" font \"Arial\"", 0), 0u) << dump.output;
  EXPECT_NE(dump.output.find("\ndestination DEFAULTDIR \"C:\\SAMPLE\" ask-mode 3\n"), std::string::npos);
  EXPECT_NE(dump.output.find("\nmacro SYSTEM \"FOO\"\nmacro SYS2 \"BAR\"\n"), std::string::npos);
  EXPECT_NE(dump.output.find("\nfile \"readme.txt\" compression 0 overwrite ASK popup -1 attributes 0x80 "
                             "source \"A:\\DISK1\" kind 2\n"),
            std::string::npos);
  EXPECT_NE(dump.output.find("\nrun-at-exit \"$DEFAULTDIR$\\RUN.EXE $SYSTEM$\"\n"), std::string::npos);
  EXPECT_NE(dump.output.find("action replace\n"), std::string::npos);
  EXPECT_NE(dump.output.find("\nprompt OKPROMPT \"OK\"\n"), std::string::npos);
}

TEST_F(CheckCommandTest, SyntaxErrorPrintsTheLineNumberAndTheLine) {
  dir_.Write("BAD.CFG", "TITLE \"x\"\n\nFILE a.txt SOURCE=$SYSTEM$\\X BOGUS\nTITLE \"y\"\n");
  QuillRun run = Quill("check BAD.CFG -- -OPT", dir_.path());
  EXPECT_EQ(run.status, 1);
  // The line as the parser holds it: $SYSTEM$ was substituted while it was read.
  EXPECT_EQ(run.output, "Syntax error, line: 3\nFILE a.txt SOURCE=OPT\\X BOGUS\n");
}

TEST_F(CheckCommandTest, LongLineCountsAsTwoLines) {
  dir_.Write("LONG.CFG", "REM " + std::string(1196, 'x') + "\nTITLE \"t\" NOTANATTRIBUTE\n");
  QuillRun run = Quill("check LONG.CFG", dir_.path());
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.output, "Syntax error, line: 3\nTITLE \"t\" NOTANATTRIBUTE\n");
}

TEST_F(CheckCommandTest, MissingScriptPrintsTheFileNotFoundText) {
  QuillRun run = Quill("check NOSUCH.CFG", dir_.path());
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.output, "File not found on the installation disk: NOSUCH.CFG. \n");
}

TEST_F(CheckCommandTest, ExitMessagePrintsItsLines) {
  dir_.Write("EXIT.CFG", "TITLE \"x\"\nEXITMESSAGE\nThis program needs a newer system.\n  Sorry.\nEXIT\nTITLE \"y\"\n");
  QuillRun run = Quill("check EXIT.CFG", dir_.path());
  EXPECT_EQ(run.status, 3);
  EXPECT_EQ(run.output, "This program needs a newer system.\n  Sorry.\n");
}

TEST_F(CheckCommandTest, BadArgumentsShowTheUsage) {
  QuillRun run = Quill("check", dir_.path());
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.output.find("usage: quill check SCRIPT"), std::string::npos);
}

}  // namespace
