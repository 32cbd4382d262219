#include "install/os/host/host_machine.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#ifndef _WIN32
#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace install::os {
namespace {
namespace fs = std::filesystem;

class HostMachineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/qm-host-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
    fs::create_directories(dir_ / "c" / "Windows" / "System");
    fs::create_directories(dir_ / "a");
    machine_.MapDrive('C', dir_ / "c", DriveType::Fixed, "HARDDISK");
    machine_.MapDrive('a', dir_ / "a", DriveType::Removable, "DISK1");
  }
  void TearDown() override { fs::remove_all(dir_); }

  void WriteLocal(const fs::path& p, const std::string& text) {
    std::ofstream out(p, std::ios::binary);
    out << text;
  }
  std::string ReadAll(const std::string& windows_path) {
    auto f = machine_.Open(windows_path, OpenMode::Read);
    if (!f) return "<missing>";
    std::string out;
    char buf[7];
    int32_t n;
    while ((n = f->Read(buf, sizeof buf)) > 0) out.append(buf, n);
    return out;
  }

  fs::path dir_;
  HostMachine machine_;
};

TEST_F(HostMachineTest, AbsoluteResolvesDrivesDotsAndCurrentDirectory) {
  ASSERT_TRUE(machine_.SetCurrentDirectory("c:\\windows"));
  EXPECT_EQ(machine_.GetCurrentDirectory(), "C:\\windows");
  EXPECT_EQ(machine_.Absolute("system\\x.dll"), "C:\\windows\\system\\x.dll");
  EXPECT_EQ(machine_.Absolute("\\autoexec.bat"), "C:\\autoexec.bat");
  EXPECT_EQ(machine_.Absolute("a:setup.cfg"), "A:\\setup.cfg");
  EXPECT_EQ(machine_.Absolute("C:/a/./b/../c"), "C:\\a\\c");
  EXPECT_EQ(machine_.Absolute("C:\\.."), "");  // above the root
  EXPECT_EQ(machine_.Absolute("..\\.."), "");
}

TEST_F(HostMachineTest, NamesAreFoundWhateverTheirCase) {
  WriteLocal(dir_ / "c" / "Windows" / "System" / "Mixed.Dll", "abc");
  EXPECT_EQ(ReadAll("C:\\WINDOWS\\SYSTEM\\MIXED.DLL"), "abc");
  EXPECT_EQ(ReadAll("c:\\windows\\system\\mixed.dll"), "abc");
  auto created = machine_.Open("C:\\WINDOWS\\NewFile.TXT", OpenMode::Create);
  ASSERT_NE(created, nullptr);
  EXPECT_EQ(created->Write("xy", 2), 2);
  created.reset();
  EXPECT_TRUE(fs::exists(dir_ / "c" / "Windows" / "NewFile.TXT"));
  EXPECT_EQ(machine_.Open("C:\\*.TXT", OpenMode::Read), nullptr);
  EXPECT_EQ(machine_.Open("Q:\\X", OpenMode::Read), nullptr);  // unmapped drive
  EXPECT_EQ(machine_.Open("C:\\WINDOWS", OpenMode::Read), nullptr);  // a directory
}

TEST_F(HostMachineTest, ReadOnlyFilesResistWritingAndDeleting) {
  WriteLocal(dir_ / "c" / "ro.txt", "keep");
  EXPECT_EQ(machine_.GetAttributes("C:\\RO.TXT"), kAttrArchive);
  ASSERT_TRUE(machine_.SetAttributes("C:\\RO.TXT", kAttrReadOnly | kAttrArchive));
  EXPECT_EQ(machine_.GetAttributes("c:\\ro.txt"), kAttrReadOnly | kAttrArchive);
  EXPECT_EQ(machine_.Open("C:\\RO.TXT", OpenMode::Create), nullptr);
  EXPECT_EQ(machine_.Open("C:\\RO.TXT", OpenMode::ReadWrite), nullptr);
  EXPECT_FALSE(machine_.DeleteFile("C:\\RO.TXT"));
  EXPECT_EQ(ReadAll("C:\\RO.TXT"), "keep");
  ASSERT_TRUE(machine_.SetAttributes("C:\\RO.TXT", kAttrNormal));
  EXPECT_TRUE(machine_.DeleteFile("C:\\RO.TXT"));
  EXPECT_EQ(machine_.GetAttributes("C:\\RO.TXT"), kInvalidAttributes);
  EXPECT_EQ(machine_.GetAttributes("C:\\WINDOWS") & kAttrDirectory, kAttrDirectory);
}

TEST_F(HostMachineTest, DosTimesRoundTripWithoutTimeZone) {
  // 12 October 1993, 02:00:00.
  DosDateTime when{0x1B4C, 0x1000};
  EXPECT_EQ(UnixTimeFromDos(when), 750391200);
  DosDateTime back = DosFromUnixTime(750391200);
  EXPECT_EQ(back.date, 0x1B4Cu);
  EXPECT_EQ(back.time, 0x1000u);
  WriteLocal(dir_ / "a" / "f.bin", "1");
  ASSERT_TRUE(machine_.SetDosFileTime("A:\\F.BIN", when));
  DosDateTime read;
  ASSERT_TRUE(machine_.GetDosFileTime("A:\\f.bin", &read));
  EXPECT_EQ(read.date, 0x1B4Cu);
  EXPECT_EQ(read.time, 0x1000u);
  EXPECT_FALSE(machine_.GetDosFileTime("A:\\missing", &read));
  EXPECT_EQ(DosFromUnixTime(0).date, (0u << 9) | (1u << 5) | 1u);  // clamps to 1980
}

TEST_F(HostMachineTest, DirectoriesMovesAndDrives) {
  EXPECT_TRUE(machine_.CreateDirectory("C:\\APP"));
  EXPECT_FALSE(machine_.CreateDirectory("C:\\app"));          // exists
  EXPECT_FALSE(machine_.CreateDirectory("C:\\NOPE\\DEEP"));   // parent missing
  WriteLocal(dir_ / "c" / "APP" / "one", "1");
  EXPECT_FALSE(machine_.RemoveDirectory("C:\\APP"));  // not empty
  EXPECT_TRUE(machine_.MoveFile("C:\\APP\\ONE", "C:\\APP\\two"));
  EXPECT_FALSE(machine_.MoveFile("C:\\APP\\ONE", "C:\\APP\\three"));
  EXPECT_EQ(ReadAll("C:\\app\\TWO"), "1");
  EXPECT_EQ(machine_.GetDriveType("A:\\"), DriveType::Removable);
  EXPECT_EQ(machine_.GetDriveType("c:\\windows\\x"), DriveType::Fixed);
  EXPECT_EQ(machine_.GetDriveType("Z:\\"), DriveType::NoRootDir);
  std::string label;
  ASSERT_TRUE(machine_.GetVolumeLabel("A:\\", &label));
  EXPECT_EQ(label, "DISK1");
  machine_.SetDriveLabel('A', std::nullopt);
  EXPECT_FALSE(machine_.GetVolumeLabel("A:\\", &label));
  std::string temp;
  EXPECT_FALSE(machine_.GetTempPath(&temp));
  machine_.SetTempPath("C:\\TEMP");
  ASSERT_TRUE(machine_.GetTempPath(&temp));
  EXPECT_EQ(temp, "C:\\TEMP\\");
}

TEST_F(HostMachineTest, FileSeekClampsAndReportsErrors) {
  auto f = machine_.Open("C:\\S.BIN", OpenMode::Create);
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(f->Write("0123456789", 10), 10);
  EXPECT_EQ(f->Seek(0, 2), 10);
  EXPECT_EQ(f->Seek(-3, 1), 7);
  char c;
  EXPECT_EQ(f->Read(&c, 1), 1);
  EXPECT_EQ(c, '7');
  EXPECT_EQ(f->Seek(-100, 1), -1);
  EXPECT_EQ(f->Seek(2, 0), 2);
  EXPECT_EQ(f->Write("AB", 2), 2);
  f.reset();
  EXPECT_EQ(ReadAll("C:\\S.BIN"), "01AB456789");
}

TEST_F(HostMachineTest, ProcessesAreRecordedAndActedOut) {
  uint32_t code = 99;
  EXPECT_TRUE(machine_.StartProcess("NOTEPAD.EXE README.TXT", kShow, false, nullptr));
  machine_.SetProcessHandler([](const HostMachine::StartedProcess& p, uint32_t* exit_code) {
    *exit_code = 3;
    return p.command_line.rfind("GOOD", 0) == 0;
  });
  EXPECT_TRUE(machine_.StartProcess("GOOD.EXE", kShowHide, true, &code));
  EXPECT_EQ(code, 3u);
  EXPECT_FALSE(machine_.StartProcess("BAD.EXE", kShow, true, &code));
  ASSERT_EQ(machine_.StartedProcesses().size(), 3u);
  EXPECT_EQ(machine_.StartedProcesses()[0].command_line, "NOTEPAD.EXE README.TXT");
  EXPECT_TRUE(machine_.StartedProcesses()[1].wait);
}

TEST_F(HostMachineTest, FlushCloseAndTruncateReportTheirResults) {
  auto f = machine_.Open("C:\\T.BIN", OpenMode::Create);
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(f->Write("0123456789", 10), 10);
  EXPECT_TRUE(f->Flush());
  EXPECT_EQ(fs::file_size(dir_ / "c" / "T.BIN"), 10u);  // on the disk before the close
  EXPECT_EQ(f->Seek(4, 0), 4);
  EXPECT_TRUE(f->Truncate());
  EXPECT_EQ(f->Seek(0, 2), 4);
  EXPECT_TRUE(f->Close());
  // A closed file takes no further calls.
  EXPECT_FALSE(f->Close());
  EXPECT_EQ(f->Write("x", 1), -1);
  EXPECT_EQ(f->Read(nullptr, 0), -1);
  EXPECT_EQ(f->Seek(0, 0), -1);
  EXPECT_FALSE(f->Flush());
  f.reset();
  EXPECT_EQ(ReadAll("C:\\T.BIN"), "0123");
}

#ifndef _WIN32
TEST_F(HostMachineTest, AWriteBeyondTheFileSizeLimitFailsAtTheLatestWhenClosing) {
  // A file-size limit stands for a full disk: what the C library held back
  // fails when it is flushed, and Close says so.
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit = {9216, 9216};
    setrlimit(RLIMIT_FSIZE, &limit);
    auto f = machine_.Open("C:\\BIG.BIN", OpenMode::Create);
    std::string chunk(1000, 'x');
    bool failed = false;
    for (int i = 0; i < 10 && !failed; ++i) failed = f->Write(chunk.data(), 1000) != 1000;
    failed = !f->Flush() || failed;
    failed = !f->Close() || failed;
    _exit(failed ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "a write past the limit was reported as written";
  EXPECT_LE(fs::file_size(dir_ / "c" / "BIG.BIN"), 9216u);
}
#endif

TEST_F(HostMachineTest, CreateNewNeverTakesAnExistingName) {
  WriteLocal(dir_ / "c" / "Taken.Exe", "planted");
  EXPECT_EQ(machine_.Open("C:\\TAKEN.EXE", OpenMode::CreateNew), nullptr);
  EXPECT_EQ(ReadAll("C:\\TAKEN.EXE"), "planted");
  ASSERT_TRUE(machine_.SetAttributes("C:\\TAKEN.EXE", kAttrReadOnly));
  EXPECT_EQ(machine_.Open("C:\\TAKEN.EXE", OpenMode::CreateNew), nullptr);

  auto fresh = machine_.Open("C:\\FRESH.EXE", OpenMode::CreateNew);
  ASSERT_NE(fresh, nullptr);
  EXPECT_EQ(fresh->Write("new", 3), 3);
  EXPECT_TRUE(fresh->Close());
  EXPECT_EQ(ReadAll("C:\\FRESH.EXE"), "new");
  EXPECT_EQ(machine_.GetAttributes("C:\\FRESH.EXE"), kAttrArchive);
  EXPECT_EQ(machine_.Open("C:\\fresh.exe", OpenMode::CreateNew), nullptr);
}

TEST_F(HostMachineTest, ProgramsAreStartedByTheirFileAndRecorded) {
  EXPECT_TRUE(machine_.StartProgram("C:\\MY DIR\\~0000.exe", "\"C:\\MY DIR\\~0000.exe\" \"A:\\SET UP.CFG\"", kShow));
  ASSERT_EQ(machine_.StartedProcesses().size(), 1u);
  const HostMachine::StartedProcess& started = machine_.StartedProcesses()[0];
  EXPECT_EQ(started.application, "C:\\MY DIR\\~0000.exe");
  EXPECT_EQ(started.command_line, "\"C:\\MY DIR\\~0000.exe\" \"A:\\SET UP.CFG\"");
  EXPECT_EQ(started.show, kShow);
  EXPECT_FALSE(started.wait);
  machine_.SetProcessHandler([](const HostMachine::StartedProcess&, uint32_t*) { return false; });
  EXPECT_FALSE(machine_.StartProgram("C:\\X.EXE", "X", kShow));
}

TEST_F(HostMachineTest, TheEnvironmentIsEmptyUntilSetAndIgnoresLetterCase) {
  std::string value = "unchanged";
  EXPECT_FALSE(machine_.GetEnvironmentVariable("CONFIG", &value));
  EXPECT_EQ(value, "unchanged");
  machine_.SetEnvironmentVariable("config", "WORK");
  EXPECT_TRUE(machine_.GetEnvironmentVariable("CONFIG", &value));
  EXPECT_EQ(value, "WORK");
  machine_.SetEnvironmentVariable("Config", "");
  EXPECT_FALSE(machine_.GetEnvironmentVariable("CONFIG", &value));
  machine_.SetEnvironmentVariable("CONFIG", "GAME");
  machine_.SetEnvironmentVariable("CONFIG", std::nullopt);
  EXPECT_FALSE(machine_.GetEnvironmentVariable("config", &value));
}

}  // namespace
}  // namespace install::os
