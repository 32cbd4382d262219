#include "install/script/dos_edit_args.h"

#include <gtest/gtest.h>

#include "install/script/script_cursor.h"

namespace install::script {
namespace {

// Loads a whole script line and reads its keyword, as the dispatcher does.
ScriptCursor& AfterKeyword(ScriptCursor& cursor, const std::string& line) {
  cursor.SetLine(line);
  std::string keyword;
  cursor.ReadKeyword(keyword);
  return cursor;
}

TEST(ParseAutoexecTest, OptionsAddUpOverSeveralLines) {
  ScriptCursor cursor;
  AutoexecEdits edits;
  ASSERT_EQ(ParseAutoexec(AfterKeyword(cursor, "AUTOEXEC ADDPATH=\"$DEFAULTDIR$\" ADD=\"SET APP=1\""), edits), 0);
  EXPECT_EQ(edits.mode, EditMode::Edit);
  ASSERT_EQ(ParseAutoexec(AfterKeyword(cursor, "autoexec: ask addpath = \"C:\\BIN\" ADDPATH share"), edits), 0);
  EXPECT_EQ(edits.mode, EditMode::EditThenAsk);
  ASSERT_EQ(ParseAutoexec(AfterKeyword(cursor, "AUTOEXEC ADD=\"LH MOUSE\""), edits), 0);
  EXPECT_EQ(edits.mode, EditMode::EditThenAsk);  // never goes back
  ASSERT_EQ(edits.path_entries.size(), 2u);
  EXPECT_EQ(edits.path_entries[0].text, "$DEFAULTDIR$");
  EXPECT_EQ(edits.path_entries[1].text, "C:\\BIN");
  EXPECT_TRUE(edits.path_entries[1].pending);
  EXPECT_TRUE(edits.add_install_dir);
  ASSERT_EQ(edits.added_lines.size(), 2u);
  EXPECT_EQ(edits.added_lines[1].text, "LH MOUSE");
  EXPECT_TRUE(edits.share_wanted);
  EXPECT_EQ(edits.share_min_files, 0);
}

TEST(ParseAutoexecTest, ShareNumbers) {
  ScriptCursor cursor;
  AutoexecEdits edits;
  ASSERT_EQ(ParseAutoexec(AfterKeyword(cursor, "AUTOEXEC SHARE=\"/f: 4096 /l:40\""), edits), 0);
  EXPECT_TRUE(edits.share_wanted);
  EXPECT_EQ(edits.share_min_files, 4096);
  EXPECT_EQ(edits.share_min_locks, 40);
  // SHARE without "=" leaves the minimums as they were.
  ASSERT_EQ(ParseAutoexec(AfterKeyword(cursor, "AUTOEXEC SHARE"), edits), 0);
  EXPECT_EQ(edits.share_min_files, 4096);

  std::string text = "c:\\dos\\share.exe /L:500";
  ShareNumbers n = ReadShareNumbers(text);
  EXPECT_EQ(text, "C:\\DOS\\SHARE.EXE /L:500");
  EXPECT_EQ(n.files, 0);
  EXPECT_EQ(n.locks, 500);
}

TEST(ParseAutoexecTest, ErrorRules) {
  ScriptCursor cursor;
  AutoexecEdits edits;
  EXPECT_EQ(ParseAutoexec(AfterKeyword(cursor, "AUTOEXEC ADD \"x\""), edits), 1);  // ADD without "="
  EXPECT_EQ(ParseAutoexec(AfterKeyword(cursor, "AUTOEXEC PATH=\"x\""), edits), 1);
  EXPECT_EQ(ParseAutoexec(AfterKeyword(cursor, "AUTOEXEC ADDPATH=\"\""), edits), 1);
  EXPECT_EQ(ParseAutoexec(AfterKeyword(cursor, "AUTOEXEC ADDPATH=C:\\BIN"), edits), 1);  // bare word: next option
  EXPECT_EQ(ParseAutoexec(AfterKeyword(cursor, "AUTOEXEC ADD=\"" + std::string(1000, 'a') + "\""), edits), 1);
  EXPECT_EQ(ParseAutoexec(AfterKeyword(cursor, "AUTOEXEC ADD=\"" + std::string(999, 'a') + "\""), edits), 0);
}

TEST(ParseConfigTest, MinimumsAddedLinesAndMode) {
  ScriptCursor cursor;
  ConfigEdits edits;
  ASSERT_EQ(ParseConfig(AfterKeyword(cursor, "CONFIG FILEMIN=30 buffermin = 20 ADD=\"DEVICE=X.SYS\""), edits), 0);
  EXPECT_EQ(edits.mode, EditMode::Edit);
  EXPECT_EQ(edits.files_min, 30);
  EXPECT_EQ(edits.buffers_min, 20);
  ASSERT_EQ(edits.added_lines.size(), 1u);
  EXPECT_EQ(edits.added_lines[0].text, "DEVICE=X.SYS");
  ASSERT_EQ(ParseConfig(AfterKeyword(cursor, "CONFIG ASK"), edits), 0);
  EXPECT_EQ(edits.mode, EditMode::EditThenAsk);
}

TEST(ParseConfigTest, MissingEqualsIgnoresTheRestAndOtherWordsAreErrors) {
  ScriptCursor cursor;
  ConfigEdits edits;
  ASSERT_EQ(ParseConfig(AfterKeyword(cursor, "CONFIG FILEMIN 30 NONSENSE"), edits), 0);
  EXPECT_EQ(edits.files_min, 0);
  EXPECT_EQ(ParseConfig(AfterKeyword(cursor, "CONFIG FILES=30"), edits), 1);
  EXPECT_EQ(ParseConfig(AfterKeyword(cursor, "CONFIG ADD \"x\""), edits), 1);
}

}  // namespace
}  // namespace install::script
