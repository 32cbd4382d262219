#include "tamblor/os/directory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/tamblor/text/text_fixture.h"

namespace tamblor::os {
namespace {

using text::testing::TempDir;
using text::testing::WriteBytes;

std::vector<std::string> Names(DirectoryService& service, const std::string& pattern) {
  std::vector<std::string> names;
  std::unique_ptr<DirectorySearch> search = service.Find(pattern);
  if (!search) return {"<no directory>"};
  DirectoryEntry entry;
  while (search->Next(&entry)) names.push_back(entry.name + (entry.IsDirectory() ? "/" : ""));
  return names;
}

class DirectoryServiceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteBytes(dir_ / "Readme.TXT", "12345");
    WriteBytes(dir_ / "b.doc", "");
    WriteBytes(dir_ / "b.docx", "");
    WriteBytes(dir_ / "NODOT", "");
    WriteBytes(dir_ / "Sub/Inner.txt", "x");
  }
  TempDir dir_;
  std::unique_ptr<DirectoryService> service_ = MakeDirectoryService();
};

TEST_F(DirectoryServiceTest, FindsWithWindowsWildcardsIgnoringCase) {
  const std::string d = dir_.path();
  EXPECT_EQ(Names(*service_, d + "\\*.*"),
            (std::vector<std::string>{"./", "../", "b.doc", "b.docx", "NODOT", "Readme.TXT", "Sub/"}));
  EXPECT_EQ(Names(*service_, d + "\\*.doc"), (std::vector<std::string>{"b.doc"}));
  EXPECT_EQ(Names(*service_, d + "\\B.DOC?"), (std::vector<std::string>{"b.docx"}));
  EXPECT_EQ(Names(*service_, d + "\\readme.txt"), (std::vector<std::string>{"Readme.TXT"}));
  EXPECT_EQ(Names(*service_, d + "\\*.zip"), (std::vector<std::string>{}));
  EXPECT_EQ(Names(*service_, d + "\\SUB\\*"), (std::vector<std::string>{"./", "../", "Inner.txt"}));
  EXPECT_EQ(Names(*service_, d + "/sub/*.TXT"), (std::vector<std::string>{"Inner.txt"}));
  EXPECT_EQ(Names(*service_, d + "\\missing\\*.*"), (std::vector<std::string>{"<no directory>"}));
  std::vector<std::string> root = Names(*service_, "/*.*");
  EXPECT_EQ(std::count(root.begin(), root.end(), "./"), 0) << "a root lists no dots";
  EXPECT_EQ(std::count(root.begin(), root.end(), "tmp/"), 1);
}

TEST_F(DirectoryServiceTest, EntriesCarrySizeAttributesAndTime) {
  std::unique_ptr<DirectorySearch> search = service_->Find(dir_.path() + "\\readme.txt");
  ASSERT_TRUE(search);
  DirectoryEntry entry;
  ASSERT_TRUE(search->Next(&entry));
  EXPECT_EQ(entry.size, 5u);
  EXPECT_FALSE(entry.IsDirectory());
  EXPECT_GE(entry.last_write.year, 2020);
  EXPECT_GE(entry.last_write.month, 1);
  EXPECT_LE(entry.last_write.month, 12);
  EXPECT_FALSE(search->Next(&entry));
}

TEST_F(DirectoryServiceTest, LocalPathsFindNamesWhateverTheirCase) {
  EXPECT_EQ(service_->LocalPath(dir_.path() + "\\SUB\\INNER.TXT"), dir_ / "Sub/Inner.txt");
  EXPECT_EQ(service_->LocalPath(dir_.path() + "\\sub\\new.txt"), dir_ / "Sub/new.txt");
  EXPECT_EQ(service_->LocalPath(dir_.path() + "\\none\\SUB"), dir_ / "none/SUB");
  EXPECT_EQ(service_->LocalPath("relative\\x"), "relative/x");
}

TEST_F(DirectoryServiceTest, AMapperTurnsDrivePathsIntoLocalOnes) {
  const std::string root = dir_.path();
  std::unique_ptr<DirectoryService> mapped = MakeDirectoryService([root](const std::string& path) {
    if (path.rfind("E:\\", 0) != 0) return std::string();
    std::string local = root + "/" + path.substr(3);
    std::replace(local.begin(), local.end(), '\\', '/');
    return local;
  });
  EXPECT_EQ(Names(*mapped, "E:\\Sub\\*.txt"), (std::vector<std::string>{"Inner.txt"}));
  EXPECT_EQ(Names(*mapped, "F:\\*.*"), (std::vector<std::string>{"<no directory>"}));
  EXPECT_EQ(mapped->LocalPath("E:\\b.doc"), root + "/b.doc");
}

}  // namespace
}  // namespace tamblor::os
