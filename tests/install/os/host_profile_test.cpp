// The profile functions of the host model: the cases shared with the Wine
// test, where files live, and writes that fail.
#include "install/os/host/host_profile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "install/os/host/host_machine.h"
#include "tests/install/os/profile_cases.h"
#include "tests/support/fixture_builder.h"

namespace install::os {
namespace {

namespace fs = std::filesystem;

class HostProfileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(dir_.path() / "c" / "WINDOWS");
    fs::create_directories(dir_.path() / "c" / "CASES");
    machine_.MapDrive('C', dir_.path() / "c", DriveType::Fixed);
  }

  std::optional<std::string> Local(const std::string& relative) {
    auto bytes = test_support::ReadLocalFile(dir_.path() / "c" / relative);
    if (!bytes) return std::nullopt;
    return std::string(bytes->begin(), bytes->end());
  }

  test_support::TempDir dir_;
  HostMachine machine_;
  HostProfile profile_{machine_};
};

TEST_F(HostProfileTest, TheSharedCasesGiveTheSystemsResults) {
  int number = 0;
  for (const testing::ProfileCase& c : testing::ProfileCases()) {
    const std::string name = "CASE" + std::to_string(++number) + ".INI";
    const std::string path = "C:\\CASES\\" + name;
    testing::ProfileFiles files{
        [&](const std::optional<std::string>& bytes, bool directory) {
          if (bytes) test_support::WriteLocalFile(dir_.path() / "c" / "CASES" / name, test_support::BytesOf(*bytes));
          if (directory) fs::create_directories(dir_.path() / "c" / "CASES" / name);
        },
        [&]() -> std::optional<std::string> {
          std::unique_ptr<File> file = machine_.Open(path, OpenMode::Read);
          return file ? Local("CASES/" + name) : std::nullopt;
        }};
    testing::RunProfileCase(c, profile_, path, files);
  }
}

TEST_F(HostProfileTest, ABareNameLivesInTheWindowsDirectoryAndAPathIsUsedAsGiven) {
  EXPECT_EQ(profile_.ProfilePath("WIN.INI"), "C:\\WINDOWS\\WIN.INI");
  EXPECT_EQ(profile_.ProfilePath("CASES\\A.INI"), "CASES\\A.INI");
  EXPECT_EQ(profile_.ProfilePath("C:A.INI"), "C:A.INI");
  EXPECT_EQ(profile_.ProfilePath("\\A.INI"), "\\A.INI");

  EXPECT_TRUE(profile_.WritePrivateProfileString("Windows", "load", "app.exe", "win.ini"));
  EXPECT_EQ(Local("WINDOWS/win.ini"), "[Windows]\r\nload=app.exe\r\n");
  EXPECT_EQ(profile_.GetPrivateProfileString("windows", "LOAD", "", 998, "WIN.INI"), "app.exe");

  ASSERT_TRUE(machine_.SetCurrentDirectory("C:\\CASES"));
  EXPECT_TRUE(profile_.WritePrivateProfileString("S", "k", "v", ".\\REL.INI"));
  EXPECT_EQ(Local("CASES/REL.INI"), "[S]\r\nk=v\r\n");
}

TEST_F(HostProfileTest, AFileInAMissingDirectoryIsNotWritten) {
  EXPECT_FALSE(profile_.WritePrivateProfileString("S", "k", "v", "C:\\NOWHERE\\A.INI"));
  EXPECT_FALSE(fs::exists(dir_.path() / "c" / "NOWHERE"));
  EXPECT_EQ(profile_.GetPrivateProfileString("S", "k", "gone", 3, "C:\\CASES"), "go");
}

// Wine lets its root user write read-only files, so this one is not among
// the shared cases: the system refuses the write.
TEST_F(HostProfileTest, AReadOnlyFileIsReadButNotWritten) {
  test_support::WriteLocalFile(dir_.path() / "c" / "CASES" / "RO.INI", test_support::BytesOf("[A]\r\na=1\r\n"));
  machine_.SetAttributes("C:\\CASES\\RO.INI", kAttrReadOnly);
  EXPECT_EQ(profile_.GetPrivateProfileString("A", "a", "", 998, "C:\\CASES\\RO.INI"), "1");
  EXPECT_FALSE(profile_.WritePrivateProfileString("A", "a", "2", "C:\\CASES\\RO.INI"));
  EXPECT_FALSE(profile_.WritePrivateProfileString("A", nullptr, nullptr, "C:\\CASES\\RO.INI"));
  EXPECT_EQ(Local("CASES/RO.INI"), "[A]\r\na=1\r\n");
}

// A disk that takes only the first bytes of a write.
class ShortWriteMachine : public HostMachine {
 public:
  class ShortFile : public File {
   public:
    explicit ShortFile(std::unique_ptr<File> inner) : inner_(std::move(inner)) {}
    int32_t Read(void* buffer, uint32_t count) override { return inner_->Read(buffer, count); }
    int32_t Write(const void* buffer, uint32_t count) override {
      return inner_->Write(buffer, count > 4 ? 4 : count);
    }
    int64_t Seek(int64_t offset, int origin) override { return inner_->Seek(offset, origin); }

   private:
    std::unique_ptr<File> inner_;
  };
  std::unique_ptr<File> Open(const std::string& path, OpenMode mode) override {
    std::unique_ptr<File> file = HostMachine::Open(path, mode);
    if (file && mode == OpenMode::Create) return std::make_unique<ShortFile>(std::move(file));
    return file;
  }
};

TEST(HostProfileFullDiskTest, AWriteCutShortIsReported) {
  test_support::TempDir dir;
  fs::create_directories(dir.path() / "c");
  ShortWriteMachine machine;
  machine.MapDrive('C', dir.path() / "c", DriveType::Fixed);
  HostProfile profile(machine);
  EXPECT_FALSE(profile.WritePrivateProfileString("Section", "key", "value", "C:\\A.INI"));
  // Nothing to write: nothing fails.
  EXPECT_TRUE(profile.WritePrivateProfileString("Section", "key", nullptr, "C:\\B.INI"));
  EXPECT_FALSE(fs::exists(dir.path() / "c" / "B.INI"));
}

}  // namespace
}  // namespace install::os
