#include "install/app/startup.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "install/os/host/host_machine.h"
#include "install/ui/host/host_desktop.h"
#include "tests/support/fault_walk.h"
#include "tests/support/faulty_machine.h"

namespace install::app {
namespace {
namespace fs = std::filesystem;

class StartupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/qm-startup-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
    for (const char* d : {"a", "c", "c/temp", "c/windows/system", "d"}) fs::create_directories(dir_ / d);
    machine_.MapDrive('A', dir_ / "a", os::DriveType::Removable, "DISK1");
    machine_.MapDrive('C', dir_ / "c", os::DriveType::Fixed);
    machine_.MapDrive('D', dir_ / "d", os::DriveType::CdRom);
    machine_.SetTempPath("C:\\TEMP\\");
    machine_.SetWindowsDirectory("C:\\WINDOWS\\");
    machine_.SetSystemDirectory("C:\\WINDOWS\\SYSTEM");
  }
  void TearDown() override { fs::remove_all(dir_); }

  void Write(const std::string& local, const std::string& text) {
    std::ofstream out(dir_ / local, std::ios::binary);
    out << text;
  }
  std::string Read(const std::string& local) {
    std::ifstream in(dir_ / local, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  StartDecision Run(const std::string& module, const std::string& arguments) {
    machine_.SetModulePath(module);
    Startup startup(machine_, desktop_, sources_);
    return startup.Prepare(arguments, &values_);
  }

  fs::path dir_;
  test_support::FaultyMachine machine_;
  ui::HostDesktop desktop_;
  archive::SourceReader sources_{machine_};
  StartupValues values_;
};

TEST(CommandLineTest, OptionsAndScriptName) {
  CommandLine a = SplitCommandLine("-FOO -BAR MY.CFG");
  EXPECT_EQ(a.options[0], "FOO");
  EXPECT_EQ(a.options[1], "BAR");
  EXPECT_EQ(a.options[2], "");
  EXPECT_EQ(a.script, "MY.CFG");
  // Anything after the third option is ignored, a fourth option included.
  CommandLine b = SplitCommandLine(" \t-1\n-2  -3 LATE.CFG -4");
  EXPECT_EQ(b.options[2], "3");
  EXPECT_EQ(b.script, "");
  CommandLine c = SplitCommandLine("");
  EXPECT_EQ(c.script, "");
  EXPECT_EQ(SplitCommandLine("-" + std::string(600, 'x')).options[0].size(), kOptionCapacity);
}

TEST(CommandLineTest, AQuotedTokenIsOneScriptPathWithItsSpaces) {
  CommandLine a = SplitCommandLine("\"A:\\SET UP\\SETUP.cfg\" -ONE -TWO");
  EXPECT_EQ(a.script, "A:\\SET UP\\SETUP.cfg");
  EXPECT_EQ(a.options[0], "ONE");
  EXPECT_EQ(a.options[1], "TWO");
  // A quoted token is a script name even when it begins with "-"; an
  // unclosed quote runs to the end.
  EXPECT_EQ(SplitCommandLine("-A \"-B C\"").script, "-B C");
  EXPECT_EQ(SplitCommandLine("-A \"-B C\"").options[1], "");
  EXPECT_EQ(SplitCommandLine("\"C:\\MY DIR\\X.CFG").script, "C:\\MY DIR\\X.CFG");
  EXPECT_EQ(SplitCommandLine("\"\"").script, "");
  // Quotes inside a token are part of it.
  EXPECT_EQ(SplitCommandLine("-A\"B MY\"X.CFG").options[0], "A\"B");
}

TEST(CommandLineTest, TheArgumentsFollowTheProgramAsTheProgramReceivesThem) {
  EXPECT_EQ(ArgumentsAfterProgram("C:\\TEMP\\~0000.exe A:\\SETUP.cfg -ONE"), "A:\\SETUP.cfg -ONE");
  EXPECT_EQ(ArgumentsAfterProgram("\"C:\\MY TEMP\\~0000.exe\"  \"A:\\S U\\SETUP.cfg\""), "\"A:\\S U\\SETUP.cfg\"");
  EXPECT_EQ(ArgumentsAfterProgram("PROGRAM"), "");
  EXPECT_EQ(QuotedIfNeeded("C:\\TEMP\\~0000.exe"), "C:\\TEMP\\~0000.exe");
  EXPECT_EQ(QuotedIfNeeded("C:\\MY TEMP\\~0000.exe"), "\"C:\\MY TEMP\\~0000.exe\"");
  EXPECT_EQ(QuotedIfNeeded("C:\\TAB\tX"), "\"C:\\TAB\tX\"");
}

TEST(CommandLineTest, DefaultScriptPath) {
  EXPECT_EQ(DefaultScriptPath("A:\\SETUP.EXE"), "A:\\SETUP.cfg");
  EXPECT_EQ(DefaultScriptPath("A:\\DIR.X\\SETUP"), "A:\\DIR.cfg");  // the last "." wins, as written
  EXPECT_EQ(DefaultScriptPath("SETUP"), "SETUP.cfg");
}

TEST_F(StartupTest, NoArgumentsReadsTheScriptBesideTheProgram) {
  Write("c/X.cfg", "TITLE \"x\"\n");
  EXPECT_EQ(Run("C:\\X.EXE", ""), StartDecision::Continue);
  EXPECT_EQ(values_.script_path, "C:\\X.cfg");
  EXPECT_EQ(values_.program_path, "C:\\X.EXE");
  EXPECT_EQ(values_.macros.program_dir, "C:\\");
  EXPECT_EQ(values_.macros.source_drive, "C");
  EXPECT_TRUE(desktop_.Messages().empty());
}

TEST_F(StartupTest, BareScriptNameIsRelativeToTheProgramDirectory) {
  fs::create_directories(dir_ / "c" / "setup");
  Write("c/setup/MY.CFG", "REM\n");
  EXPECT_EQ(Run("C:\\SETUP\\INSTALL", "-FOO -BAR MY.CFG"), StartDecision::Continue);
  EXPECT_EQ(values_.program_path, "C:\\SETUP\\INSTALL.exe");
  EXPECT_EQ(values_.script_path, "C:\\SETUP\\MY.CFG");
  EXPECT_EQ(values_.macros.options[0], "FOO");
  EXPECT_EQ(values_.macros.options[1], "BAR");
  EXPECT_EQ(machine_.GetCurrentDirectory(), "C:\\SETUP");
  Startup(machine_, desktop_, sources_).RecordDirectories(&values_);
  EXPECT_EQ(values_.macros.source_dir, "C:\\SETUP");
  EXPECT_EQ(values_.macros.windows_dir, "C:\\WINDOWS");
  EXPECT_EQ(values_.macros.help_dir, "C:\\WINDOWS\\help");
  EXPECT_EQ(values_.macros.system_dir, "C:\\WINDOWS\\SYSTEM");
}

TEST_F(StartupTest, MissingScriptOrDirectoryFailsWithTheBuiltInText) {
  EXPECT_EQ(Run("C:\\SETUP.EXE", ""), StartDecision::Fail);
  ASSERT_EQ(desktop_.Messages().size(), 1u);
  EXPECT_EQ(desktop_.Messages()[0].text, "File not found on the installation disk: C:\\SETUP.cfg. ");
  EXPECT_EQ(desktop_.Messages()[0].caption, " ");
  EXPECT_EQ(desktop_.Messages()[0].style, ui::kMbIconWarning);

  EXPECT_EQ(Run("SETUP.EXE", ""), StartDecision::Fail);
  ASSERT_EQ(desktop_.Messages().size(), 2u);
  EXPECT_EQ(desktop_.Messages()[1].text, "Invalid directory.");
}

TEST_F(StartupTest, MultiDiskScriptOnAFloppyRestartsFromTheTemporaryDirectory) {
  Write("a/SETUP.EXE", std::string(70000, 'P') + "end");
  Write("a/SETUP.cfg", "TITLE \"t\"\nfile: a.txt\ninsertdisk: \"Disk 2\"\n");
  EXPECT_EQ(Run("A:\\SETUP.EXE", "-ONE -TWO"), StartDecision::Restarted);
  EXPECT_EQ(Read("c/temp/~0000.exe"), Read("a/SETUP.EXE"));
  EXPECT_EQ(Read("c/temp/~0000.bat"),
            "@ECHO OFF\ndel C:\\TEMP\\~0000.exe\ndel C:\\TEMP\\~0000.pif\ndel C:\\TEMP\\~0000.bat\n");
  EXPECT_FALSE(fs::exists(dir_ / "c/temp/~0000.pif"));  // no install.pif: nothing copied
  ASSERT_EQ(machine_.StartedProcesses().size(), 1u);
  EXPECT_EQ(machine_.StartedProcesses()[0].application, "C:\\TEMP\\~0000.exe");
  EXPECT_EQ(machine_.StartedProcesses()[0].command_line, "C:\\TEMP\\~0000.exe A:\\SETUP.cfg -ONE -TWO");
  EXPECT_EQ(machine_.StartedProcesses()[0].show, os::kShow);
  EXPECT_FALSE(machine_.StartedProcesses()[0].wait);
}

TEST_F(StartupTest, RestartCopiesThePifAndFallsBackToDriveC) {
  Write("d/SETUP.EXE", "program");
  Write("d/install.pif", "PIF bytes");
  Write("d/SETUP.cfg", "INSERTDISK: \"Disk 2\"\n");
  machine_.SetTempPath(std::nullopt);
  EXPECT_EQ(Run("D:\\SETUP.EXE", ""), StartDecision::Restarted);
  EXPECT_EQ(Read("c/~0000.exe"), "program");
  EXPECT_EQ(Read("c/~0000.pif"), "PIF bytes");
  ASSERT_EQ(machine_.StartedProcesses().size(), 1u);
  EXPECT_EQ(machine_.StartedProcesses()[0].command_line, "c:\\~0000.exe D:\\SETUP.cfg");
}

TEST_F(StartupTest, RestartOnlyFromRemovableDrivesWithAnInsertDiskLine) {
  // On a fixed disk a multi-disk script runs in place.
  Write("c/SETUP.EXE", "p");
  Write("c/SETUP.cfg", "INSERTDISK: \"Disk 2\"\n");
  EXPECT_EQ(Run("C:\\SETUP.EXE", ""), StartDecision::Continue);
  // Without the colon, or indented, the line does not count.
  Write("a/SETUP.EXE", "p");
  Write("a/SETUP.cfg", "INSERTDISK \"Disk 2\"\n  INSERTDISK: \"Disk 3\"\n");
  EXPECT_EQ(Run("A:\\SETUP.EXE", ""), StartDecision::Continue);
  // A running temporary copy never restarts.
  Write("a/SETUP.cfg", "INSERTDISK: \"Disk 2\"\n");
  Write("a/X~0000Y.EXE", "p");
  EXPECT_EQ(Run("A:\\X~0000Y.EXE", "A:\\SETUP.cfg"), StartDecision::Continue);
  EXPECT_TRUE(machine_.StartedProcesses().empty());
}

TEST_F(StartupTest, UnwritableBatchFileFails) {
  Write("a/SETUP.EXE", "p");
  Write("a/SETUP.cfg", "INSERTDISK: \"Disk 2\"\n");
  machine_.SetTempPath("Q:\\NOWHERE\\");  // an unmapped drive: nothing can be created there
  EXPECT_EQ(Run("A:\\SETUP.EXE", ""), StartDecision::Fail);
  ASSERT_EQ(desktop_.Messages().size(), 1u);
  // The first file of the copy that cannot be created is named.
  EXPECT_EQ(desktop_.Messages()[0].text, "File not found on the installation disk: Q:\\NOWHERE\\~0000.exe. ");
  EXPECT_TRUE(machine_.StartedProcesses().empty());
}

TEST_F(StartupTest, APlantedCopyIsNeverRunNorTouched) {
  Write("a/SETUP.EXE", "the real installer");
  Write("a/SETUP.cfg", "INSERTDISK: \"Disk 2\"\n");
  Write("c/temp/~0000.exe", "planted");
  Write("c/temp/~0000001.bat", "planted batch");
  ASSERT_TRUE(machine_.SetAttributes("C:\\TEMP\\~0000.exe", os::kAttrReadOnly));
  EXPECT_EQ(Run("A:\\SETUP.EXE", ""), StartDecision::Restarted);
  // The first name whose three files are all free.
  ASSERT_EQ(machine_.StartedProcesses().size(), 1u);
  EXPECT_EQ(machine_.StartedProcesses()[0].application, "C:\\TEMP\\~0000002.exe");
  EXPECT_EQ(machine_.StartedProcesses()[0].command_line, "C:\\TEMP\\~0000002.exe A:\\SETUP.cfg");
  EXPECT_EQ(Read("c/temp/~0000002.exe"), "the real installer");
  EXPECT_EQ(Read("c/temp/~0000.exe"), "planted");
  EXPECT_EQ(Read("c/temp/~0000001.bat"), "planted batch");
  EXPECT_FALSE(fs::exists(dir_ / "c/temp/~0000001.exe"));
  EXPECT_EQ(Read("c/temp/~0000002.bat"), "@ECHO OFF\ndel C:\\TEMP\\~0000002.exe\ndel C:\\TEMP\\~0000002.pif\n"
                                        "del C:\\TEMP\\~0000002.bat\n");
}

TEST_F(StartupTest, TheLastFreeNameIsTakenAndNoneBeyondIt) {
  Write("a/SETUP.EXE", "program");
  Write("a/SETUP.cfg", "INSERTDISK: \"Disk 2\"\n");
  // One file of each name but the last holds the name.
  Write("c/temp/~0000.pif", "taken");
  for (int n = 1; n <= 998; ++n) {
    char name[32];
    std::snprintf(name, sizeof name, "c/temp/~0000%03d.bat", n);
    Write(name, "taken");
  }
  EXPECT_EQ(Run("A:\\SETUP.EXE", ""), StartDecision::Restarted);
  ASSERT_EQ(machine_.StartedProcesses().size(), 1u);
  EXPECT_EQ(machine_.StartedProcesses()[0].application, "C:\\TEMP\\~0000999.exe");
  // With that one taken too, there is no name left: nothing is started.
  fs::remove(dir_ / "c/temp/~0000999.exe");
  fs::remove(dir_ / "c/temp/~0000999.bat");
  Write("c/temp/~0000999.pif", "taken");
  EXPECT_EQ(Run("A:\\SETUP.EXE", ""), StartDecision::Fail);
  EXPECT_EQ(machine_.StartedProcesses().size(), 1u);
  ASSERT_EQ(desktop_.Messages().size(), 1u);
  EXPECT_EQ(desktop_.Messages()[0].text, "File not found on the installation disk: C:\\TEMP\\~0000999.exe. ");
}

TEST_F(StartupTest, ATemporaryDirectoryWithSpacesStartsTheCopyWithItsScript) {
  fs::create_directories(dir_ / "c" / "my temp");
  fs::create_directories(dir_ / "a" / "set up");
  Write("a/set up/SETUP.EXE", "program");
  Write("a/set up/SETUP.cfg", "INSERTDISK: \"Disk 2\"\n");
  machine_.SetTempPath("C:\\MY TEMP\\");
  EXPECT_EQ(Run("A:\\SET UP\\SETUP.EXE", "-ONE"), StartDecision::Restarted);
  ASSERT_EQ(machine_.StartedProcesses().size(), 1u);
  const auto& started = machine_.StartedProcesses()[0];
  EXPECT_EQ(started.application, "C:\\MY TEMP\\~0000.exe");
  EXPECT_EQ(started.command_line, "\"C:\\MY TEMP\\~0000.exe\" \"A:\\SET UP\\SETUP.cfg\" -ONE");
  EXPECT_EQ(Read("c/my temp/~0000.bat"), "@ECHO OFF\ndel \"C:\\MY TEMP\\~0000.exe\"\n"
                                         "del \"C:\\MY TEMP\\~0000.pif\"\ndel \"C:\\MY TEMP\\~0000.bat\"\n");
  // The copy reads what it was given.
  machine_.SetModulePath(started.application);
  StartupValues copy;
  EXPECT_EQ(Startup(machine_, desktop_, sources_).Prepare(ArgumentsAfterProgram(started.command_line), &copy),
            StartDecision::Continue);
  EXPECT_EQ(copy.script_path, "A:\\SET UP\\SETUP.cfg");
  EXPECT_EQ(copy.macros.options[0], "ONE");
}

// Every failure point of the restart's copies: the copy is started only when
// all three files are whole; otherwise the failure is shown, the first
// instance ends, and none of the temporary files is left.
TEST_F(StartupTest, EveryFailurePointOfTheRestartCopies) {
  const std::string program(70000, 'P');
  auto prepare = [&] {
    for (const auto& entry : fs::directory_iterator(dir_ / "c" / "temp")) fs::remove(entry.path());
    Write("a/SETUP.EXE", program);
    Write("a/install.pif", "PIF bytes");
    Write("a/SETUP.cfg", "INSERTDISK: \"Disk 2\"\n");
  };
  prepare();
  machine_.Arm(test_support::FaultPoint{});
  ASSERT_EQ(Run("A:\\SETUP.EXE", ""), StartDecision::Restarted);
  const test_support::OperationCounts counts = machine_.counts();
  EXPECT_EQ(machine_.unflushed_renames(), 0);
  ASSERT_GE(counts.writes, 4);
  for (const test_support::FaultPoint& point : test_support::FailurePointsOf(counts)) {
    SCOPED_TRACE(test_support::Describe(point));
    prepare();
    const size_t messages_before = desktop_.Messages().size();
    const size_t started_before = machine_.StartedProcesses().size();
    machine_.Arm(point);
    const StartDecision decision = Run("A:\\SETUP.EXE", "");
    ASSERT_TRUE(machine_.fired());
    if (decision == StartDecision::Restarted) {
      ASSERT_EQ(machine_.StartedProcesses().size(), started_before + 1);
      EXPECT_EQ(Read("c/temp/~0000.exe"), program);
      EXPECT_EQ(Read("c/temp/~0000.pif"), "PIF bytes");
      EXPECT_TRUE(fs::exists(dir_ / "c/temp/~0000.bat"));
    } else {
      EXPECT_EQ(decision, StartDecision::Fail);
      EXPECT_EQ(machine_.StartedProcesses().size(), started_before);
      EXPECT_EQ(desktop_.Messages().size(), messages_before + 1);
      EXPECT_EQ(test_support::FilesStartingWith(dir_ / "c" / "temp", {"~0000"}), std::vector<std::string>{});
    }
  }
}

}  // namespace
}  // namespace install::app
