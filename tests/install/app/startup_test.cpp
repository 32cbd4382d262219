#include "install/app/startup.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "install/os/host/host_machine.h"
#include "install/ui/host/host_desktop.h"

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
  os::HostMachine machine_;
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
  EXPECT_EQ(desktop_.Messages()[0].text, "File not found on the installation disk: Q:\\NOWHERE\\~0000.bat. ");
  EXPECT_TRUE(machine_.StartedProcesses().empty());
}

}  // namespace
}  // namespace install::app
