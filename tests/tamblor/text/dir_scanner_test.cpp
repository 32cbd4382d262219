#include "tamblor/text/dir_scanner.h"

#include <utime.h>

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/tamblor/text/text_fixture.h"

namespace tamblor::text {
namespace {

using testing::TempDir;
using testing::WriteBytes;

void SetLocalTime(const std::string& path, int year, int month, int day) {
  struct tm parts {};
  parts.tm_year = year - 1900;
  parts.tm_mon = month - 1;
  parts.tm_mday = day;
  parts.tm_hour = 12;
  parts.tm_isdst = -1;
  struct utimbuf times {};
  times.actime = times.modtime = mktime(&parts);
  ASSERT_EQ(utime(path.c_str(), &times), 0);
}

TEST(DirScannerTest, SizeTextsUseDecimalUnits) {
  struct Case {
    uint64_t size;
    const char* text;
  } cases[] = {
      {0, "  0 Byte"},          {7, "  7 Byte"},        {999, "999 Byte"},
      {1000, "1000 Byte"},      {1001, "  1 KB"},       {999999, "999 KB"},
      {1000000, "  1 MB"},      {2500000, "  2 MB"},    {999999999, "999 MB"},
      {4294967295u, "4294 MB"}, {123456789012345678ull, "123456789"},  // cut to 9 characters
  };
  for (const Case& c : cases) EXPECT_EQ(DirScanner::FormatSize(c.size), c.text) << c.size;
}

TEST(DirScannerTest, DateTextsAreMonthDayYear) {
  EXPECT_EQ(DirScanner::FormatDate({1996, 7, 4, 0, 0, 0}), "07/04/96");
  EXPECT_EQ(DirScanner::FormatDate({1999, 12, 31, 23, 59, 59}), "12/31/99");
  // Years from 2000 keep two digits and eight characters.
  EXPECT_EQ(DirScanner::FormatDate({2000, 1, 2, 0, 0, 0}), "01/02/00");
  EXPECT_EQ(DirScanner::FormatDate({2024, 3, 15, 0, 0, 0}), "03/15/24");
}

class DirScannerTreeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteBytes(dir_ / "README.TXT", std::string(1001, 'r'));
    WriteBytes(dir_ / "a.txt", "a");
    WriteBytes(dir_ / "notes.txt.bak", "b");
    WriteBytes(dir_ / "SETUP.EXE", "");
    std::filesystem::resize_file(dir_ / "SETUP.EXE", 2500000);
    std::filesystem::create_directories(dir_ / "DOCS");
    std::filesystem::create_directories(dir_ / "bin");
    SetLocalTime(dir_ / "README.TXT", 1996, 7, 4);
  }

  std::vector<std::string> Scan(const std::string& pattern, ScanMode mode) {
    std::vector<std::string> names;
    DirScanner scanner(*service_);
    if (!scanner.Open(dir_.path() + "\\" + pattern, mode)) return names;
    while (scanner.Next()) names.push_back(scanner.Name());
    EXPECT_FALSE(scanner.Next());
    return names;
  }

  TempDir dir_;
  std::unique_ptr<os::DirectoryService> service_ = os::MakeDirectoryService();
};

TEST_F(DirScannerTreeTest, FileModeAppliesTheBrowsersWildcardTest) {
  EXPECT_EQ(Scan("*.*", ScanMode::Files),
            (std::vector<std::string>{"a.txt", "notes.txt.bak", "README.TXT", "SETUP.EXE"}));
  EXPECT_EQ(Scan("*.txt", ScanMode::Files), (std::vector<std::string>{"a.txt", "README.TXT"}));
  EXPECT_EQ(Scan("readme.*", ScanMode::Files), (std::vector<std::string>{"README.TXT"}));
  EXPECT_EQ(Scan("setup.exe", ScanMode::Files), (std::vector<std::string>{"SETUP.EXE"}));
  // The system matches "*.t*t" but the browser's test takes it as the suffix ".t*t".
  EXPECT_EQ(Scan("*.t*t", ScanMode::Files), (std::vector<std::string>{}));
  EXPECT_EQ(Scan("*.zip", ScanMode::Files), (std::vector<std::string>{}));
}

TEST_F(DirScannerTreeTest, DirectoryModeListsDirectoriesWithoutDots) {
  EXPECT_EQ(Scan("*.*", ScanMode::Directories), (std::vector<std::string>{"bin", "DOCS"}));
  DirScanner scanner(*service_);
  EXPECT_FALSE(scanner.Open(dir_.path() + "\\missing\\*.*", ScanMode::Directories));
  EXPECT_FALSE(scanner.Next());
}

TEST_F(DirScannerTreeTest, NextFillsNameSizeAndDate) {
  DirScanner scanner(*service_);
  ASSERT_TRUE(scanner.Open(dir_.path() + "\\*.*", ScanMode::Files));
  std::vector<std::string> rows;
  while (scanner.Next()) rows.push_back(scanner.Name() + "|" + scanner.SizeText() + "|" + scanner.DateText());
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[2], "README.TXT|  1 KB|07/04/96");
  EXPECT_EQ(rows[3].substr(0, 17), "SETUP.EXE|  2 MB|");
  EXPECT_EQ(rows[3].size(), 17u + 8u);
  scanner.Close();
  EXPECT_FALSE(scanner.Next());
  EXPECT_EQ(scanner.Name(), "");
}

}  // namespace
}  // namespace tamblor::text
