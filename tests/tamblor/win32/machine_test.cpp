// The browser's machine services through the real calls.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "tamblor/os/win32/win32_machine.h"
#include "tests/tamblor/win32/build_paths.h"

namespace tamblor {
namespace {

TEST(Win32MachineTest, FilesAndAttributes) {
  os::win32::Win32Machine machine;
  char temp[MAX_PATH] = {};
  GetTempPathA(sizeof temp, temp);
  std::string path = std::string(temp) + "tamblor_machine_test.txt";
  std::FILE* file = machine.OpenFile(path, "wb");
  ASSERT_NE(file, nullptr);
  std::fputs("line\r\n", file);
  std::fclose(file);
  EXPECT_EQ(machine.FindAttributes(path) & os::kAttrDirectory, 0u);
  // A wildcard names no file, even where the find would match one.
  EXPECT_EQ(machine.FindAttributes(std::string(temp) + "tamblor_machine_*.txt"), os::kInvalidAttributes);
  EXPECT_EQ(machine.FindAttributes(std::string(temp) + "tamblor_machine_tes?.txt"), os::kInvalidAttributes);
  EXPECT_EQ(machine.FindAttributes(temp + std::string("*")), os::kInvalidAttributes);
  DeleteFileA(path.c_str());
  EXPECT_EQ(machine.FindAttributes(path), os::kInvalidAttributes);
  EXPECT_EQ(machine.OpenFile(path, "rb"), nullptr);
}

TEST(Win32MachineTest, DrivesAndTheProgram) {
  os::win32::Win32Machine machine;
  EXPECT_EQ(machine.DriveTypeOf("C:\\"), os::DriveType::Fixed);
  EXPECT_EQ(machine.DriveTypeOf("C:\\windows\\system32"), os::DriveType::Fixed);
  EXPECT_GT(machine.FreeBytes("C:\\"), 0);
  // Without GetDiskFreeSpaceExA the cluster counts give the free bytes.
  const int64_t by_clusters = os::win32::FreeBytesFromClusters("C:\\");
  EXPECT_GT(by_clusters, 0);
  EXPECT_EQ(machine.FreeBytes("Q:\\"), -1);
  EXPECT_EQ(os::win32::FreeBytesFromClusters("Q:\\"), -1);
  std::string module = machine.GetModulePath();
  EXPECT_NE(module.find("tamblor_wine_tests"), std::string::npos) << module;
  std::string here = machine.CurrentDirectory();
  ASSERT_TRUE(machine.ChangeDirectory("C:\\windows"));
  EXPECT_EQ(machine.CurrentDirectory(), "C:\\windows");
  machine.ChangeDirectory(here);
}

TEST(Win32MachineTest, DosCharactersConvertBothWays) {
  os::win32::Win32Machine machine;
  // 0x81 is "u" with diaeresis in the DOS set, 0xFC in the Windows set.
  EXPECT_EQ(machine.OemToAnsiText("Gr\x81\xe1" "e"), "Gr\xfc\xdf" "e");
  EXPECT_EQ(machine.AnsiToOemText("Gr\xfc\xdf" "e"), "Gr\x81\xe1" "e");
  EXPECT_EQ(machine.OemToAnsiText("plain"), "plain");
  EXPECT_EQ(machine.OemToAnsiText(""), "");
}

TEST(Win32MachineTest, LocalTimeOfAKnownInstant) {
  os::win32::Win32Machine machine;
  os::LocalTime t = machine.ToLocalTime(820454400);  // 1996-01-01 00:00 UTC
  EXPECT_TRUE(t.year == 1995 || t.year == 1996);
  EXPECT_GE(t.month, 1);
  EXPECT_LE(t.month, 12);
}

}  // namespace
}  // namespace tamblor
