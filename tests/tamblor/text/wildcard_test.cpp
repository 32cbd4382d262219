#include "tamblor/text/wildcard.h"

#include <gtest/gtest.h>

namespace tamblor::text {
namespace {

TEST(WildcardTest, MatchesLikeTheBrowser) {
  struct Case {
    const char* pattern;
    const char* name;
    bool matches;
  } cases[] = {
      {"*.*", "anything", true},
      {"*.*", "", true},
      {"*.*", "NODOT", true},
      {"read.me", "READ.ME", true},           // exact, any case
      {"read.me", "read.me2", false},
      {"read.me", "xread.me", false},
      {"readme.*", "README.TXT", true},        // prefix test
      {"readme.*", "readme.", true},
      {"readme.*", "readme", false},
      {"readme.*", "readme2.txt", false},
      {"*.txt", "A.TXT", true},                // suffix test
      {"*.txt", ".txt", true},
      {"*.txt", "txt", false},                 // shorter than the suffix
      {"*.txt", "a.txt.bak", false},
      {"*32.dll", "GER32.DLL", true},
      {"*32.dll", "32.dll", true},
      {"*32.dll", "ger16.dll", false},
      {"*.doc", "notes.docx", false},
      {"*", "x", true},                        // an empty suffix
      {"*", "", true},
      {"", "", true},                          // equal
      {"", "x", false},
      {"x", "", false},
      {"*.t?t", "a.txt", false},               // "?" is an ordinary character
      {"*.t?t", "A.T?T", true},
      {"a*b", "axxb", false},                  // a star inside is an ordinary character
      {"a*b", "A*B", true},
      {"**", "x*", true},                      // suffix "*"
      {"**", "xy", false},
      {"setup*", "SETUP.EXE", true},
      {"setup*", "setu", false},
      {"*.*x", "a.*x", true},                  // not the match-all pattern
      {"*.*x", "a.bx", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MatchesWildcard(c.pattern, c.name), c.matches) << "'" << c.pattern << "' / '" << c.name << "'";
  }
}

}  // namespace
}  // namespace tamblor::text
