// The Win32 machine seam, run for real under Wine.
#include "install/os/win32/win32_machine.h"

#include "install/os/win32/windows_api.h"

#include <gtest/gtest.h>

#include <string>

namespace install::os {
namespace {

class Win32MachineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(machine_.GetTempPath(&temp_));
    dir_ = temp_ + "qm-machine-" + std::to_string(GetCurrentProcessId());
    ASSERT_TRUE(machine_.CreateDirectory(dir_));
  }
  void TearDown() override {
    for (const char* name : {"\\a.txt", "\\b.txt", "\\ro.txt"}) {
      machine_.SetAttributes(dir_ + name, kAttrNormal);
      machine_.DeleteFile(dir_ + name);
    }
    machine_.RemoveDirectory(dir_);
  }

  Win32Machine machine_;
  std::string temp_, dir_;
};

TEST_F(Win32MachineTest, FilesReadWriteSeekAndMove) {
  auto f = machine_.Open(dir_ + "\\a.txt", OpenMode::Create);
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(f->Write("hello world", 11), 11);
  EXPECT_EQ(f->Seek(-5, 2), 6);
  char buffer[8] = {};
  EXPECT_EQ(f->Read(buffer, 8), 5);
  EXPECT_STREQ(buffer, "world");
  EXPECT_EQ(f->Read(buffer, 8), 0);
  f.reset();
  EXPECT_EQ(machine_.Open(dir_ + "\\*.txt", OpenMode::Read), nullptr);
  EXPECT_EQ(machine_.Open(dir_ + "\\missing.txt", OpenMode::Read), nullptr);
  // Names are found whatever their case.
  EXPECT_NE(machine_.Open(dir_ + "\\A.TXT", OpenMode::Read), nullptr);
  EXPECT_TRUE(machine_.MoveFile(dir_ + "\\a.txt", dir_ + "\\b.txt"));
  EXPECT_EQ(machine_.GetAttributes(dir_ + "\\a.txt"), kInvalidAttributes);
  EXPECT_NE(machine_.GetAttributes(dir_ + "\\b.txt"), kInvalidAttributes);
}

TEST_F(Win32MachineTest, SeekReachesBeyondFourGigabytes) {
  // Positions past 4 GB need SetFilePointer's high word; nothing is written there.
  auto f = machine_.Open(dir_ + "\\a.txt", OpenMode::Create);
  ASSERT_NE(f, nullptr);
  const int64_t five_gb = int64_t{5} << 30;
  EXPECT_EQ(f->Seek(five_gb + 3, 0), five_gb + 3);
  EXPECT_EQ(f->Seek(-4, 1), five_gb - 1);
  EXPECT_EQ(f->Seek(0, 1), five_gb - 1);
  EXPECT_EQ(f->Seek(0x80000000LL, 0), 0x80000000LL);  // the low word's sign bit alone
  EXPECT_EQ(f->Seek(0, 2), 0);
  EXPECT_EQ(f->Seek(-1, 0), -1);
  EXPECT_EQ(f->Seek(0, 3), -1);
}

TEST_F(Win32MachineTest, DosTimesAndAttributes) {
  {
    auto f = machine_.Open(dir_ + "\\ro.txt", OpenMode::Create);
    ASSERT_NE(f, nullptr);
  }
  DosDateTime when{0x1B4C, 0x1000};  // 12 October 1993, 02:00:00
  ASSERT_TRUE(machine_.SetDosFileTime(dir_ + "\\ro.txt", when));
  DosDateTime read;
  ASSERT_TRUE(machine_.GetDosFileTime(dir_ + "\\ro.txt", &read));
  EXPECT_EQ(read.date, 0x1B4Cu);
  EXPECT_EQ(read.time, 0x1000u);
  ASSERT_TRUE(machine_.SetAttributes(dir_ + "\\ro.txt", kAttrReadOnly));
  EXPECT_EQ(machine_.GetAttributes(dir_ + "\\ro.txt") & kAttrReadOnly, kAttrReadOnly);
  EXPECT_FALSE(machine_.DeleteFile(dir_ + "\\ro.txt"));
  EXPECT_EQ(machine_.GetAttributes(dir_) & kAttrDirectory, kAttrDirectory);
}

TEST_F(Win32MachineTest, SystemFacts) {
  EXPECT_EQ(machine_.GetDriveType("C:\\"), DriveType::Fixed);
  EXPECT_EQ(machine_.GetDriveType(dir_), DriveType::Fixed);
  EXPECT_FALSE(machine_.GetWindowsDirectory().empty());
  EXPECT_FALSE(machine_.GetSystemDirectory().empty());
  std::string module = machine_.GetModulePath();
  EXPECT_NE(module.rfind('\\'), std::string::npos);
  EXPECT_EQ(temp_.back(), '\\');
  ASSERT_TRUE(machine_.SetCurrentDirectory(dir_));
  EXPECT_EQ(machine_.GetCurrentDirectory(), dir_);
  ASSERT_TRUE(machine_.SetCurrentDirectory(temp_));
}

TEST_F(Win32MachineTest, ProcessesStartAndAreWaitedFor) {
  uint32_t code = 99;
  std::string command = machine_.GetSystemDirectory() + "\\cmd.exe /c exit 7";
  ASSERT_TRUE(machine_.StartProcess(command, kShowHide, true, &code));
  EXPECT_EQ(code, 7u);
  EXPECT_FALSE(machine_.StartProcess("Z:\\no\\such\\program.exe", kShow, true, &code));
}

}  // namespace
}  // namespace install::os
