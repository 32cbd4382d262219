#include "install/script/file_entry.h"

#include <gtest/gtest.h>

#include "install/script/group_map.h"
#include "install/script/macros.h"
#include "install/script/script_cursor.h"

namespace install::script {
namespace {

class FileEntryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    values_.source_dir = "A:\\SETUP";
    cursor_.SetTokenHook([this](ScriptCursor& c) { SubstituteAtToken(c, values_); });
    groups_.Set(1, 0);
    groups_.Set(2, 1);
    for (int n = 10; n < 23; ++n) groups_.Set(n, n - 8);
  }

  // Parses a whole FILE line, keyword included, as the dispatcher hands it on.
  int File(const std::string& line, FileEntry* entry) {
    cursor_.SetLine(line);
    std::string keyword;
    cursor_.ReadKeyword(keyword);
    FileLineContext context{default_mode_, &groups_};
    return ParseFileLine(cursor_, context, entry);
  }
  FileEntry Disk(const std::string& line) {
    cursor_.SetLine(line);
    std::string keyword;
    cursor_.ReadKeyword(keyword);
    return ParseInsertDiskLine(cursor_);
  }

  MacroValues values_;
  ScriptCursor cursor_;
  GroupMap groups_;
  OverwriteMode default_mode_ = OverwriteMode::Ask;
};

TEST_F(FileEntryTest, NameOnlyGivesEveryDefault) {
  FileEntry e;
  default_mode_ = OverwriteMode::New;
  ASSERT_EQ(File("FILE: readme.txt", &e), 0);
  EXPECT_EQ(e.kind, FileEntryKind::File);
  EXPECT_EQ(e.name, "readme.txt");
  EXPECT_EQ(e.compression, Compression::None);
  EXPECT_EQ(e.overwrite, OverwriteMode::New);
  EXPECT_EQ(e.attributes, kFileAttrNormal);
  EXPECT_EQ(e.popup, -1);
  EXPECT_FALSE(e.has_source);
  EXPECT_FALSE(e.error);
  for (uint16_t g : e.groups) EXPECT_EQ(g, kNoGroup);
}

TEST_F(FileEntryTest, EveryFieldOnOneLine) {
  FileEntry e;
  ASSERT_EQ(File("file \"My File.dat\" COMPRESSED overwrite = yes SOURCE=DISK2 POPID=7 "
                 "GROUP=1,2 ATTRIBUTE=\"rh\"",
                 &e),
            0);
  EXPECT_EQ(e.name, "My File.dat");
  EXPECT_EQ(e.compression, Compression::Compressed);
  EXPECT_EQ(e.overwrite, OverwriteMode::Yes);
  EXPECT_EQ(e.source, "\\DISK2");
  EXPECT_EQ(e.source_kind, SourceKind::Relative);
  EXPECT_TRUE(e.has_source);
  EXPECT_EQ(e.popup, 7);
  EXPECT_EQ(e.groups[0], 0);
  EXPECT_EQ(e.groups[1], 1);
  EXPECT_EQ(e.groups[2], kNoGroup);
  EXPECT_EQ(e.attributes, kFileAttrReadOnly | kFileAttrHidden);

  ASSERT_EQ(File("FILE a.exe SELF-EXTRACT OVERWRITE=new ATTRIBUTE=\"SA\"", &e), 0);
  EXPECT_EQ(e.compression, Compression::SelfExtract);
  EXPECT_EQ(e.overwrite, OverwriteMode::New);
  EXPECT_EQ(e.attributes, kFileAttrSystem | kFileAttrArchive);
}

TEST_F(FileEntryTest, SourceKinds) {
  FileEntry e;
  ASSERT_EQ(File("FILE a SOURCE=\\DISK2\\", &e), 0);
  EXPECT_EQ(e.source, "\\DISK2");
  EXPECT_EQ(e.source_kind, SourceKind::Rooted);
  ASSERT_EQ(File("FILE a SOURCE=D:\\", &e), 0);
  EXPECT_EQ(e.source, "D:");
  EXPECT_EQ(e.source_kind, SourceKind::Absolute);
  ASSERT_EQ(File("FILE a SOURCE=\"$DEFAULTDIR$\\OLD\"", &e), 0);
  EXPECT_EQ(e.source, "$DEFAULTDIR$\\OLD");
  EXPECT_EQ(e.source_kind, SourceKind::Absolute);
  // The source-directory macro in lower case is substituted while the line is read.
  ASSERT_EQ(File("FILE a SOURCE=$sourcedir$\\DISK3", &e), 0);
  EXPECT_EQ(e.source, "A:\\SETUP\\DISK3");
  EXPECT_EQ(e.source_kind, SourceKind::Absolute);
}

TEST_F(FileEntryTest, GroupsSeparatedByCommasOrSpacesAndTheirLimits) {
  FileEntry a, b;
  ASSERT_EQ(File("FILE a GROUP=1,2", &a), 0);
  ASSERT_EQ(File("FILE a GROUP=1 2 COMPRESSED", &b), 0);
  EXPECT_EQ(a.groups, b.groups);
  EXPECT_EQ(b.compression, Compression::Compressed);

  FileEntry e;
  EXPECT_EQ(File("FILE a GROUP=7", &e), 1);  // no group item carries 7
  EXPECT_TRUE(e.error);
  EXPECT_EQ(File("FILE a GROUP=100", &e), 1);
  ASSERT_EQ(File("FILE a GROUP=10 11 12 13 14 15 16 17 18 19 20 21", &e), 0);
  EXPECT_EQ(e.groups[11], 21 - 8);
  EXPECT_EQ(File("FILE a GROUP=10 11 12 13 14 15 16 17 18 19 20 21 22", &e), 1);
}

TEST_F(FileEntryTest, AttributeRules) {
  FileEntry e;
  EXPECT_EQ(File("FILE a ATTRIBUTE=\"RX\"", &e), 1);
  ASSERT_EQ(File("FILE a ATTRIBUTE=\"\"", &e), 0);
  EXPECT_EQ(e.attributes, 0);
  // A bare word reads as an empty set.
  ASSERT_EQ(File("FILE a ATTRIBUTE=R", &e), 0);
  EXPECT_EQ(e.attributes, 0);
}

TEST_F(FileEntryTest, MalformedLines) {
  FileEntry e;
  EXPECT_EQ(File("FILE a BOGUS", &e), 1);
  EXPECT_EQ(File("FILE a OVERWRITE YES", &e), 1);  // "=" missing
  EXPECT_EQ(File("FILE a OVERWRITE=MAYBE", &e), 1);
  EXPECT_EQ(File("FILE a SOURCE DISK2", &e), 1);
  EXPECT_EQ(File("FILE", &e), 1);  // no name
  EXPECT_EQ(File("FILE " + std::string(580, 'n'), &e), 1);
  ASSERT_EQ(File("FILE " + std::string(579, 'n'), &e), 0);
  EXPECT_EQ(File("FILE a SOURCE=" + std::string(80, 's'), &e), 1);
  ASSERT_EQ(File("FILE a SOURCE=" + std::string(79, 's'), &e), 0);
  EXPECT_EQ(e.source.size(), 80u);
  EXPECT_EQ(File("FILE a SOURCE=D:\\" + std::string(497, 's'), &e), 1);
  // No further option is read after the first bad one.
  EXPECT_EQ(File("FILE a BOGUS COMPRESSED", &e), 1);
  EXPECT_EQ(e.compression, Compression::None);
  EXPECT_TRUE(e.error);
}

TEST_F(FileEntryTest, PopupWithoutDigitsIsZero) {
  FileEntry e;
  ASSERT_EQ(File("FILE a POPID= COMPRESSED", &e), 0);
  EXPECT_EQ(e.popup, 0);
  EXPECT_EQ(e.compression, Compression::Compressed);
}

TEST_F(FileEntryTest, InsertDiskLines) {
  FileEntry e = Disk("INSERTDISK: \"Disk 2\"");
  EXPECT_EQ(e.kind, FileEntryKind::DiskChange);
  EXPECT_EQ(e.name, "Disk 2");
  EXPECT_FALSE(e.error);

  e = Disk("INSERTDISK \"Disk 3\" \"DISK3.TAG\" POPID=4");
  EXPECT_EQ(e.kind, FileEntryKind::DiskChangeCheck);
  EXPECT_EQ(e.disk_check, "DISK3.TAG");
  EXPECT_EQ(e.popup, 4);
  EXPECT_FALSE(e.error);

  e = Disk("INSERTDISK DISK4");
  EXPECT_EQ(e.name, "the next disk");
  EXPECT_TRUE(e.error);  // the bare word is no option; the caller keeps the entry

  e = Disk("INSERTDISK \"Disk 5\" \"\" WHATEVER");
  EXPECT_EQ(e.kind, FileEntryKind::DiskChange);
  EXPECT_TRUE(e.error);

  e = Disk("INSERTDISK \"D\" \"" + std::string(81, 'c') + "\"");
  EXPECT_EQ(e.disk_check.size(), kDiskCheckCapacity);
  EXPECT_TRUE(e.error);
}

}  // namespace
}  // namespace install::script
