#include "install/engine/rename_delete.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/install/engine/run_services_fixture.h"

namespace install::engine {
namespace {

class RenameDeleteTest : public testing::RunServicesFixture {
 protected:
  RenameDeleteTest() {
    std::filesystem::create_directories(Local("C/APP"));
    state_.installation_dir = "C:\\APP";
    log_.SetLogPath("C:\\APP");
    plan_->macros.default_dir = "C:\\APP";
  }
  FileOperationServices Services() { return FileOperationServices{machine_, desktop_, log_, Expander()}; }
  void Rename(const std::string& old_path, const std::string& new_path) {
    ApplyRename(script::RenameEntry{old_path, new_path}, *plan_, Services());
  }
  void Delete(const std::string& path) { ApplyDelete(script::DeleteEntry{path}, state_, Services()); }
  std::string Log() const { return ReadLocal("C/APP/install.log"); }
};

TEST_F(RenameDeleteTest, RenameReplacesAnExistingTargetAndLogsNewThenOld) {
  WriteLocal("C/APP/OLD.TXT", "new contents");
  WriteLocal("C/APP/NEW.TXT", "to be replaced");
  Rename("$DEFAULTDIR$\\OLD.TXT", "$DEFAULTDIR$\\NEW.TXT");
  EXPECT_EQ(ReadLocal("C/APP/NEW.TXT"), "new contents");
  EXPECT_FALSE(ExistsLocal("C/APP/OLD.TXT"));
  EXPECT_EQ(Log(), "RENAME: C:\\APP\\NEW.TXT, C:\\APP\\OLD.TXT\r\n");
}

TEST_F(RenameDeleteTest, RenameKeepsTheTargetWhenTheSourceIsMissingOrTheTargetIsReadOnly) {
  WriteLocal("C/APP/NEW.TXT", "keep me");
  Rename("C:\\APP\\GONE.TXT", "C:\\APP\\NEW.TXT");
  EXPECT_EQ(ReadLocal("C/APP/NEW.TXT"), "keep me");

  WriteLocal("C/APP/OLD.TXT", "other");
  machine_.SetAttributes("C:\\APP\\NEW.TXT", os::kAttrReadOnly);
  Rename("C:\\APP\\OLD.TXT", "C:\\APP\\NEW.TXT");
  EXPECT_EQ(ReadLocal("C/APP/NEW.TXT"), "keep me");
  EXPECT_EQ(ReadLocal("C/APP/OLD.TXT"), "other");

  // A directory is never renamed by a RENAME line.
  std::filesystem::create_directories(Local("C/APP/SUBDIR"));
  Rename("C:\\APP\\SUBDIR", "C:\\APP\\MOVED");
  EXPECT_TRUE(std::filesystem::is_directory(Local("C/APP/SUBDIR")));
  EXPECT_EQ(Log(), "<missing>");  // nothing happened, nothing logged
}

TEST_F(RenameDeleteTest, RenameToAnotherDriveReplacesTheTargetThere) {
  WriteLocal("C/APP/OLD.TXT", "moved across");
  WriteLocal("D/OUT/NEW.TXT", "old target");
  Rename("C:\\APP\\OLD.TXT", "D:\\OUT\\NEW.TXT");
  EXPECT_EQ(ReadLocal("D/OUT/NEW.TXT"), "moved across");
  EXPECT_FALSE(ExistsLocal("C/APP/OLD.TXT"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Local("D/OUT")), {}), 1);  // nothing left aside
}

TEST_F(RenameDeleteTest, StarDotStarMovesEveryFileUnderItsOwnNameIntoACreatedDirectory) {
  WriteLocal("C/SRC/A.TXT", "a");
  WriteLocal("C/SRC/B.DOC", "b");
  std::filesystem::create_directories(Local("C/SRC/SUB"));
  machine_.SetCurrentDirectory("C:\\APP");
  Rename("C:\\SRC\\*.*", "C:\\DST\\NEW\\*.*");
  EXPECT_EQ(ReadLocal("C/DST/NEW/A.TXT"), "a");
  EXPECT_EQ(ReadLocal("C/DST/NEW/B.DOC"), "b");
  EXPECT_TRUE(std::filesystem::is_directory(Local("C/SRC/SUB")));
  EXPECT_FALSE(ExistsLocal("C/DST/NEW/SUB"));
  EXPECT_EQ(machine_.GetCurrentDirectory(), "C:\\APP");
  // The created directories come first; a match is named without its directory.
  EXPECT_EQ(Log(),
            "DIRECTORY: C:\\DST\r\nDIRECTORY: C:\\DST\\NEW\r\n\r\n"
            "RENAME: C:\\DST\\NEW\\A.TXT, A.TXT\r\n"
            "RENAME: C:\\DST\\NEW\\B.DOC, B.DOC\r\n");
}

TEST_F(RenameDeleteTest, StarDotExtensionKeepsEachBaseNameWithTheNewExtension) {
  WriteLocal("C/SRC/README.TXT", "r");
  WriteLocal("C/SRC/V1.2.TXT", "v");
  WriteLocal("C/SRC/DATA.DAT", "d");
  Rename("C:\\SRC\\*.TXT", "D:\\DOCS\\*.DOC");
  EXPECT_EQ(ReadLocal("D/DOCS/README.DOC"), "r");
  EXPECT_EQ(ReadLocal("D/DOCS/V1.2.DOC"), "v");
  EXPECT_EQ(ReadLocal("C/SRC/DATA.DAT"), "d");
  EXPECT_FALSE(ExistsLocal("C/SRC/README.TXT"));
}

TEST_F(RenameDeleteTest, PatternRenamedInItsOwnDirectoryIsRenamedOnce) {
  WriteLocal("C/APP/ONE.TXT", "1");
  WriteLocal("C/APP/TWO.TXT", "2");
  Rename("C:\\APP\\*.TXT", "C:\\APP\\*.BAK");
  EXPECT_EQ(ReadLocal("C/APP/ONE.BAK"), "1");
  EXPECT_EQ(ReadLocal("C/APP/TWO.BAK"), "2");
  EXPECT_EQ(Log(), "RENAME: C:\\APP\\ONE.BAK, ONE.TXT\r\nRENAME: C:\\APP\\TWO.BAK, TWO.TXT\r\n");
}

TEST_F(RenameDeleteTest, StarWithoutDotTakesTheNewBaseNameAndKeepsEachExtension) {
  WriteLocal("C/APP/NOTES.TXT", "t");
  WriteLocal("C/APP/NOTES.BAK", "b");
  WriteLocal("C/APP/OTHER.TXT", "o");
  Rename("C:\\APP\\NOTES*", "C:\\APP\\MEMO.DOC");
  EXPECT_EQ(ReadLocal("C/APP/MEMO.TXT"), "t");
  EXPECT_EQ(ReadLocal("C/APP/MEMO.BAK"), "b");
  EXPECT_EQ(ReadLocal("C/APP/OTHER.TXT"), "o");
  EXPECT_FALSE(ExistsLocal("C/APP/MEMO.DOC"));
}

TEST_F(RenameDeleteTest, PatternInAMissingDirectoryRenamesNothing) {
  WriteLocal("C/APP/A.TXT", "a");
  machine_.SetCurrentDirectory("C:\\APP");
  Rename("C:\\NOWHERE\\*.TXT", "C:\\APP\\*.DOC");
  EXPECT_EQ(ReadLocal("C/APP/A.TXT"), "a");
  EXPECT_EQ(machine_.GetCurrentDirectory(), "C:\\APP");
}

TEST_F(RenameDeleteTest, DeleteTakesARelativePathInTheInstallationDirectory) {
  WriteLocal("C/APP/OLD.TXT", "x");
  WriteLocal("C/OLD.TXT", "x");
  Delete("OLD.TXT");
  EXPECT_FALSE(ExistsLocal("C/APP/OLD.TXT"));
  EXPECT_TRUE(ExistsLocal("C/OLD.TXT"));
  Delete("\\OLD.TXT");
  EXPECT_FALSE(ExistsLocal("C/OLD.TXT"));
  EXPECT_EQ(Log(), "<missing>");  // deletions are not logged
}

TEST_F(RenameDeleteTest, DeleteRetriesReadOnlyFilesOnce) {
  WriteLocal("C/APP/LOCKED.DAT", "x");
  machine_.SetAttributes("C:\\APP\\LOCKED.DAT", os::kAttrReadOnly | os::kAttrHidden);
  ASSERT_FALSE(machine_.DeleteFile("C:\\APP\\LOCKED.DAT"));
  Delete("$DEFAULTDIR$\\LOCKED.DAT");
  EXPECT_FALSE(ExistsLocal("C/APP/LOCKED.DAT"));
}

TEST_F(RenameDeleteTest, DeleteWithWildcardsRemovesMatchingFilesButNeverDirectories) {
  WriteLocal("C/APP/A.TMP", "a");
  WriteLocal("C/APP/B.TMP", "b");
  WriteLocal("C/APP/KEEP.TXT", "k");
  machine_.SetAttributes("C:\\APP\\B.TMP", os::kAttrReadOnly);
  std::filesystem::create_directories(Local("C/APP/DIR.TMP"));
  machine_.SetAttributes("C:\\APP\\DIR.TMP", os::kAttrDirectory | os::kAttrHidden);
  machine_.SetCurrentDirectory("D:\\");
  Delete("*.TMP");
  EXPECT_FALSE(ExistsLocal("C/APP/A.TMP"));
  EXPECT_FALSE(ExistsLocal("C/APP/B.TMP"));
  EXPECT_TRUE(ExistsLocal("C/APP/KEEP.TXT"));
  EXPECT_TRUE(std::filesystem::is_directory(Local("C/APP/DIR.TMP")));
  EXPECT_EQ(machine_.GetCurrentDirectory(), "D:\\");

  WriteLocal("C/APP/FILE1.BAK", "1");
  WriteLocal("C/APP/FILE22.BAK", "22");
  Delete("C:\\APP\\FILE?.BAK");
  EXPECT_FALSE(ExistsLocal("C/APP/FILE1.BAK"));
  EXPECT_TRUE(ExistsLocal("C/APP/FILE22.BAK"));
}

TEST_F(RenameDeleteTest, DeleteOfADirectoryLeavesItAndItsAttributesAlone) {
  std::filesystem::create_directories(Local("C/APP/SUB"));
  machine_.SetAttributes("C:\\APP\\SUB", os::kAttrDirectory | os::kAttrReadOnly);
  Delete("SUB");
  EXPECT_TRUE(std::filesystem::is_directory(Local("C/APP/SUB")));
  EXPECT_EQ(machine_.GetAttributes("C:\\APP\\SUB"), os::kAttrDirectory | os::kAttrReadOnly);
}

TEST_F(RenameDeleteTest, PathsBeyondTheirCapacityAreRefusedNotCut) {
  // Installation directory of 484 characters: "C:\" + 240 + "\" + 240.
  const std::string outer(240, 'D'), inner(240, 'E');
  std::filesystem::create_directories(Local("C/" + outer + "/" + inner));
  state_.installation_dir = "C:\\" + outer + "\\" + inner;
  // Cut to 499 characters, "VICTIM.TXT.BAK2" would name VICTIM.TXT.BAK.
  WriteLocal("C/" + outer + "/" + inner + "/VICTIM.TXT.BAK", "must stay");
  WriteLocal("C/" + outer + "/" + inner + "/VICTIM.TXT.BAK2", "x");
  Delete("VICTIM.TXT.BAK2");
  EXPECT_TRUE(ExistsLocal("C/" + outer + "/" + inner + "/VICTIM.TXT.BAK"));
  EXPECT_TRUE(ExistsLocal("C/" + outer + "/" + inner + "/VICTIM.TXT.BAK2"));

  // A rename whose expanded path runs past 999 characters does nothing.
  plan_->macros.dir2 = std::string(990, 'X');
  WriteLocal("C/APP/OLD.TXT", "o");
  Rename("C:\\APP\\OLD.TXT", "C:\\APP\\$DIR2$.TXT");
  EXPECT_EQ(ReadLocal("C/APP/OLD.TXT"), "o");
}

}  // namespace
}  // namespace install::engine
