#include "tamblor/views/search_history.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tamblor::views {
namespace {

using Texts = std::vector<std::string>;

TEST(SearchHistoryTest, NewestFirstAtMostSevenWithoutRepeats) {
  SearchHistory history;
  for (const char* text : {"one", "two", "three", "four", "five", "six", "seven"}) EXPECT_TRUE(history.Add(text));
  EXPECT_EQ(history.entries(), (Texts{"seven", "six", "five", "four", "three", "two", "one"})) << "exactly seven stay";
  history.Add("eight");
  EXPECT_EQ(history.entries(), (Texts{"eight", "seven", "six", "five", "four", "three", "two"})) << "the oldest goes";
  history.Add("four");
  EXPECT_EQ(history.entries(), (Texts{"four", "eight", "seven", "six", "five", "three", "two"}))
      << "a known text moves to the top and nothing is dropped";
  history.Add("TWO");
  EXPECT_EQ(history.entries(), (Texts{"TWO", "four", "eight", "seven", "six", "five", "three"}))
      << "equal without regard to case: the old spelling goes";
}

TEST(SearchHistoryTest, EmptyAndLongTexts) {
  SearchHistory history;
  EXPECT_FALSE(history.Add(""));
  EXPECT_TRUE(history.entries().empty());
  history.Add(std::string(254, 'a'));
  history.Add(std::string(255, 'b'));
  ASSERT_EQ(history.entries().size(), 2u);
  EXPECT_EQ(history.entries()[0], std::string(254, 'b')) << "cut to what the box gives";
  EXPECT_EQ(history.entries()[1], std::string(254, 'a')) << "the longest text is kept whole";
  history.Add(std::string(300, 'B'));
  EXPECT_EQ(history.entries().size(), 2u) << "equal once cut";
}

}  // namespace
}  // namespace tamblor::views
