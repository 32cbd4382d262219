#include "tamblor/os/file_names.h"

#include <gtest/gtest.h>

#include <string>

namespace tamblor::os {
namespace {

TEST(FileNamesTest, DeviceNamesWhateverTheirExtensionOrCase) {
  for (const char* name : {"CON", "prn", "Aux", "NUL", "CLOCK$", "COM1", "com9", "LPT1", "LPT9", "con.txt",
                           "NUL .TXT", "nul.", "COM1.A.B", "CON   "}) {
    EXPECT_TRUE(IsDeviceName(name)) << name;
  }
  for (const char* name : {"", "CONS", "CO", "COM", "COM0", "COM10", "LPT", "LPTA", "NULL", "XCON", ".CON",
                           "CLOCK", "AUX1"}) {
    EXPECT_FALSE(IsDeviceName(name)) << name;
  }
}

TEST(FileNamesTest, APlainNameIsOneComponentThatStaysInItsDirectory) {
  for (const char* name : {"README.TXT", "A", "A..B", "..A", ".profile", "a b", "~0000.EXE", "COM10", "x;1",
                           "\xE4rger.txt", "\x80"}) {
    EXPECT_TRUE(IsPlainFileName(name)) << name;
  }
  for (const std::string name : {"", ".", "..", "...", ". .", " ", "..\\A", "A\\B", "A/B", "C:", "C:A", "CON",
                                 "aux.dat", "A<B", "A>B", "A\"B", "A|B", "A*", "A?"}) {
    EXPECT_FALSE(IsPlainFileName(name)) << name;
  }
  for (int c = 0; c < 0x20; ++c) EXPECT_FALSE(IsPlainFileName("A" + std::string(1, char(c)) + "B")) << c;
  EXPECT_FALSE(IsPlainFileName("A\x7F"));
  EXPECT_TRUE(IsPlainFileName("A\x20" "B")) << "the blank itself is allowed inside a name";
}

TEST(FileNamesTest, APathNamingADeviceOrAControlCharacterInAnyComponent) {
  for (const std::string path : {"CON", "E:\\CON", "E:\\DOCS\\nul.txt", "\\com1\\A.TXT", "DOCS/LPT9",
                                 "E:\\DO\x01CS\\A.TXT", "A.TXT\x7F", "E:\\DOCS\\A\x1B.TXT"}) {
    EXPECT_TRUE(NamesADeviceOrControlCharacter(path)) << path;
  }
  for (const std::string path : {"", "E:\\", "E:\\DOCS\\A.TXT", "..\\OTHER\\README.TXT", "\\CONS\\COM10",
                                 "E:\\CONFIG\\NULL.TXT", "E:", "E:CONS.TXT\\X", "\xE4rger\\A"}) {
    EXPECT_FALSE(NamesADeviceOrControlCharacter(path)) << path;
  }
}

}  // namespace
}  // namespace tamblor::os
