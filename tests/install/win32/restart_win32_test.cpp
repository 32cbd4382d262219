// The restart into the temporary directory on the real file system, under
// Wine: a planted read-only "~0000.exe" is neither run nor touched, and a
// temporary directory with spaces gets the program by its file name and
// quoted paths. The process itself is recorded, not started, and the
// program's own file is a stand-in on a "floppy" folder.
#include "install/app/startup.h"

#include "install/os/win32/win32_machine.h"
#include "install/os/win32/windows_api.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "install/ui/host/host_desktop.h"
#include "tests/support/fixture_builder.h"

namespace install::app {
namespace {

// The real machine, but its program lives on a removable disk in `floppy`,
// its temporary directory is `temp`, and programs are recorded, not started.
class RestartMachine : public os::Win32Machine {
 public:
  std::string floppy, temp;
  std::string started_application, started_command_line;
  std::string GetModulePath() override { return floppy + "\\SETUP.EXE"; }
  os::DriveType GetDriveType(const std::string& root) override { return os::DriveType::Removable; }
  bool GetTempPath(std::string* path) override {
    *path = temp;
    return true;
  }
  bool StartProgram(const std::string& application, const std::string& command_line, int) override {
    started_application = application;
    started_command_line = command_line;
    return true;
  }
};

class RestartWin32Test : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string temp;
    ASSERT_TRUE(os::Win32Machine().GetTempPath(&temp));
    root_ = temp + "qm restart " + std::to_string(GetCurrentProcessId());
    RemoveTree(root_);  // a run stopped early may have left read-only files
    machine_.floppy = root_ + "\\floppy";
    machine_.temp = root_ + "\\my temp\\";
    std::filesystem::create_directories(machine_.floppy);
    std::filesystem::create_directories(machine_.temp);
    ASSERT_TRUE(test_support::WriteLocalFile(machine_.floppy + "\\SETUP.EXE", program_));
    ASSERT_TRUE(test_support::WriteLocalFile(machine_.floppy + "\\SETUP.cfg",
                                             test_support::BytesOf("INSERTDISK: \"Disk 2\"\r\n")));
  }
  void TearDown() override {
    // Start-up made the program's directory current; leave it, so that it can go.
    SetCurrentDirectoryA(machine_.temp.c_str());
    SetCurrentDirectoryA("..\\..");
    RemoveTree(root_);
  }
  // Read-only files first, then everything.
  static void RemoveTree(const std::string& root) {
    std::error_code ignored;
    for (auto it = std::filesystem::recursive_directory_iterator(root, ignored);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ignored)) {
      SetFileAttributesA(it->path().string().c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    std::filesystem::remove_all(root, ignored);
  }
  StartDecision Run(const std::string& arguments) {
    archive::SourceReader sources(machine_);
    return Startup(machine_, desktop_, sources).Prepare(arguments, &values_);
  }

  test_support::Bytes program_ = test_support::Bytes(70000, 0x4D);
  RestartMachine machine_;
  ui::HostDesktop desktop_;
  StartupValues values_;
  std::string root_;
};

TEST_F(RestartWin32Test, APlantedReadOnlyCopyIsNeitherRunNorTouched) {
  ASSERT_TRUE(test_support::WriteLocalFile(machine_.temp + "~0000.exe", test_support::BytesOf("planted")));
  ASSERT_TRUE(SetFileAttributesA((machine_.temp + "~0000.exe").c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(Run("-X"), StartDecision::Restarted);
  EXPECT_TRUE(desktop_.Messages().empty());
  EXPECT_EQ(machine_.started_application, machine_.temp + "~0000001.exe");
  EXPECT_EQ(test_support::ReadLocalFile(machine_.temp + "~0000001.exe"), program_);
  EXPECT_EQ(test_support::ReadLocalFile(machine_.temp + "~0000.exe"), test_support::BytesOf("planted"));
  EXPECT_EQ(GetFileAttributesA((machine_.temp + "~0000.exe").c_str()) & FILE_ATTRIBUTE_READONLY,
            DWORD(FILE_ATTRIBUTE_READONLY));
}

TEST_F(RestartWin32Test, ATemporaryDirectoryWithSpacesIsQuoted) {
  EXPECT_EQ(Run("-ONE"), StartDecision::Restarted);
  const std::string exe = machine_.temp + "~0000.exe";
  EXPECT_EQ(machine_.started_application, exe);
  EXPECT_EQ(machine_.started_command_line,
            "\"" + exe + "\" \"" + machine_.floppy + "\\SETUP.cfg\" -ONE");
  EXPECT_EQ(test_support::ReadLocalFile(exe), program_);
  EXPECT_EQ(test_support::ReadLocalFile(machine_.temp + "~0000.bat"),
            test_support::BytesOf("@ECHO OFF\ndel \"" + exe + "\"\ndel \"" + machine_.temp + "~0000.pif\"\ndel \"" +
                                  machine_.temp + "~0000.bat\"\n"));
  // The copy, given that command line, finds its script.
  const CommandLine copy = SplitCommandLine(ArgumentsAfterProgram(machine_.started_command_line));
  EXPECT_EQ(copy.script, machine_.floppy + "\\SETUP.cfg");
  EXPECT_EQ(copy.options[0], "ONE");
}

TEST_F(RestartWin32Test, ARealFileCreatedNewRefusesATakenNameAndReportsItsClose) {
  os::Win32Machine machine;
  const std::string path = machine_.temp + "new.bin";
  auto file = machine.Open(path, os::OpenMode::CreateNew);
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(file->Write("abcdef", 6), 6);
  EXPECT_TRUE(file->Flush());
  EXPECT_EQ(file->Seek(3, 0), 3);
  EXPECT_TRUE(file->Truncate());
  EXPECT_TRUE(file->Close());
  EXPECT_FALSE(file->Close());
  EXPECT_EQ(machine.Open(path, os::OpenMode::CreateNew), nullptr);
  EXPECT_EQ(test_support::ReadLocalFile(path), test_support::BytesOf("abc"));
}

}  // namespace
}  // namespace install::app
