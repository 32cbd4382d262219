#include "tamblor/os/ascii_case.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

namespace tamblor::os {
namespace {

TEST(AsciiCaseTest, OnlyTheAsciiLettersChangeCase) {
  // The letters and their neighbours in the code table: '@' and '[' sit just
  // outside A-Z, '`' and '{' just outside a-z.
  EXPECT_EQ(ToUpperAscii('a'), 'A');
  EXPECT_EQ(ToUpperAscii('z'), 'Z');
  EXPECT_EQ(ToUpperAscii('`'), '`');
  EXPECT_EQ(ToUpperAscii('{'), '{');
  EXPECT_EQ(ToLowerAscii('A'), 'a');
  EXPECT_EQ(ToLowerAscii('Z'), 'z');
  EXPECT_EQ(ToLowerAscii('@'), '@');
  EXPECT_EQ(ToLowerAscii('['), '[');
  for (int c = 128; c < 256; ++c) {
    EXPECT_EQ(ToUpperAscii(static_cast<char>(c)), static_cast<char>(c)) << c;
    EXPECT_EQ(ToLowerAscii(static_cast<char>(c)), static_cast<char>(c)) << c;
  }
  EXPECT_EQ(UpperAscii("readme.txt \x84"), "README.TXT \x84");
  EXPECT_EQ(LowerAscii("SETUP.EXE \x8E"), "setup.exe \x8E");
}

TEST(AsciiCaseTest, AccentedLettersStayApartWhateverTheLocale) {
  // In a Latin-1 locale the C library pairs 0xE4 and 0xC4 (a and A with
  // umlaut); the browser's comparisons must not.
  const char* previous = std::setlocale(LC_CTYPE, nullptr);
  std::string saved = previous ? previous : "C";
  std::setlocale(LC_CTYPE, "de_DE.ISO-8859-1");
  EXPECT_FALSE(EqualsNoCase("\xE4", "\xC4"));
  EXPECT_FALSE(EqualsNoCase("\xE9t\xE9", "\xC9T\xC9"));
  EXPECT_TRUE(EqualsNoCase("\xE9t\xE9", "\xE9T\xE9"));
  std::setlocale(LC_CTYPE, saved.c_str());
}

TEST(AsciiCaseTest, ComparisonsAtTheirEdges) {
  EXPECT_TRUE(EqualsNoCase("", ""));
  EXPECT_TRUE(EqualsNoCase("Language", "LANGUAGE"));
  EXPECT_FALSE(EqualsNoCase("LANGUAGE", "LANGUAGES"));

  EXPECT_TRUE(StartsWithNoCase("languages German", "LANGUAGE"));
  EXPECT_TRUE(StartsWithNoCase("disc", "DISC"));  // the whole text
  EXPECT_FALSE(StartsWithNoCase("dis", "DISC"));  // one short
  EXPECT_TRUE(StartsWithNoCase("anything", ""));

  EXPECT_TRUE(EndsWithNoCase("E:\\A\\B.LZH", ".lzh"));
  EXPECT_TRUE(EndsWithNoCase(".zip", ".ZIP"));    // exactly the suffix
  EXPECT_FALSE(EndsWithNoCase("zip", ".zip"));    // shorter than the suffix
  EXPECT_FALSE(EndsWithNoCase("a.zipx", ".zip"));
}

TEST(AsciiCaseTest, OrderIgnoresCaseAndPutsPrefixesFirst) {
  EXPECT_TRUE(LessNoCase("apple", "Banana"));
  EXPECT_FALSE(LessNoCase("Banana", "apple"));
  EXPECT_FALSE(LessNoCase("README", "readme"));
  EXPECT_FALSE(LessNoCase("readme", "README"));
  EXPECT_TRUE(LessNoCase("READ", "readme"));
  EXPECT_FALSE(LessNoCase("readme", "READ"));
  // Bytes above 127 sort after the letters, not as negative chars before them.
  EXPECT_TRUE(LessNoCase("Z", "\x80"));
  // '_' (95) lies between the upper and the lower letters: compared as upper case.
  EXPECT_TRUE(LessNoCase("z", "_"));
}

}  // namespace
}  // namespace tamblor::os
