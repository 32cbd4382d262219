#include "install/script/ini_edit_args.h"

#include <gtest/gtest.h>

#include "install/script/script_cursor.h"

namespace install::script {
namespace {

ScriptCursor& AfterKeyword(ScriptCursor& cursor, const std::string& line) {
  cursor.SetLine(line);
  std::string keyword;
  cursor.ReadKeyword(keyword);
  return cursor;
}

TEST(ParseIniFileTest, AllFieldsAndOptions) {
  ScriptCursor cursor;
  IniEntry e = ParseIniFile(AfterKeyword(
      cursor, "INIFILE \"Extensions\" \"txt\" \"notepad.exe ^.txt\" APP.INI ask add overwrite"));
  EXPECT_FALSE(e.error);
  EXPECT_EQ(e.section, "Extensions");
  EXPECT_EQ(e.key, "txt");
  EXPECT_EQ(e.value, "notepad.exe ^.txt");
  EXPECT_EQ(e.file, "APP.INI");
  EXPECT_EQ(e.mode, EditMode::EditThenAsk);
  EXPECT_TRUE(e.add);
}

TEST(ParseIniFileTest, TrailingFieldsMayBeLeftOut) {
  ScriptCursor cursor;
  IniEntry e = ParseIniFile(AfterKeyword(cursor, "INIFILE \"windows\" \"load\""));
  EXPECT_FALSE(e.error);
  EXPECT_EQ(e.value, "");
  EXPECT_EQ(e.file, "WIN.INI");
  EXPECT_EQ(e.mode, EditMode::Edit);
  EXPECT_FALSE(e.add);
}

TEST(ParseIniFileTest, ErrorRules) {
  ScriptCursor cursor;
  EXPECT_TRUE(ParseIniFile(AfterKeyword(cursor, "INIFILE \"s\" \"k\" \"v\" \"A.INI\" REPLACE")).error);
  EXPECT_TRUE(ParseIniFile(AfterKeyword(cursor, "INIFILE")).error);
  EXPECT_TRUE(ParseIniFile(AfterKeyword(cursor, "INIFILE \"s\"")).error);
  EXPECT_TRUE(
      ParseIniFile(AfterKeyword(cursor, "INIFILE \"s\" \"k\" \"" + std::string(999, 'v') + "\"")).error);
  EXPECT_FALSE(
      ParseIniFile(AfterKeyword(cursor, "INIFILE \"s\" \"k\" \"" + std::string(998, 'v') + "\"")).error);
  EXPECT_TRUE(
      ParseIniFile(AfterKeyword(cursor, "INIFILE \"" + std::string(499, 's') + "\" \"k\"")).error);
}

TEST(ParseAddTextTest, FieldsAndPlaceholders) {
  ScriptCursor cursor;
  SearchResults search{"12", "device=", " /x"};
  AddTextEntry e = ParseAddText(
      AfterKeyword(cursor, "ADDTEXT \"$left$C:\\APP\\DRV.SYS$RIGHT$\" C:\\CONFIG.SYS \"$SEARCH$\" replace"),
      search);
  EXPECT_FALSE(e.error);
  EXPECT_EQ(e.text, "device=C:\\APP\\DRV.SYS /x");
  EXPECT_EQ(e.file, "C:\\CONFIG.SYS");
  EXPECT_EQ(e.place, "12");
  EXPECT_TRUE(e.replace);

  e = ParseAddText(AfterKeyword(cursor, "ADDTEXT \"x\" \"SYSTEM.INI\" \"[fonts]\" KEEP"), search);
  EXPECT_FALSE(e.error);
  EXPECT_EQ(e.place, "[fonts]");
  EXPECT_FALSE(e.replace);

  e = ParseAddText(AfterKeyword(cursor, "ADDTEXT \"x\" A.TXT"), search);
  EXPECT_FALSE(e.error);
  EXPECT_EQ(e.place, "");
}

TEST(ParseAddTextTest, ReplacementsAreNotSearchedAgain) {
  ScriptCursor cursor;
  SearchResults search{"$SEARCH$", "$RIGHT$", "$LEFT$"};
  AddTextEntry e = ParseAddText(AfterKeyword(cursor, "ADDTEXT \"[$LEFT$|$RIGHT$]\" A \"$SEARCH$\""), search);
  EXPECT_EQ(e.text, "[$RIGHT$|$LEFT$]");
  EXPECT_EQ(e.place, "$SEARCH$");
}

TEST(ParseAddTextTest, ErrorRules) {
  ScriptCursor cursor;
  SearchResults search;
  EXPECT_TRUE(ParseAddText(AfterKeyword(cursor, "ADDTEXT \"only the text\""), search).error);
  EXPECT_TRUE(ParseAddText(AfterKeyword(cursor, "ADDTEXT \"t\" \"\""), search).error);
  EXPECT_TRUE(
      ParseAddText(AfterKeyword(cursor, "ADDTEXT \"" + std::string(999, 't') + "\" A.TXT"), search).error);
  EXPECT_TRUE(
      ParseAddText(AfterKeyword(cursor, "ADDTEXT \"t\" A.TXT \"" + std::string(502, 'p') + "\""), search)
          .error);
  // A left result that grows the text past its capacity is refused, not cut.
  SearchResults long_left{"1", std::string(503, 'l'), ""};
  EXPECT_TRUE(ParseAddText(AfterKeyword(cursor, "ADDTEXT \"$LEFT$$LEFT$\" A.TXT"), long_left).error);
}

}  // namespace
}  // namespace install::script
