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
        [&](const std::optional<std::string>& bytes, bool read_only) {
          if (bytes) test_support::WriteLocalFile(dir_.path() / "c" / "CASES" / name, test_support::BytesOf(*bytes));
          machine_.SetAttributes(path, read_only ? kAttrReadOnly : kAttrNormal);
        },
        [&] { return Local("CASES/" + name); }};
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

TEST_F(HostProfileTest, AFileInAMissingDirectoryOrADirectoryIsNotWritten) {
  EXPECT_FALSE(profile_.WritePrivateProfileString("S", "k", "v", "C:\\NOWHERE\\A.INI"));
  EXPECT_FALSE(fs::exists(dir_.path() / "c" / "NOWHERE"));
  EXPECT_FALSE(profile_.WritePrivateProfileString("S", "k", "v", "C:\\CASES"));
  EXPECT_EQ(profile_.GetPrivateProfileString("S", "k", "gone", 998, "C:\\CASES"), "gone");
  EXPECT_EQ(profile_.GetPrivateProfileString("S", "k", "gone", 3, "C:\\CASES"), "go");
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
