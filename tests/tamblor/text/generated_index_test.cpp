#include "tamblor/text/generated_index.h"

#include <utime.h>

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <string>

#include "tamblor/os/host/host_machine.h"
#include "tamblor/text/block_file.h"
#include "tamblor/text/index_format.h"
#include "tests/tamblor/text/text_fixture.h"

namespace tamblor::text {
namespace {

using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;
namespace fs = std::filesystem;

// The built-in English texts.
GeneratedIndexTexts EnglishTexts() {
  GeneratedIndexTexts texts;
  texts.directory = "Directory";
  texts.column_header = "| FileName                FileSize    Date        Description                 |\n";
  texts.description_file = "Description File.";
  texts.documentation = "Documentation.";
  texts.text_file = "Text File. (Doc?)";
  texts.batch_file = "Executable Batch File.";
  texts.program = "Executable Program.";
  texts.other_file = " ";
  return texts;
}

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

void WriteDated(const std::string& path, size_t size) {
  WriteBytes(path, std::string(size, 'z'));
  SetLocalTime(path, 1996, 7, 4);
}

std::string Heading(const std::string& directory) {
  std::string path_field = directory + std::string(directory.size() < 75 ? 75 - directory.size() : 0, ' ');
  return "===============================================================================\r\n"
         "|Directory                                                                    |\r\n"
         "|  " + path_field + "|\r\n"
         "|                                                                             |\r\n"
         "| FileName                FileSize    Date        Description                 |\r\n"
         "===============================================================================\r\n";
}

// Drive C: of a machine model over the temporary directory, with the
// directory service that lists it.
struct DriveC {
  explicit DriveC(const TempDir& dir) { machine.MapDrive('C', dir.path()); }
  os::host::HostMachine machine;
  std::unique_ptr<os::DirectoryService> service =
      os::MakeDirectoryService([this](const std::string& path) { return machine.ToHostPath(path); });
  bool Write(const std::string& directory, const GeneratedIndexTexts& texts) {
    return WriteGeneratedIndex(machine, *service, directory, texts);
  }
};

// An unpacked program: files of every row of the pattern table, a name longer
// than the index column, sizes at the unit boundaries, a subdirectory tree.
void BuildProgramTree(const TempDir& temp, const std::string& folder) {
  auto dir = [&temp, &folder](const std::string& name) { return temp / (folder + "/" + name); };
  WriteDated(dir("file_id.diz"), 1000);
  WriteDated(dir("read.me"), 10);
  WriteDated(dir("readme.doc"), 5);
  WriteDated(dir("README.TXT"), 1001);
  WriteDated(dir("manual.doc"), 0);
  WriteDated(dir("A.TXT"), 999);
  WriteDated(dir("a_very_long_file_name_that_goes_on.txt"), 2);
  WriteDated(dir("install.bat"), 12);
  WriteDated(dir("tool.com"), 1);
  WriteBytes(dir("SETUP.EXE"), "");
  fs::resize_file(dir("SETUP.EXE"), 2500000);
  SetLocalTime(dir("SETUP.EXE"), 2024, 3, 15);
  WriteDated(dir("notes.docx"), 1);
  WriteDated(dir("x.dat"), 1);
  WriteBytes(dir("00_index._wc"), "an old generated index, replaced");
  WriteDated(dir("DOCS/guide.txt"), 3);
  fs::create_directories(dir("DOCS/DEEP"));
  SetLocalTime(dir("DOCS/DEEP"), 1996, 7, 4);
  SetLocalTime(dir("DOCS"), 1996, 7, 4);
}

TEST(GeneratedIndexTest, WritesEveryDirectoryOfARealisticTreeByteForByte) {
  TempDir dir;
  BuildProgramTree(dir, "PROG");
  DriveC c(dir);
  const std::string root = "C:\\PROG";
  ASSERT_TRUE(c.Write(root, EnglishTexts()));

  EXPECT_EQ(ReadBytes(dir / "PROG/00_index._wc"),
            Heading(root) +
                "file_id.diz               1000 Byt  07/04/96  Description File.\r\n"
                "read.me                    10 Byte  07/04/96  Documentation.\r\n"
                "readme.doc                  5 Byte  07/04/96  Documentation.\r\n"
                "README.TXT                  1 KB    07/04/96  Documentation.\r\n"
                "manual.doc                  0 Byte  07/04/96  Documentation.\r\n"
                "A.TXT                     999 Byte  07/04/96  Text File. (Doc?)\r\n"
                "a_very_long_file_name_tha   2 Byte  07/04/96  Text File. (Doc?)\r\n"
                "install.bat                12 Byte  07/04/96  Executable Batch File.\r\n"
                "tool.com                    1 Byte  07/04/96  Executable Program.\r\n"
                "SETUP.EXE                   2 MB    03/15/24  Executable Program.\r\n"
                "notes.docx                  1 Byte  07/04/96   \r\n"
                "x.dat                       1 Byte  07/04/96   \r\n"
                "DOCS                        0 Byte  07/04/96  Directory\r\n");
  EXPECT_EQ(ReadBytes(dir / "PROG/DOCS/00_index._wc"),
            Heading(root + "\\DOCS") +
                "guide.txt                   3 Byte  07/04/96  Text File. (Doc?)\r\n"
                "DEEP                        0 Byte  07/04/96  Directory\r\n");
  EXPECT_EQ(ReadBytes(dir / "PROG/DOCS/DEEP/00_index._wc"), Heading(root + "\\DOCS\\DEEP"));
  EXPECT_FALSE(fs::exists(dir / "PROG/00_index.~wc")) << "the working name is gone";
  EXPECT_FALSE(fs::exists(dir / "PROG/00_index.~wo")) << "so is the old index";
}

TEST(GeneratedIndexTest, TheIndexReadsBackAsEntriesNamedAfterTheFiles) {
  TempDir dir;
  BuildProgramTree(dir, "PROG");
  DriveC c(dir);
  ASSERT_TRUE(c.Write("C:\\PROG", EnglishTexts()));
  BlockFile file;
  file.Open(dir / "PROG/00_index._wc");
  std::vector<std::string> names;
  for (int64_t p = 0; p < file.Size(); p = NextEntryStart(file, p)) names.push_back(EntryName(file, p));
  ASSERT_EQ(names.size(), 14u);
  EXPECT_EQ(names[0], std::string(79, '='));  // the heading begins with its rule
  EXPECT_EQ(names[1], "file_id.diz");
  EXPECT_EQ(names[13], "DOCS");
}

TEST(GeneratedIndexTest, WorksOnDrivePathsOfTheMachineModel) {
  TempDir dir;
  WriteBytes(dir / "TOOL/Bin/run.exe", "MZ");
  DriveC c(dir);
  ASSERT_TRUE(c.Write("C:\\TOOL", EnglishTexts()));
  std::string top = ReadBytes(dir / "TOOL/00_index._wc");
  EXPECT_EQ(top.substr(0, Heading("C:\\TOOL").size()), Heading("C:\\TOOL"));
  EXPECT_NE(top.find("\r\nBin                         0 Byte  "), std::string::npos);
  EXPECT_NE(ReadBytes(dir / "TOOL/Bin/00_index._wc").find("\r\nrun.exe                     2 Byte  "),
            std::string::npos);
}

TEST(GeneratedIndexTest, AMissingDirectoryGetsNoIndex) {
  TempDir dir;
  DriveC c(dir);
  EXPECT_FALSE(c.Write("C:\\missing", EnglishTexts()));
  EXPECT_FALSE(fs::exists(dir / "missing"));
}

TEST(GeneratedIndexTest, PathsOf260CharactersOrMoreAreNeverWritten) {
  TempDir dir;
  // A chain of directories that crosses the path capacity, and one name that
  // alone carries a subdirectory beyond it.
  std::string deep = "C:";
  std::string deep_host = dir.path();
  std::vector<std::string> levels, host_levels;
  while (deep.size() < 320) {
    std::string name = "level_" + std::to_string(levels.size());
    deep += "\\" + name;
    deep_host += "/" + name;
    levels.push_back(deep);
    host_levels.push_back(deep_host);
  }
  fs::create_directories(deep_host);
  fs::create_directories(dir / std::string(250, 'n') + "/below");

  DriveC c(dir);
  ASSERT_TRUE(c.Write("C:", EnglishTexts())) << "too long below is no failure";

  const size_t index_name = std::string("\\00_index._wc").size();
  int written = 0, refused = 0;
  for (size_t i = 0; i < levels.size(); ++i) {
    bool fits = levels[i].size() + index_name < kGeneratedIndexPathCapacity;
    EXPECT_EQ(fs::exists(host_levels[i] + "/00_index._wc"), fits) << levels[i].size();
    (fits ? written : refused)++;
  }
  EXPECT_GT(written, 3);
  EXPECT_GT(refused, 3);
  EXPECT_FALSE(fs::exists(dir / std::string(250, 'n') + "/00_index._wc"));
  EXPECT_FALSE(fs::exists(dir / std::string(250, 'n') + "/below/00_index._wc"));
  // The long name is still listed (cut to the column) in its parent's index.
  EXPECT_NE(ReadBytes(dir / "00_index._wc").find(std::string(25, 'n') + "   0 Byte"), std::string::npos);

  EXPECT_FALSE(c.Write(levels.back(), EnglishTexts())) << "a top directory without its index fails";
}

TEST(GeneratedIndexTest, AnIndexPathOf259CharactersIsWrittenAnd260IsNot) {
  TempDir dir;
  DriveC c(dir);
  // "C:\" + name + "\00_index._wc": 3 + n + 13 characters.
  const std::string fits(243, 'f'), over(244, 'o');
  fs::create_directories(dir / fits);
  fs::create_directories(dir / over);
  ASSERT_EQ(("C:\\" + fits + "\\00_index._wc").size(), 259u);
  EXPECT_TRUE(c.Write("C:\\" + fits, EnglishTexts()));
  EXPECT_TRUE(fs::exists(dir / fits + "/00_index._wc"));
  EXPECT_FALSE(c.Write("C:\\" + over, EnglishTexts()));
  EXPECT_TRUE(fs::is_empty(dir / over));
}

}  // namespace
}  // namespace tamblor::text
