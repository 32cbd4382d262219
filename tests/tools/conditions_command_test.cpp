// IF conditions through `quill simulate` (one script on three modelled
// machines, every kind of condition, the end state compared exactly) and
// through `quill check` (decided on its modelled machine).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/fixture_builder.h"
#include "tests/support/pe_builder.h"
#include "tests/tools/quill_runner.h"

namespace {

namespace fs = std::filesystem;
using quill_test::Quill;
using quill_test::QuillProgram;
using quill_test::QuillRun;
using quill_test::Read;

constexpr char kClsid[] = "{0B2E1A40-1234-11CF-8E6C-00AA0060F3A1}";

// Each condition chooses one file; the user's choices are decided in the
// replay, after the question and the group page.
const std::string kScript = std::string() +
    "DEFAULTDIR \"C:\\APP\"\r\n"
    "UNINSTALL YES\r\n"
    "ASK1 \"Standard\" prompt=\"Edition?\"\r\n"
    "BEGINGROUP 1\r\n"
    "Choose the parts:\r\n"
    "01 [X] Program\r\n"
    "02 [ ] Samples\r\n"
    "ENDGROUP\r\n"
    "FILE BASE.TXT\r\n"
    "IF winver >= 4.0\r\n"
    "FILE WIN4.TXT\r\n"
    "ELSE\r\n"
    "FILE WIN3.TXT\r\n"
    "ENDIF\r\n"
    "IF dosver = range 5.0 6.22\r\n"
    "FILE DOS6.TXT\r\n"
    "ENDIF\r\n"
    "IF dosver < 1\r\n"
    "FILE NODOS.TXT\r\n"
    "ENDIF\r\n"
    "IF memory >= 8192\r\n"
    "FILE BIG.TXT\r\n"
    "ENDIF\r\n"
    "IF videocolor > 65536\r\n"
    "FILE TRUECOL.TXT\r\n"
    "ENDIF\r\n"
    "IF videoresolution < 800 600\r\n"
    "FILE SMALL.TXT\r\n"
    "ENDIF\r\n"
    "IF video > 256 1024 768\r\n"
    "FILE LARGE.TXT\r\n"
    "ENDIF\r\n"
    "IF isfile \"$WINDIR$\\MARSH.INI\"\r\n"
    "FILE UPDATE.TXT\r\n"
    "ENDIF\r\n"
    "IF search \"Edition=Pro\" \"$WINDIR$\\MARSH.INI\" \";\"\r\n"
    "FILE EDITION.TXT\r\n"
    "ENDIF\r\n"
    "IF ocxfilever \"" + kClsid + "\" 32 >= \"2.0\"\r\n"
    "FILE OCXNEW.TXT\r\n"
    "ENDIF\r\n"
    "IF locate OLDAPP.EXE local\r\n"
    "FILE $LOCATEDIR$\\FOUND.TXT\r\n"
    "ENDIF\r\n"
    "IF $SYSTEM$ = \"full\"\r\n"
    "FILE FULL.TXT\r\n"
    "ENDIF\r\n"
    "IF group=2\r\n"
    "FILE SAMPLE.TXT\r\n"
    "ENDIF\r\n"
    "IF $ASK1 = \"Pro\"\r\n"
    "FILE PRO.TXT\r\n"
    "ELSE\r\n"
    "FILE STD.TXT\r\n"
    "ENDIF\r\n"
    "FILE LAST.TXT\r\n";

const std::vector<std::string> kSourceFiles = {
    "BASE.TXT", "WIN4.TXT",  "WIN3.TXT",   "DOS6.TXT",  "NODOS.TXT", "BIG.TXT",    "TRUECOL.TXT",
    "SMALL.TXT", "LARGE.TXT", "UPDATE.TXT", "EDITION.TXT", "OCXNEW.TXT", "FOUND.TXT", "FULL.TXT",
    "SAMPLE.TXT", "PRO.TXT", "STD.TXT",    "LAST.TXT"};

class ConditionsCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(fs::exists(QuillProgram())) << "build the quill target first: " << QuillProgram();
    dir_.Write("cd/SETUP.CFG", kScript);
    for (const std::string& name : kSourceFiles) dir_.Write("cd/" + name, name + "\r\n");
  }
  QuillRun Simulate(const std::string& machine, const std::string& answers, const std::string& out) {
    dir_.Write(out + "-machine.txt", machine);
    std::string answers_file = "-";  // none: every question takes its default
    if (answers != "-") dir_.Write(answers_file = out + "-answers.txt", answers);
    return Quill("simulate " + out + "-machine.txt " + answers_file + " " + out, dir_.path());
  }
  // The installed files of drive C:\APP and elsewhere, as "file PATH" lines
  // of state.txt without their times (the sources' times are today's).
  std::string Installed(const std::string& out) {
    std::istringstream state(Read(dir_.path() / out / "state.txt"));
    std::string lines;
    for (std::string line; std::getline(state, line);) {
      if (line.rfind("file C:\\APP\\", 0) != 0 && line.rfind("file E:\\", 0) != 0) continue;
      lines += line.substr(0, line.find(" attr=")) + "\n";
    }
    return lines;
  }
  std::string Log(const std::string& out) { return Read(dir_.path() / out / "c/APP/install.log"); }

  test_support::TempDir dir_;
};

constexpr char kLogHead[] =
    "DIRECTORY: C:\\APP\r\n"
    "DEFAULTDIR: C:\\APP\r\n"
    "UNINSTALLBEGINPROMPT: \"Do you want this application removed from your system?\"\r\n"
    "UNINSTALLENDPROMPT: \"This application has been successfully removed from your system.\"\r\n"
    "UNINSTALLTITLEPROMPT: \"UnInstall\"\r\n";

TEST_F(ConditionsCommandTest, AnOldMachineGetsTheSmallChoices) {
  fs::create_directories(dir_.path() / "c");
  fs::create_directories(dir_.path() / "e");
  QuillRun run = Simulate(
      "windows-version 3.95\n"
      "dos-version 6.22\n"
      "memory 4M\n"
      "display 640x480 16\n"
      "drive C: fixed folder=c\n"
      "drive D: cdrom label=CD folder=cd\n"
      "drive E: fixed folder=e\n"
      "command D:\\SETUP.EXE\n",
      "ask1 Standard\n"
      "groups 1\n"
      "destination C:\\APP\n",
      "old");
  ASSERT_EQ(run.status, 0) << run.output;
  EXPECT_EQ(Installed("old"),
            "file C:\\APP\\BASE.TXT\n"
            "file C:\\APP\\DOS6.TXT\n"
            "file C:\\APP\\install.log\n"
            "file C:\\APP\\LAST.TXT\n"
            "file C:\\APP\\SMALL.TXT\n"
            "file C:\\APP\\STD.TXT\n"
            "file C:\\APP\\WIN3.TXT\n");
  // The replayed blocks' files come after the script's others.
  EXPECT_EQ(Log("old"), std::string(kLogHead) +
                            "FILE: C:\\APP\\BASE.TXT\r\n"
                            "FILE: C:\\APP\\WIN3.TXT\r\n"
                            "FILE: C:\\APP\\DOS6.TXT\r\n"
                            "FILE: C:\\APP\\SMALL.TXT\r\n"
                            "FILE: C:\\APP\\LAST.TXT\r\n"
                            "FILE: C:\\APP\\STD.TXT\r\n");
  EXPECT_EQ(Read(dir_.path() / "old/transcript.txt"),
            "ask1 Standard\ngroups 1\ndestination C:\\APP\tPlease enter the destination drive and directory:\n");
}

TEST_F(ConditionsCommandTest, ANewMachineGetsEveryFactTheScriptAsksAbout) {
  dir_.Write("c2/WINDOWS/MARSH.INI", "; Edition=Pro was the old key\r\n[Marsh]\r\nEdition=Pro\r\n");
  test_support::WriteLocalFile(dir_.path() / "c2/WINDOWS/SYSTEM/MARSH.OCX", test_support::PeWithVersion("2.0.1"));
  dir_.Write("e2/OLD/OLDAPP.EXE", "old");
  dir_.Write("f2/OLDAPP.EXE", "on the network");
  const std::string registry = std::string() +
                               "REGEDIT4\r\n\r\n"
                               "[HKEY_CLASSES_ROOT\\CLSID\\" + kClsid + "\\InprocServer32]\r\n"
                               "@=\"C:\\\\WINDOWS\\\\SYSTEM\\\\MARSH.OCX\"\r\n\r\n";
  dir_.Write("components.reg", registry);
  QuillRun run = Simulate(
      "windows-version 4.0\n"
      "dos-version 7.10\n"
      "memory 16M\n"
      "display 1024x768 16777216\n"
      "registry components.reg\n"
      "drive C: fixed folder=c2\n"
      "drive D: cdrom label=CD folder=cd\n"
      "drive E: fixed folder=e2\n"
      "drive F: network folder=f2\n"
      "command D:\\SETUP.EXE -full\n",
      "ask1 Pro\n"
      "groups 1,2\n"
      "destination C:\\APP\n",
      "new");
  ASSERT_EQ(run.status, 0) << run.output;
  EXPECT_EQ(Installed("new"),
            "file C:\\APP\\BASE.TXT\n"
            "file C:\\APP\\BIG.TXT\n"
            "file C:\\APP\\EDITION.TXT\n"
            "file C:\\APP\\FULL.TXT\n"
            "file C:\\APP\\install.log\n"
            "file C:\\APP\\LARGE.TXT\n"
            "file C:\\APP\\LAST.TXT\n"
            "file C:\\APP\\OCXNEW.TXT\n"
            "file C:\\APP\\PRO.TXT\n"
            "file C:\\APP\\SAMPLE.TXT\n"
            "file C:\\APP\\TRUECOL.TXT\n"
            "file C:\\APP\\UPDATE.TXT\n"
            "file C:\\APP\\WIN4.TXT\n"
            "file E:\\OLD\\FOUND.TXT\n"
            "file E:\\OLD\\OLDAPP.EXE\n");
  EXPECT_EQ(Log("new"), std::string(kLogHead) +
                            "FILE: C:\\APP\\BASE.TXT\r\n"
                            "FILE: C:\\APP\\WIN4.TXT\r\n"
                            "FILE: C:\\APP\\BIG.TXT\r\n"
                            "FILE: C:\\APP\\TRUECOL.TXT\r\n"
                            "FILE: C:\\APP\\LARGE.TXT\r\n"
                            "FILE: C:\\APP\\UPDATE.TXT\r\n"
                            "FILE: C:\\APP\\EDITION.TXT\r\n"
                            "FILE: C:\\APP\\OCXNEW.TXT\r\n"
                            "FILE: E:\\OLD\\FOUND.TXT\r\n"
                            "FILE: C:\\APP\\FULL.TXT\r\n"
                            "FILE: C:\\APP\\LAST.TXT\r\n"
                            "FILE: C:\\APP\\SAMPLE.TXT\r\n"
                            "FILE: C:\\APP\\PRO.TXT\r\n");
  EXPECT_EQ(Read(dir_.path() / "new/e/OLD/FOUND.TXT"), "FOUND.TXT\r\n");
  // The registry the machine started with is the registry it ends with.
  EXPECT_EQ(Read(dir_.path() / "new/registry.reg"),
            std::string() +
                "REGEDIT4\r\n\r\n"
                "[HKEY_CLASSES_ROOT\\CLSID]\r\n\r\n"
                "[HKEY_CLASSES_ROOT\\CLSID\\" + kClsid + "]\r\n\r\n"
                "[HKEY_CLASSES_ROOT\\CLSID\\" + kClsid + "\\InprocServer32]\r\n"
                "@=\"C:\\\\WINDOWS\\\\SYSTEM\\\\MARSH.OCX\"\r\n\r\n");
}

TEST_F(ConditionsCommandTest, WindowsNtHasNoDosBeneathIt) {
  fs::create_directories(dir_.path() / "c");
  QuillRun run = Simulate(
      "windows-version 3.51\n"
      "platform nt\n"
      "drive C: fixed folder=c\n"
      "drive D: cdrom label=CD folder=cd\n"
      "command D:\\SETUP.EXE\n",
      "-", "nt");
  ASSERT_EQ(run.status, 0) << run.output;
  // Defaults: 16 MB of memory, a 640 x 480 display of 256 colours.
  EXPECT_EQ(Installed("nt"),
            "file C:\\APP\\BASE.TXT\n"
            "file C:\\APP\\BIG.TXT\n"
            "file C:\\APP\\install.log\n"
            "file C:\\APP\\LAST.TXT\n"
            "file C:\\APP\\NODOS.TXT\n"
            "file C:\\APP\\SMALL.TXT\n"
            "file C:\\APP\\STD.TXT\n"
            "file C:\\APP\\WIN3.TXT\n");
  EXPECT_EQ(Read(dir_.path() / "nt/transcript.txt"),
            "ask1 Standard\ngroups 01\ndestination C:\\APP\tPlease enter the destination drive and directory:\n");
}

TEST_F(ConditionsCommandTest, ABadConditionStopsTheInstallerOnItsLine) {
  dir_.Write("cd/SETUP.CFG", "DEFAULTDIR \"C:\\APP\"\r\nIF video = 640 480\r\nFILE BASE.TXT\r\nENDIF\r\n");
  fs::create_directories(dir_.path() / "c");
  QuillRun run = Simulate("drive C: fixed folder=c\ndrive D: cdrom folder=cd\ncommand D:\\SETUP.EXE\n", "-", "bad");
  EXPECT_EQ(run.status, 3) << run.output;
  EXPECT_NE(run.output.find("IF video = 640 480"), std::string::npos) << run.output;
}

TEST_F(ConditionsCommandTest, MachineFactsThatCannotBeReadAreNamed) {
  for (const char* line : {"display 640x480 100", "display 640 480", "memory 8X", "registry"}) {
    dir_.Write("facts.txt", std::string("drive C: fixed folder=cd\n") + line + "\n");
    QuillRun run = Quill("simulate facts.txt - out", dir_.path());
    EXPECT_EQ(run.status, 1) << line;
    EXPECT_NE(run.output.find("facts.txt:2"), std::string::npos) << line << ": " << run.output;
  }
  dir_.Write("not.reg", "[HKEY_CLASSES_ROOT\\X]\r\n");
  dir_.Write("facts.txt", "drive C: fixed folder=cd\nregistry not.reg\n");
  QuillRun run = Quill("simulate facts.txt - out2", dir_.path());
  EXPECT_EQ(run.status, 1) << run.output;
  EXPECT_NE(run.output.find("not a REGEDIT4 file"), std::string::npos) << run.output;
}

// `quill check` decides the conditions on its modelled machine: Windows 3.95
// over DOS 7.0, 16 MB, 640 x 480 with 256 colours, no registered components.
TEST_F(ConditionsCommandTest, CheckDecidesConditionsOnItsModelledMachine) {
  dir_.Write("check/SETUP.CFG",
             "IF winver = 3.95\r\n"
             "TITLE \"Windows 95\"\r\n"
             "ENDIF\r\n"
             "IF memory >= 16384\r\n"
             "RUNATEXIT \"enough memory\"\r\n"
             "ENDIF\r\n"
             "IF video < 800 600\r\n"
             "RUNATEXIT \"small screen\"\r\n"
             "ENDIF\r\n"
             "IF ocxfilever X 32 = \"0.0.0.0\"\r\n"
             "RUNATEXIT \"no component\"\r\n"
             "ENDIF\r\n"
             "IF $SYSTEM$ = \"quick\"\r\n"
             "RUNATEXIT \"quick\"\r\n"
             "ENDIF\r\n"
             "IF group=1\r\n"
             "FILE A.TXT\r\n"
             "ENDIF\r\n");
  QuillRun run = Quill("check --dump check/SETUP.CFG -- -quick", dir_.path());
  ASSERT_EQ(run.status, 0) << run.output;
  EXPECT_NE(run.output.find("title \"Windows 95\""), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("run-at-exit \"enough memory\"\nrun-at-exit \"small screen\"\n"
                            "run-at-exit \"no component\"\nrun-at-exit \"quick\"\n"),
            std::string::npos)
      << run.output;
  EXPECT_NE(run.output.find("deferred-block line 16 lines 3\n"), std::string::npos) << run.output;
  EXPECT_EQ(run.output.find("file \"A.TXT\""), std::string::npos) << run.output;

  dir_.Write("check/BAD.CFG", "TITLE x\r\nIF winver => 3\r\nENDIF\r\n");
  QuillRun bad = Quill("check check/BAD.CFG", dir_.path());
  EXPECT_EQ(bad.status, 1);
  EXPECT_EQ(bad.output, "Syntax error, line: 2\nIF winver => 3\n");
}

}  // namespace
