// The profile seam over the system's own profile functions, run under Wine
// with the cases the host model is held to; and the environment query.
#include "install/os/win32/win32_profile.h"

#include "install/os/win32/windows_api.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "install/os/win32/win32_machine.h"
#include "tests/install/os/profile_cases.h"

namespace install::os {
namespace {

class Win32ProfileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(machine_.GetTempPath(&dir_));
    dir_ += "qm-profile-" + std::to_string(GetCurrentProcessId());
    ASSERT_TRUE(machine_.CreateDirectory(dir_));
  }
  void TearDown() override {
    for (const FindData& found : machine_.FindFiles(dir_ + "\\*.*")) {
      if (found.attributes & kAttrDirectory) {
        machine_.RemoveDirectory(dir_ + "\\" + found.name);
        continue;
      }
      machine_.DeleteFile(dir_ + "\\" + found.name);
    }
    machine_.RemoveDirectory(dir_);
  }

  void Put(const std::string& path, const std::optional<std::string>& bytes, bool directory) {
    machine_.DeleteFile(path);
    if (directory) {
      ASSERT_TRUE(machine_.CreateDirectory(path));
    }
    if (!bytes) return;
    std::unique_ptr<File> file = machine_.Open(path, OpenMode::Create);
    ASSERT_NE(file, nullptr);
    ASSERT_EQ(file->Write(bytes->data(), static_cast<uint32_t>(bytes->size())),
              static_cast<int32_t>(bytes->size()));
  }
  std::optional<std::string> Read(const std::string& path) {
    std::unique_ptr<File> file = machine_.Open(path, OpenMode::Read);
    if (!file) return std::nullopt;
    std::string bytes;
    char buffer[512];
    for (int32_t got; (got = file->Read(buffer, sizeof buffer)) > 0;) bytes.append(buffer, static_cast<std::size_t>(got));
    return bytes;
  }

  Win32Machine machine_;
  Win32Profile profile_;
  std::string dir_;
};

TEST_F(Win32ProfileTest, TheSharedCasesGiveTheSystemsResults) {
  int number = 0;
  for (const testing::ProfileCase& c : testing::ProfileCases()) {
    const std::string path = dir_ + "\\CASE" + std::to_string(++number) + ".INI";
    testing::ProfileFiles files{
        [&](const std::optional<std::string>& bytes, bool directory) { Put(path, bytes, directory); },
        [&] { return Read(path); }};
    testing::RunProfileCase(c, profile_, path, files);
  }
}

TEST_F(Win32ProfileTest, ABareNameLivesInTheWindowsDirectory) {
  const std::string name = "QMPROF" + std::to_string(GetCurrentProcessId() % 100) + ".INI";
  const std::string path = machine_.GetWindowsDirectory() + "\\" + name;
  machine_.DeleteFile(path);
  EXPECT_TRUE(profile_.WritePrivateProfileString("Windows", "load", "app.exe", name));
  profile_.WritePrivateProfileString(nullptr, nullptr, nullptr, name);
  EXPECT_EQ(Read(path), "[Windows]\r\nload=app.exe\r\n");
  EXPECT_EQ(profile_.GetPrivateProfileString("windows", "LOAD", "", 998, name), "app.exe");
  EXPECT_TRUE(machine_.DeleteFile(path));
}

TEST_F(Win32ProfileTest, AFileInAMissingDirectoryIsNotWritten) {
  EXPECT_FALSE(profile_.WritePrivateProfileString("S", "k", "v", dir_ + "\\NOWHERE\\A.INI"));
  profile_.WritePrivateProfileString(nullptr, nullptr, nullptr, dir_ + "\\NOWHERE\\A.INI");
  EXPECT_EQ(machine_.GetAttributes(dir_ + "\\NOWHERE"), kInvalidAttributes);
}

TEST(Win32EnvironmentTest, VariablesAreReadWhateverTheirCaseAndEmptyCountsAsMissing) {
  Win32Machine machine;
  ASSERT_TRUE(SetEnvironmentVariableA("QM_CONFIG_TEST", "WORK"));
  std::string value;
  EXPECT_TRUE(machine.GetEnvironmentVariable("qm_config_test", &value));
  EXPECT_EQ(value, "WORK");
  const std::string long_value(700, 'x');
  ASSERT_TRUE(SetEnvironmentVariableA("QM_CONFIG_TEST", long_value.c_str()));
  EXPECT_TRUE(machine.GetEnvironmentVariable("QM_CONFIG_TEST", &value));
  EXPECT_EQ(value, long_value);
  ASSERT_TRUE(SetEnvironmentVariableA("QM_CONFIG_TEST", ""));
  EXPECT_FALSE(machine.GetEnvironmentVariable("QM_CONFIG_TEST", &value));
  ASSERT_TRUE(SetEnvironmentVariableA("QM_CONFIG_TEST", nullptr));
  EXPECT_FALSE(machine.GetEnvironmentVariable("QM_CONFIG_TEST", &value));
}

}  // namespace
}  // namespace install::os
