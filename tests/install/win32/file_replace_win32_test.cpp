// Replacing a file on every target system, run under Wine: the choice between
// MoveFileExA (Windows NT) and renaming (Windows 95), and the renaming itself
// with its put-back when the new file cannot take the old one's place.
#include "install/os/win32/file_replace.h"

#include "install/os/win32/win32_machine.h"
#include "install/os/win32/windows_api.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/fixture_builder.h"

namespace install::os {
namespace {

constexpr uint32_t kWindows95 = 0xC0000004;    // GetVersion of Windows 95
constexpr uint32_t kWindowsNt351 = 0x04213303;  // NT 3.51, build 1057
constexpr uint32_t kWindows7 = 0x1DB10106;

class FileReplaceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string temp;
    ASSERT_TRUE(machine_.GetTempPath(&temp));
    dir_ = temp + "qm-replace-" + std::to_string(GetCurrentProcessId());
    ASSERT_TRUE(machine_.CreateDirectory(dir_));
  }
  void TearDown() override {
    for (const FindData& entry : machine_.FindFiles(dir_ + "\\*.*")) {
      const std::string path = dir_ + "\\" + entry.name;
      machine_.SetAttributes(path, kAttrNormal);
      if (entry.attributes & kAttrDirectory) {
        machine_.RemoveDirectory(path);
      } else {
        machine_.DeleteFile(path);
      }
    }
    machine_.RemoveDirectory(dir_);
  }
  std::string Path(const std::string& name) { return dir_ + "\\" + name; }
  void Put(const std::string& name, const std::string& text) {
    ASSERT_TRUE(test_support::WriteLocalFile(Path(name), test_support::BytesOf(text)));
  }
  std::string Text(const std::string& name) {
    auto bytes = test_support::ReadLocalFile(Path(name));
    return bytes ? std::string(bytes->begin(), bytes->end()) : "<none>";
  }
  std::vector<std::string> Names() {
    std::vector<std::string> names;
    for (const FindData& entry : machine_.FindFiles(dir_ + "\\*.*")) names.push_back(entry.name);
    return names;
  }

  Win32Machine machine_;
  std::string dir_;
};

TEST(ReplaceMethodTest, WindowsNtMovesInOneCallAndWindows95Renames) {
  EXPECT_EQ(ReplaceMethodFor(kWindows95, true), ReplaceMethod::kRenaming);
  EXPECT_EQ(ReplaceMethodFor(kWindows95, false), ReplaceMethod::kRenaming);
  EXPECT_EQ(ReplaceMethodFor(kWindowsNt351, true), ReplaceMethod::kMoveFileEx);
  EXPECT_EQ(ReplaceMethodFor(kWindows7, true), ReplaceMethod::kMoveFileEx);
  // A system without the export renames whatever it reports.
  EXPECT_EQ(ReplaceMethodFor(kWindowsNt351, false), ReplaceMethod::kRenaming);
}

TEST(ReplaceMethodTest, TheRunningSystemIsAskedForItsVersion) {
  // Wine exports MoveFileExA under every Windows version it imitates, so the
  // method follows the version the prefix reports (Windows 95 in ours).
  const bool windows_95_family = (GetVersion() & 0x80000000u) != 0;
  EXPECT_EQ(ReplaceMethodOfThisSystem(),
            windows_95_family ? ReplaceMethod::kRenaming : ReplaceMethod::kMoveFileEx);
}

TEST_F(FileReplaceTest, EachMethodReplacesAndLeavesNothingAside) {
  for (ReplaceMethod method : {ReplaceMethod::kMoveFileEx, ReplaceMethod::kRenaming}) {
    SCOPED_TRACE(method == ReplaceMethod::kMoveFileEx ? "MoveFileExA" : "renaming");
    Put("NEW.TMP", "new contents");
    Put("APP.DLL", "old");
    ASSERT_TRUE(MoveFileReplacingWith(method, Path("NEW.TMP"), Path("APP.DLL")));
    EXPECT_EQ(Text("APP.DLL"), "new contents");
    EXPECT_EQ(Names(), std::vector<std::string>{"APP.DLL"});
    // With nothing to replace the file is simply renamed.
    Put("NEW.TMP", "second");
    ASSERT_TRUE(MoveFileReplacingWith(method, Path("NEW.TMP"), Path("OTHER.DLL")));
    EXPECT_EQ(Text("OTHER.DLL"), "second");
    EXPECT_EQ(machine_.GetAttributes(Path("NEW.TMP")), kInvalidAttributes);
    machine_.DeleteFile(Path("APP.DLL"));
    machine_.DeleteFile(Path("OTHER.DLL"));
  }
}

TEST_F(FileReplaceTest, OldFileIsPutBackWhenTheNewOneCannotMoveIn) {
  Put("APP.DLL", "old");
  SetLastError(NO_ERROR);
  EXPECT_FALSE(ReplaceByRenaming(Path("MISSING.TMP"), Path("APP.DLL")));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(Text("APP.DLL"), "old");
  EXPECT_EQ(Names(), std::vector<std::string>{"APP.DLL"});
}

TEST_F(FileReplaceTest, ReadOnlyFilesAndDirectoriesAreNotReplacedByEitherMethod) {
  Put("NEW.TMP", "new");
  Put("RO.DLL", "read-only");
  ASSERT_TRUE(machine_.SetAttributes(Path("RO.DLL"), kAttrReadOnly));
  ASSERT_TRUE(machine_.CreateDirectory(Path("SUBDIR")));
  for (ReplaceMethod method : {ReplaceMethod::kMoveFileEx, ReplaceMethod::kRenaming}) {
    SCOPED_TRACE(method == ReplaceMethod::kMoveFileEx ? "MoveFileExA" : "renaming");
    SetLastError(NO_ERROR);
    EXPECT_FALSE(MoveFileReplacingWith(method, Path("NEW.TMP"), Path("RO.DLL")));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(Text("RO.DLL"), "read-only");
    EXPECT_FALSE(MoveFileReplacingWith(method, Path("NEW.TMP"), Path("SUBDIR")));
    EXPECT_NE(machine_.GetAttributes(Path("SUBDIR")) & kAttrDirectory, 0u);
    EXPECT_EQ(Text("NEW.TMP"), "new");
  }
  EXPECT_EQ(Names().size(), 3u);
}

TEST_F(FileReplaceTest, AnAsideNameInUseIsSkippedAndKept) {
  Put("~RPL0000.TMP", "someone else's");
  Put("NEW.TMP", "new");
  Put("APP.DLL", "old");
  ASSERT_TRUE(ReplaceByRenaming(Path("NEW.TMP"), Path("APP.DLL")));
  EXPECT_EQ(Text("APP.DLL"), "new");
  EXPECT_EQ(Text("~RPL0000.TMP"), "someone else's");
  EXPECT_EQ(machine_.GetAttributes(Path("~RPL0001.TMP")), kInvalidAttributes);
  EXPECT_EQ(Names().size(), 2u);
}

TEST_F(FileReplaceTest, TheMachineSeamReplacesWithTheSystemsMethod) {
  Put("NEW.TMP", "new");
  Put("APP.DLL", "old");
  ASSERT_TRUE(machine_.MoveFileReplacing(Path("NEW.TMP"), Path("APP.DLL")));
  EXPECT_EQ(Text("APP.DLL"), "new");
  EXPECT_EQ(Names(), std::vector<std::string>{"APP.DLL"});
}

}  // namespace
}  // namespace install::os
