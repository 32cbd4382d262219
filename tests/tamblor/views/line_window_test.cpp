#include "tamblor/views/line_window.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/tamblor/text/text_fixture.h"

namespace tamblor::views {
namespace {

class LineWindowTest : public ::testing::Test {
 protected:
  void Open(const std::string& content) {
    text::testing::WriteBytes(dir_ / "f.txt", content);
    file_.Open(dir_ / "f.txt");
  }
  std::string Row(int row) const { return lines_.Holds(row) ? std::string(lines_.Row(row).View()) : "<none>"; }

  text::testing::TempDir dir_;
  text::BlockFile file_;
  LineWindow lines_;
};

TEST_F(LineWindowTest, FillsRowsFromAPositionAndLeavesRowsAfterTheEndEmpty) {
  Open("one\r\ntwo\n\nfour\n");
  lines_.Resize(6, 512);
  lines_.FillFrom(file_, 0);
  EXPECT_EQ(Row(0), "one");
  EXPECT_EQ(Row(1), "two");
  EXPECT_EQ(Row(2), "");  // an empty line is a line
  EXPECT_TRUE(lines_.Holds(2));
  EXPECT_EQ(Row(3), "four");
  EXPECT_EQ(Row(4), "<none>");
  EXPECT_FALSE(lines_.HoldsLast());
  EXPECT_EQ(lines_.Widest(), 4);
  EXPECT_EQ(lines_.RowOf(0), 0);
  EXPECT_EQ(lines_.RowOf(4), 0);  // the line feed of "one\r\n" belongs to it
  EXPECT_EQ(lines_.RowOf(5), 1);
  EXPECT_EQ(lines_.RowOf(100), -1);

  lines_.FillFrom(file_, 5);  // from the second line
  EXPECT_EQ(lines_.Top(), 5);
  EXPECT_EQ(Row(0), "two");
  lines_.FillFrom(file_, 1000);  // past the end: where the file ends
  EXPECT_EQ(lines_.Top(), 15);
  EXPECT_FALSE(lines_.Holds(0));
}

TEST_F(LineWindowTest, ScrollsForwardWhileTheLastRowHoldsALineAndBackToTheStart) {
  Open("a\nb\nc\nd\ne\n");
  lines_.Resize(3, 512);
  lines_.FillFrom(file_, 0);
  ASSERT_TRUE(lines_.HoldsLast());
  EXPECT_TRUE(lines_.ScrollForward(file_));
  EXPECT_EQ(Row(0), "b");
  EXPECT_EQ(Row(2), "d");
  EXPECT_EQ(lines_.Top(), 2);
  EXPECT_TRUE(lines_.ScrollForward(file_));
  EXPECT_TRUE(lines_.ScrollForward(file_));  // "d", "e" and an empty row
  EXPECT_EQ(Row(1), "e");
  EXPECT_FALSE(lines_.HoldsLast());
  EXPECT_FALSE(lines_.ScrollForward(file_)) << "the last row is empty: no further";
  EXPECT_EQ(Row(0), "d");

  EXPECT_TRUE(lines_.ScrollBack(file_));
  EXPECT_EQ(Row(0), "c");
  EXPECT_EQ(Row(2), "e");
  EXPECT_TRUE(lines_.ScrollBack(file_));
  EXPECT_TRUE(lines_.ScrollBack(file_));
  EXPECT_EQ(Row(0), "a");
  EXPECT_EQ(lines_.Top(), 0);
  EXPECT_FALSE(lines_.ScrollBack(file_)) << "at the start of the file";
}

TEST_F(LineWindowTest, ALineLongerThanTheLimitContinuesOnTheNextRow) {
  // 10 characters at a limit of 4: rows of 4, 4 and 2, forwards and backwards.
  Open("0123456789\nxy\n");
  lines_.Resize(5, 4);
  lines_.FillFrom(file_, 0);
  EXPECT_EQ(Row(0), "0123");
  EXPECT_EQ(Row(1), "4567");
  EXPECT_EQ(Row(2), "89");
  EXPECT_EQ(Row(3), "xy");
  lines_.FillFrom(file_, 11);
  ASSERT_TRUE(lines_.ScrollBack(file_));
  EXPECT_EQ(Row(0), "89");
  ASSERT_TRUE(lines_.ScrollBack(file_));
  EXPECT_EQ(Row(0), "4567");

  // A line of exactly the limit: its line feed is the next (empty) row.
  Open("abcd\nef\n");
  lines_.FillFrom(file_, 0);
  EXPECT_EQ(Row(0), "abcd");
  EXPECT_EQ(Row(1), "");
  EXPECT_EQ(Row(2), "ef");
  // One character less: no empty row.
  Open("abc\nef\n");
  lines_.FillFrom(file_, 0);
  EXPECT_EQ(Row(0), "abc");
  EXPECT_EQ(Row(1), "ef");
}

TEST_F(LineWindowTest, ResizingEmptiesTheRowsAndKeepsAtLeastOne) {
  Open("a\nb\n");
  lines_.FillFrom(file_, 0);
  EXPECT_EQ(lines_.Rows(), LineWindow::kInitialRows);
  lines_.Resize(0, 0);
  EXPECT_EQ(lines_.Rows(), 1);
  EXPECT_EQ(lines_.Limit(), 1);
  EXPECT_FALSE(lines_.Holds(0));
  lines_.FillFrom(file_, 0);
  EXPECT_EQ(Row(0), "a");
  EXPECT_TRUE(lines_.HoldsLast());  // with one row the first row is the last
}

TEST_F(LineWindowTest, AFileThatShrankStopsTheRowsInsteadOfLooping) {
  std::string content;
  for (int i = 0; i < 300; ++i) content += std::string(99, 'x') + "\n";  // 30 000 bytes
  Open(content);
  lines_.Resize(4, 512);
  text::testing::WriteBytes(dir_ / "f.txt", content.substr(0, 5000));  // cut while open
  lines_.FillFrom(file_, 20000);
  EXPECT_FALSE(lines_.Holds(0)) << "nothing is left there";
  int steps = 0;
  while (steps < 1000 && lines_.ScrollBack(file_)) ++steps;
  EXPECT_LT(steps, 1000) << "scrolling back ends at the start of what is left";
  EXPECT_EQ(lines_.Top(), 0);
}

}  // namespace
}  // namespace tamblor::views
