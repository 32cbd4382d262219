#include "install/script/script_cursor.h"

#include <gtest/gtest.h>

#include <string>

#include "install/script/macros.h"

namespace install::script {
namespace {

TEST(ScriptCursorTest, KeywordEndsAtSeparatorsAndColons) {
  ScriptCursor c;
  std::string word;
  for (const char* line : {"file: readme.txt", "FILE : readme.txt", "File,readme.txt"}) {
    c.SetLine(line);
    c.ReadKeyword(word);
    EXPECT_EQ(word, std::string(line).substr(0, 4)) << line;
    c.ReadWord(word);
    EXPECT_EQ(word, "readme.txt") << line;
    EXPECT_TRUE(c.AtEnd());
  }
  c.SetLine("  ;comment");
  c.ReadKeyword(word);
  EXPECT_EQ(word, "");
  EXPECT_EQ(c.Current(), ';');
  c.SetLine("ASK1x2 rest");
  c.ReadKeyword(word);
  EXPECT_EQ(word, "ASK1x2");
}

TEST(ScriptCursorTest, WordsStopAtEqualsAndSetBOnlyForWordB) {
  ScriptCursor c;
  std::string word;
  c.SetLine("NAME=VALUE");
  c.ReadWord(word);
  EXPECT_EQ(word, "NAME");
  EXPECT_TRUE(c.TakeEquals());
  c.ReadWord(word);
  EXPECT_EQ(word, "VALUE");
  for (const char* line : {"NAME = VALUE", "NAME =VALUE"}) {
    c.SetLine(line);
    c.ReadWord(word);
    ASSERT_TRUE(c.TakeEquals()) << line;
    c.ReadWord(word);
    EXPECT_EQ(word, "VALUE") << line;
  }
  EXPECT_FALSE(c.TakeEquals());
  c.SetLine("a(b)c d");
  c.ReadWordB(word);
  EXPECT_EQ(word, "a");
  c.SetLine("a(b)c d");
  c.ReadWord(word);
  EXPECT_EQ(word, "a(b)c");
}

TEST(ScriptCursorTest, QuotedTexts) {
  ScriptCursor c;
  std::string text;
  c.SetLine("\"\" rest");  // the second quote, not doubled, closes an empty text
  c.ReadQuoted(text);
  EXPECT_EQ(text, "");
  EXPECT_EQ(c.Position(), 3u);
  c.SetLine("\"\"\"x\"");  // a doubled quote right after the opening one
  c.ReadQuoted(text);
  EXPECT_EQ(text, "\"x");
  c.SetLine("\"say \"\"hi\"\", ok\" next");
  c.ReadQuoted(text);
  EXPECT_EQ(text, "say \"hi\", ok");
  c.ReadWord(text);
  EXPECT_EQ(text, "next");
  c.SetLine("\"never closed");
  c.ReadQuoted(text);
  EXPECT_EQ(text, "");
  EXPECT_TRUE(c.AtEnd());
  c.SetLine("bare");
  c.ReadQuoted(text);
  EXPECT_EQ(text, "");
  EXPECT_EQ(c.Position(), 0u);
  EXPECT_EQ(c.ReadQuotedRequired(text), -1);
  c.ReadText(text);
  EXPECT_EQ(text, "bare");
  c.SetLine(" \"abc\"");
  EXPECT_EQ(c.ReadQuotedRequired(text), 3);
}

TEST(ScriptCursorTest, ParenthesisedAndNumbers) {
  ScriptCursor c;
  std::string text;
  c.SetLine(" (255, 0,7) tail");
  c.ReadParenthesised(text);
  EXPECT_EQ(text, "255, 0,7");
  c.ReadWord(text);
  EXPECT_EQ(text, "tail");
  c.SetLine("(open only");
  c.ReadParenthesised(text);
  EXPECT_EQ(text, "");
  c.SetLine("-42abc 7 x 99999999999");
  EXPECT_EQ(c.ReadNumber(), -42);
  EXPECT_EQ(c.ReadNumber(), 7);
  EXPECT_EQ(c.ReadNumber(), 0);
  EXPECT_EQ(c.ReadNumber(), INT32_MAX);
}

TEST(ScriptCursorTest, MacroAtTokenStartIsSubstitutedOnce) {
  MacroValues values;
  values.source_dir = "D:\\SRC";
  values.options[0] = "";
  ScriptCursor c;
  c.SetTokenHook([&](ScriptCursor& cur) { SubstituteAtToken(cur, values); });
  std::string word;
  c.SetLine("FILE $sourcedir$\\a.txt $SOURCEDIR$x");
  c.ReadKeyword(word);
  c.ReadWord(word);
  EXPECT_EQ(word, "D:\\SRC\\a.txt");
  EXPECT_EQ(c.Line(), "FILE D:\\SRC\\a.txt $SOURCEDIR$x");
  c.SetLine("x\"$SYSTEM$\\name\" a$SOURCEDIR$");
  c.SetPosition(1);
  c.ReadQuoted(word);
  EXPECT_EQ(word, "\\name");
  c.ReadWord(word);
  EXPECT_EQ(word, "a$SOURCEDIR$");  // only at a token's start
}

TEST(ScriptCursorTest, RewriteBeyondLimitIsRefused) {
  ScriptCursor c;
  std::string rest(990, 'x');
  c.SetLine("$M$" + rest);
  EXPECT_TRUE(c.ReplaceAtPosition(3, std::string(10, 'v')));  // 1000 exactly
  EXPECT_FALSE(c.RewriteOverflow());
  c.SetLine("$M$" + rest);
  EXPECT_FALSE(c.ReplaceAtPosition(3, std::string(11, 'v')));
  EXPECT_TRUE(c.RewriteOverflow());
  EXPECT_EQ(c.Line(), "$M$" + rest);
  c.SetLine("next");
  EXPECT_FALSE(c.RewriteOverflow());
}

TEST(ScriptCursorTest, LineIsCutAtCapacityAndAtNul) {
  ScriptCursor c;
  c.SetLine(std::string(3000, 'a'));
  EXPECT_EQ(c.Line().size(), ScriptCursor::kCapacity - 1);
  c.SetLine(std::string("ab\0cd", 5));
  EXPECT_EQ(c.Line(), "ab");
}

}  // namespace
}  // namespace install::script
