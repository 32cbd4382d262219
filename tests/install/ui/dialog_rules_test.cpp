#include "install/ui/dialog_rules.h"

#include <gtest/gtest.h>

namespace install::ui {
namespace {

TEST(DialogRulesTest, PromptSplitsOnceAtItsWidth) {
  EXPECT_EQ(SplitPrompt("Short one").first, "");
  EXPECT_EQ(SplitPrompt("Short one").second, "Short one");
  const std::string exactly45(45, 'a');
  EXPECT_EQ(SplitPrompt(exactly45).second, exactly45);
  EXPECT_EQ(SplitPrompt(exactly45).first, "");

  PromptLines at45 = SplitPrompt(std::string(45, 'a') + "   rest");
  EXPECT_EQ(at45.first, std::string(45, 'a'));
  EXPECT_EQ(at45.second, "rest");

  PromptLines words = SplitPrompt("Please enter the name of the directory where the files go");
  EXPECT_EQ(words.first, "Please enter the name of the directory where");
  EXPECT_EQ(words.second, "the files go");

  PromptLines hard = SplitPrompt(std::string(60, 'x'));
  EXPECT_EQ(hard.first.size(), 44u);
  EXPECT_EQ(hard.second.size(), 16u);
}

TEST(DialogRulesTest, APromptWhoseOnlySpaceLeadsIsSplitHardNotIntoAnEmptyLine) {
  const std::string prompt = " " + std::string(59, 'y');
  PromptLines lines = SplitPrompt(prompt);
  EXPECT_EQ(lines.first, prompt.substr(0, 44));
  EXPECT_EQ(lines.second, prompt.substr(44));
}

TEST(DialogRulesTest, AnswersLoseLeadingSeparatorsOnly) {
  EXPECT_EQ(TrimAnswer("  , (yes)"), "yes)");
  EXPECT_EQ(TrimAnswer("\t\r\nJoe Smith "), "Joe Smith ");
  EXPECT_EQ(TrimAnswer(" ,() "), "");
  EXPECT_EQ(TrimAnswer(std::string(600, 'z')).size(), kAnswerCapacity);
}

TEST(DialogRulesTest, GroupPagesOpenWithThePreselectionAndNeedOneCheck) {
  EXPECT_EQ(InitialGroupChecks({false, true, true}, false), (std::vector<bool>{false, true, true}));
  EXPECT_EQ(InitialGroupChecks({false, true, true}, true), (std::vector<bool>{false, true, false}));
  EXPECT_EQ(InitialGroupChecks({false, false}, true), (std::vector<bool>{false, false}));
  EXPECT_FALSE(AnyGroupChecked({false, false}));
  EXPECT_FALSE(AnyGroupChecked({}));
  EXPECT_TRUE(AnyGroupChecked({false, true}));
}

}  // namespace
}  // namespace install::ui
