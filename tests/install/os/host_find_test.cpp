// The host machine's directory search, replacing rename, free space and beeps.
#include <gtest/gtest.h>

#include "install/os/host/host_machine.h"
#include "install/os/wildcard_match.h"
#include "tests/support/fixture_builder.h"

namespace install::os {
namespace {

TEST(WildcardMatchTest, FollowsTheSystemsRules) {
  struct Case {
    const char* pattern;
    const char* name;
    bool matches;
  } cases[] = {
      {"*.*", "README", true},      {"*.*", "SETUP.EXE", true},   {"*", "a.b.c", true},
      {"*.", "README", true},       {"*.", "SETUP.EXE", false},   {"*.DLL", "ctl3d.dll", true},
      {"*.DLL", "CTL3D.DLL.BAK", false}, {"*.DLL", "A.B.DLL", true}, {"DATA.*", "DATA", true},
      {"DATA.*", "DATA.1", true},   {"DATA.*", "DATAX.1", false}, {"DATA.?", "DATA.12", false},
      {"DATA.?", "DATA.1", true},   {"DATA.?", "DATA", true},     {"A??", "A", true},
      {"A??", "ABC", true},         {"A??", "ABCD", false},       {"A??.TXT", "A.TXT", true},
      {"A?B", "A.B", false},        {"?", "AB", false},             {"X*Y*Z", "XaaYbbZ", true},
      {"X*Y*Z", "XaaYbb", false},   {"exact.txt", "EXACT.TXT", true}, {"exact.txt", "exact.txtx", false},
      {"*A", "BANANA", true},       {"*.TXT", "TXT", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MatchesWildcard(c.pattern, c.name), c.matches) << c.pattern << " vs " << c.name;
  }
}

class HostFindTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_.Write("disk1/setup.exe", std::string("x"));
    dir_.Write("disk1/Data.1", std::string("12345"));
    dir_.Write("disk1/data.2", std::string("67"));
    dir_.Write("disk1/README", std::string("r"));
    dir_.Write("disk1/sub/inner.txt", std::string("i"));
    dir_.Write("hd/keep.txt", std::string("old"));
    machine_.MapDrive('A', dir_.path() / "disk1", DriveType::Removable, "DISK1");
    machine_.MapDrive('C', dir_.path() / "hd", DriveType::Fixed);
  }
  std::vector<std::string> Names(const std::string& pattern) {
    std::vector<std::string> names;
    for (const FindData& f : machine_.FindFiles(pattern)) names.push_back(f.name);
    return names;
  }
  test_support::TempDir dir_;
  HostMachine machine_;
};

TEST_F(HostFindTest, MatchesComeSortedByNameWithoutDotEntries) {
  EXPECT_EQ(Names("A:\\*.*"),
            (std::vector<std::string>{"Data.1", "data.2", "README", "setup.exe", "sub"}));
  EXPECT_EQ(Names("a:\\DATA.*"), (std::vector<std::string>{"Data.1", "data.2"}));
  EXPECT_EQ(Names("A:\\*."), (std::vector<std::string>{"README", "sub"}));
  EXPECT_EQ(Names("A:\\SUB\\*.*"), (std::vector<std::string>{"inner.txt"}));
  EXPECT_TRUE(Names("A:\\NOWHERE\\*.*").empty());
  EXPECT_TRUE(Names("A:\\*.DLL").empty());
  EXPECT_TRUE(Names("A:\\").empty());
  ASSERT_TRUE(machine_.SetCurrentDirectory("A:\\sub"));
  EXPECT_EQ(Names("*.TXT"), (std::vector<std::string>{"inner.txt"}));
}

TEST_F(HostFindTest, MatchesCarryAttributesSizesAndTimes) {
  ASSERT_TRUE(machine_.SetAttributes("A:\\SETUP.EXE", kAttrReadOnly | kAttrArchive));
  ASSERT_TRUE(machine_.SetDosFileTime("A:\\DATA.1", DosDateTime{0x2A21, 0x6000}));
  std::vector<FindData> found = machine_.FindFiles("A:\\*.*");
  ASSERT_EQ(found.size(), 5u);
  EXPECT_EQ(found[0].size, 5u);
  EXPECT_EQ(found[0].time.date, 0x2A21u);
  EXPECT_EQ(found[0].time.time, 0x6000u);
  EXPECT_EQ(found[3].attributes, kAttrReadOnly | kAttrArchive);
  EXPECT_EQ(found[4].attributes & kAttrDirectory, kAttrDirectory);
  EXPECT_EQ(found[4].size, 0u);
}

TEST_F(HostFindTest, MoveFileReplacingReplacesFilesButNotDirectoriesOrReadOnlyFiles) {
  dir_.Write("hd/new.tmp", std::string("new"));
  ASSERT_TRUE(machine_.SetAttributes("C:\\NEW.TMP", kAttrHidden));
  ASSERT_TRUE(machine_.MoveFileReplacing("C:\\NEW.TMP", "C:\\KEEP.TXT"));
  EXPECT_EQ(test_support::ReadLocalFile(dir_.path() / "hd" / "keep.txt"), test_support::BytesOf("new"));
  EXPECT_EQ(machine_.GetAttributes("C:\\KEEP.TXT"), kAttrHidden);
  EXPECT_EQ(machine_.GetAttributes("C:\\NEW.TMP"), kInvalidAttributes);

  dir_.Write("hd/other.tmp", std::string("other"));
  ASSERT_TRUE(machine_.SetAttributes("C:\\KEEP.TXT", kAttrReadOnly));
  EXPECT_FALSE(machine_.MoveFileReplacing("C:\\OTHER.TMP", "C:\\KEEP.TXT"));
  EXPECT_EQ(test_support::ReadLocalFile(dir_.path() / "hd" / "keep.txt"), test_support::BytesOf("new"));
  ASSERT_TRUE(machine_.CreateDirectory("C:\\FOLDER"));
  EXPECT_FALSE(machine_.MoveFileReplacing("C:\\OTHER.TMP", "C:\\FOLDER"));
  EXPECT_FALSE(machine_.MoveFileReplacing("C:\\OTHER.TMP", "A:\\OTHER.TMP"));  // another drive
  EXPECT_TRUE(machine_.MoveFileReplacing("C:\\OTHER.TMP", "C:\\FRESH.TXT"));   // no file there yet
}

TEST_F(HostFindTest, FreeSpaceIsSetPerDriveAndBeepsAreRecorded) {
  uint64_t free_bytes = 0;
  ASSERT_TRUE(machine_.GetDriveFreeSpace("C:\\", &free_bytes));
  EXPECT_EQ(free_bytes, HostMachine::kDefaultFreeBytes);
  machine_.SetDriveFreeSpace('c', uint64_t{5} << 32);
  ASSERT_TRUE(machine_.GetDriveFreeSpace("C:\\WINDOWS", &free_bytes));
  EXPECT_EQ(SaturatedFreeSpace(free_bytes), 0x7FFFFFFF);
  EXPECT_EQ(SaturatedFreeSpace(1234), 1234);
  machine_.SetDriveFreeSpace('C', std::nullopt);
  EXPECT_FALSE(machine_.GetDriveFreeSpace("C:\\", &free_bytes));
  EXPECT_FALSE(machine_.GetDriveFreeSpace("Q:\\", &free_bytes));

  machine_.MessageBeep(kBeepAsterisk);
  EXPECT_EQ(machine_.Beeps(), (std::vector<uint32_t>{kBeepAsterisk}));
}

}  // namespace
}  // namespace install::os
