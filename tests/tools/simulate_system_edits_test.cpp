// `quill simulate` with the edits of the machine's text files: AUTOEXEC.BAT
// and CONFIG.SYS with and without ASK, INI files and ADDTEXT, each file and
// the install log compared byte for byte.
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

constexpr char kAutoexec[] =
    "@ECHO OFF\r\n"
    "PATH C:\\DOS\r\n"
    "GOTO %CONFIG%\r\n"
    ":GAME\r\n"
    "PATH C:\\GAMES;C:\\DOS\r\n"
    "GOTO END\r\n"
    ":WORK\r\n"
    "PATH C:\\WORK;C:\\DOS\r\n"
    ":END\r\n"
    "WIN\r\n";
constexpr char kConfig[] = "DEVICE=C:\\DOS\\HIMEM.SYS\r\nFILES=20\r\nBUFFERS=40\r\nDOS=HIGH";
constexpr char kWinIni[] = "[windows]\r\nload=\r\nrun=\r\n\r\n[Extensions]\r\ntxt=write.exe ^.txt\r\n";
constexpr char kSystemIni[] = "[boot]\r\nshell=Explorer.exe\r\n[386Enh]\r\ndevice=*vpicd\r\n";

constexpr char kLogStart[] =
    "DEFAULTDIR: C:\\APP\r\n"
    "UNINSTALLBEGINPROMPT: \"Do you want this application removed from your system?\"\r\n"
    "UNINSTALLENDPROMPT: \"This application has been successfully removed from your system.\"\r\n"
    "UNINSTALLTITLEPROMPT: \"UnInstall\"\r\n"
    "FILE: C:\\APP\\README.TXT\r\n";

// A CD in drive D: with README.TXT, a hard disk C: with the DOS start-up
// files and the Windows directory, and DOS started in the WORK configuration.
class SimulateSystemEditsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(fs::exists(QuillProgram())) << "build the quill target first: " << QuillProgram();
    dir_.Write("cd/README.TXT", "one\r\ntwo\r\n");
    dir_.Write("c/AUTOEXEC.BAT", kAutoexec);
    dir_.Write("c/CONFIG.SYS", kConfig);
    dir_.Write("c/WINDOWS/WIN.INI", kWinIni);
    dir_.Write("c/WINDOWS/SYSTEM.INI", kSystemIni);
    dir_.Write("machine.txt",
               "drive C: fixed folder=c\n"
               "drive D: cdrom label=CD folder=cd\n"
               "dir C:\\APP\n"
               "env CONFIG=WORK\n"
               "command D:\\SETUP.EXE\n");
  }
  QuillRun Simulate(const std::string& script, const std::string& answers) {
    dir_.Write("cd/SETUP.CFG", script);
    dir_.Write("answers.txt", answers);
    return Quill("simulate machine.txt answers.txt out", dir_.path());
  }
  std::string Out(const std::string& relative) { return Read(dir_.path() / "out" / relative); }

  test_support::TempDir dir_;
};

TEST_F(SimulateSystemEditsTest, EveryEditWithoutQuestions) {
  QuillRun run = Simulate(
      "DEFAULTDIR \"C:\\APP\"\r\n"
      "UNINSTALL YES\r\n"
      "FILE README.TXT\r\n"
      "AUTOEXEC ADDPATH ADD=\"SET QUILL=$DEFAULTDIR$\" SHARE=\"/F:4096 /L:40\"\r\n"
      "CONFIG FILEMIN=30 BUFFERMIN=20 ADD=\"DEVICE=$DEFAULTDIR$\\QUILL.SYS\"\r\n"
      "INIFILE \"Extensions\" \"txt\" \"notepad.exe ^.txt\"\r\n"
      "INIFILE \"windows\" \"load\" \"quill.exe\" WIN.INI ADD\r\n"
      "INIFILE \"Quill\" \"Home\" \"$DEFAULTDIR$\" QUILL.INI\r\n"
      "ADDTEXT \"three\" \"README.TXT\" \"-1\"\r\n"
      "ADDTEXT \"device=quill.386\" \"$WINDIR$\\SYSTEM.INI\" \"[386enh]\"\r\n",
      "destination C:\\APP\n");
  ASSERT_EQ(run.status, 0) << run.output;
  EXPECT_EQ(Out("transcript.txt"), "destination C:\\APP\tPlease enter the destination drive and directory:\n");

  EXPECT_EQ(Out("c/AUTOEXEC.BAT"),
            "@ECHO OFF\r\n"
            "PATH C:\\DOS\r\n"
            "GOTO %CONFIG%\r\n"
            ":GAME\r\n"
            "PATH C:\\GAMES;C:\\DOS\r\n"
            "GOTO END\r\n"
            ":WORK\r\n"
            "PATH C:\\APP;C:\\WORK;C:\\DOS\r\n"
            ":END\r\n"
            "SET QUILL=C:\\APP\r\n"
            "SHARE /F:4096 /L:40\r\n"
            "WIN\r\n");
  EXPECT_EQ(Out("c/AUTOEXEC.BAK"), kAutoexec);
  EXPECT_EQ(Out("c/CONFIG.SYS"),
            "DEVICE=C:\\DOS\\HIMEM.SYS\r\nFILES=30\r\nBUFFERS=40\r\nDOS=HIGH\r\nDEVICE=C:\\APP\\QUILL.SYS\r\n");
  EXPECT_EQ(Out("c/CONFIG.BAK"), kConfig);
  EXPECT_EQ(Out("c/WINDOWS/WIN.INI"),
            "[windows]\r\nload=quill.exe\r\nrun=\r\n[Extensions]\r\ntxt=notepad.exe ^.txt\r\n");
  EXPECT_EQ(Out("c/WINDOWS/QUILL.INI"), "[Quill]\r\nHome=C:\\APP\r\n");
  EXPECT_EQ(Out("c/APP/README.TXT"), "one\r\ntwo\r\nthree\r\n");
  EXPECT_EQ(Out("c/WINDOWS/SYSTEM.INI"),
            "[boot]\r\nshell=Explorer.exe\r\n[386Enh]\r\ndevice=quill.386\r\ndevice=*vpicd\r\n");
  EXPECT_EQ(Out("c/~Tarsk.tmp"), "<missing>");
  EXPECT_EQ(Out("c/APP/~Tarsk.tmp"), "<missing>");
  EXPECT_EQ(Out("c/APP/install.log"),
            std::string(kLogStart) +
                "AUTOEXEC: \"PATH C:\\WORK;C:\\DOS\", \"PATH C:\\APP;C:\\WORK;C:\\DOS\"\r\n"
                "AUTOEXEC: \"\", \"SET QUILL=C:\\APP\"\r\n"
                "AUTOEXEC: \"\", \"SHARE /F:4096 /L:40\"\r\n"
                "CONFIG: \"FILES=20\", \"FILES=30\"\r\n"
                "CONFIG: \"\", \"DEVICE=C:\\APP\\QUILL.SYS\"\r\n"
                "INIFILE: \"Extensions\", \"txt\", \"notepad.exe ^.txt\", \"WIN.INI\", \"write.exe ^.txt\"\r\n"
                "INIFILE: \"windows\", \"load\", \"quill.exe\", \"WIN.INI\", \" quill.exe\"\r\n"
                "FILE: C:\\WINDOWS\\QUILL.INI\r\n"
                "INIFILE: \"Quill\", \"Home\", \"C:\\APP\", \"QUILL.INI\"\r\n"
                "INIFILE: \"Quill\", \"QUILL.INI\"\r\n"
                "ADDTEXT: \"\", README.TXT, \"three\"\r\n"
                "ADDTEXT: \"device=*vpicd\", C:\\WINDOWS\\SYSTEM.INI, \"device=quill.386\"\r\n");
  // The input folders never change.
  EXPECT_EQ(Read(dir_.path() / "c/AUTOEXEC.BAT"), kAutoexec);
}

TEST_F(SimulateSystemEditsTest, QuestionsAndAFileThatCannotBeWritten) {
  dir_.Write("machine.txt",
             "drive C: fixed folder=c\n"
             "drive D: cdrom label=CD folder=cd\n"
             "dir C:\\APP\n"
             "command D:\\SETUP.EXE\n"
             "attr C:\\WINDOWS\\WIN.INI R\n");
  const std::string answers =
      "destination C:\\APP\tPlease enter the destination drive and directory:\n"
      "messagebox no\tDo you wish this program to modify your AUTOEXEC.BAT?\n"
      "messagebox yes\tInstall the drivers in CONFIG.SYS?\n"
      "messagebox no\tDo you wish this program to modify file QUILL.INI?\n"
      "messagebox ok\tCannot create file C:\\WINDOWS\\WIN.INI\n";
  QuillRun run = Simulate(
      "DEFAULTDIR \"C:\\APP\"\r\n"
      "UNINSTALL YES\r\n"
      "CONFIGPROMPT \"Install the drivers in CONFIG.SYS?\"\r\n"
      "FILE README.TXT\r\n"
      "AUTOEXEC ASK ADDPATH\r\n"
      "CONFIG ASK FILEMIN=30\r\n"
      "INIFILE \"Quill\" \"Home\" \"$DEFAULTDIR$\" QUILL.INI ASK\r\n"
      "INIFILE \"Extensions\" \"txt\" \"notepad.exe ^.txt\"\r\n"
      "ADDTEXT \"two\" \"README.TXT\" \"1\"\r\n",
      answers);
  ASSERT_EQ(run.status, 0) << run.output;
  EXPECT_EQ(Out("transcript.txt"), answers);
  // AUTOEXEC.BAT is the old file again; CONFIG.SYS keeps its change.
  EXPECT_EQ(Out("c/AUTOEXEC.BAT"), kAutoexec);
  EXPECT_EQ(Out("c/AUTOEXEC.BAK"), "<missing>");
  EXPECT_EQ(Out("c/CONFIG.SYS"), "DEVICE=C:\\DOS\\HIMEM.SYS\r\nFILES=30\r\nBUFFERS=40\r\nDOS=HIGH");
  EXPECT_EQ(Out("c/CONFIG.BAK"), kConfig);
  EXPECT_EQ(Out("c/WINDOWS/QUILL.INI"), "<missing>");
  EXPECT_EQ(Out("c/WINDOWS/WIN.INI"), kWinIni);
  EXPECT_EQ(Out("c/APP/README.TXT"), "one\r\ntwo\r\n");  // "two" is there already
  // The AUTOEXEC entries stay although the change was taken back.
  EXPECT_EQ(Out("c/APP/install.log"),
            std::string(kLogStart) +
                "AUTOEXEC: \"PATH C:\\DOS\", \"PATH C:\\APP;C:\\DOS\"\r\n"
                "CONFIG: \"FILES=20\", \"FILES=30\"\r\n");
  const std::string state = Out("state.txt");
  EXPECT_NE(state.find("file C:\\WINDOWS\\WIN.INI attr=R "), std::string::npos) << state;
}

}  // namespace
