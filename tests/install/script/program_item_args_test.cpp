#include "install/script/program_item_args.h"

#include <gtest/gtest.h>

#include "install/script/script_cursor.h"

namespace install::script {
namespace {

ProgramItemEntry Parse(const std::string& line) {
  ScriptCursor cursor;
  cursor.SetLine(line);
  std::string keyword;
  cursor.ReadKeyword(keyword);
  return ParseProgramItem(cursor);
}

TEST(ParseProgramItemTest, WorkingDirectoryIsKnownByItsTrailingBackslash) {
  ProgramItemEntry e =
      Parse("WINITEM \"Tools\" \"$DEFAULTDIR$\\APP.EXE\" \"My App\" \"C:\\APP\\\" \"C:\\APP\\APP.ICO\" 0");
  EXPECT_EQ(e.group, "Tools");
  EXPECT_EQ(e.command, "$DEFAULTDIR$\\APP.EXE");
  EXPECT_EQ(e.title, "My App");
  EXPECT_EQ(e.working_dir, "C:\\APP\\");
  EXPECT_EQ(e.icon_file, "C:\\APP\\APP.ICO");
  EXPECT_EQ(e.icon_index, "0");
  EXPECT_EQ(e.action, ProgramItemAction::Add);
  EXPECT_FALSE(e.error);

  e = Parse("WINITEM \"Tools\" \"APP.EXE\" \"My App\" \"C:\\APP\" 2");
  EXPECT_EQ(e.working_dir, "");
  EXPECT_EQ(e.icon_file, "C:\\APP");
  EXPECT_EQ(e.icon_index, "2");
}

TEST(ParseProgramItemTest, GroupOnlyEntry) {
  ProgramItemEntry e = Parse("WINITEM \"Games\"");
  EXPECT_EQ(e.group, "Games");
  EXPECT_EQ(e.command, "");
  EXPECT_EQ(e.title, "");
}

TEST(ParseProgramItemTest, ActionAfterTheLastComma) {
  ProgramItemEntry e = Parse("WINITEM \"Tools\" \"APP.EXE\" \"My App\", Replace");
  EXPECT_EQ(e.action, ProgramItemAction::Replace);
  EXPECT_EQ(e.title, "My App");
  EXPECT_EQ(e.icon_file, "");

  e = Parse("WINITEM \"Games\",  REMOVE");
  EXPECT_EQ(e.action, ProgramItemAction::Remove);
  EXPECT_EQ(e.group, "Games");
  EXPECT_EQ(e.command, "");

  // A comma inside the command matters only when replace or remove follows the last one.
  e = Parse("WINITEM \"G\" \"APP.EXE a,b\" \"T\"");
  EXPECT_EQ(e.action, ProgramItemAction::Add);
  EXPECT_EQ(e.command, "APP.EXE a,b");
  e = Parse("WINITEM \"G\" \"APP.EXE /x,removed\" \"T\"");
  EXPECT_EQ(e.action, ProgramItemAction::Remove);
  EXPECT_EQ(e.command, "");  // the line was cut inside the quoted command
}

TEST(ParseProgramItemTest, OverlongTextsAreRejected) {
  EXPECT_TRUE(Parse("WINITEM \"" + std::string(499, 'g') + "\"").error);
  EXPECT_FALSE(Parse("WINITEM \"" + std::string(498, 'g') + "\"").error);
  EXPECT_TRUE(Parse("WINITEM \"G\" \"" + std::string(999, 'c') + "\"").error);
}

}  // namespace
}  // namespace install::script
