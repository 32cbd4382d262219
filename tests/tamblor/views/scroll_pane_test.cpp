#include "tamblor/views/scroll_pane.h"

#include <gtest/gtest.h>

#include <string>

#include "tamblor/lang/resource_names.h"
#include "tests/tamblor/views/pane_fixture.h"

namespace tamblor::testing {
namespace {

using views::DisplayMode;
using views::ScrollPane;

constexpr DisplayMode kText = DisplayMode::PlainText;
constexpr DisplayMode kIndex = DisplayMode::IndexEntries;

// Lines of exactly `width` bytes with their line feed.
std::string FixedLines(int count, int width) {
  std::string text;
  for (int i = 0; i < count; ++i) text += std::string(static_cast<size_t>(width - 1), 'x') + "\n";
  return text;
}

// --- Rows, the top position and scrolling -------------------------------------

class ScrollPaneTest : public PaneFixture {};

TEST_F(ScrollPaneTest, RowsComeFromTheTopPositionAndTheEndFillsBackwards) {
  const std::string content = NumberedLines(30);
  Show("a.txt", content, kText);
  EXPECT_EQ(pane_.rows(), 10);
  EXPECT_EQ(pane_.columns(), 80);
  EXPECT_EQ(Row(0), "line 0");
  EXPECT_EQ(Row(9), "line 9");
  EXPECT_EQ(pane_.TopPosition(), 0);
  EXPECT_EQ(pane_.LastPageTop(), StartOfLine(content, 21));

  // Near the end the window would show empty rows: earlier lines come down
  // until the second-to-last row holds the last line.
  pane_.SetTop(StartOfLine(content, 28));
  EXPECT_EQ(pane_.TopPosition(), StartOfLine(content, 21));
  EXPECT_EQ(Row(8), "line 29");
  EXPECT_FALSE(pane_.RowHoldsLine(9));
  pane_.SetTop(static_cast<int64_t>(content.size()) + 50);
  EXPECT_EQ(pane_.TopPosition(), StartOfLine(content, 21));
  // One line earlier than the last page needs no back-fill.
  pane_.SetTop(StartOfLine(content, 20));
  EXPECT_EQ(pane_.TopPosition(), StartOfLine(content, 20));
}

TEST_F(ScrollPaneTest, AFileShorterThanTheWindowDoesNotScroll) {
  const std::string content = NumberedLines(3);
  Show("short.txt", content, kText);
  EXPECT_FALSE(window_.vertical.enabled);
  pane_.SetTop(StartOfLine(content, 2));
  EXPECT_EQ(pane_.TopPosition(), 0) << "the back-fill reaches the start";
  EXPECT_TRUE(pane_.Key(views::kKeyPageDown));
  EXPECT_EQ(pane_.TopPosition(), 0);
  EXPECT_EQ(window_.scrolled, 0);
}

TEST_F(ScrollPaneTest, ScrollingMovesByLinesAndPagesAsFarAsTheFileGoes) {
  const std::string content = NumberedLines(30);
  Show("a.txt", content, kText);
  EXPECT_EQ(pane_.ScrollLines(3), 3);
  EXPECT_EQ(Row(0), "line 3");
  EXPECT_EQ(window_.scrolled, -3) << "the content moves up";

  pane_.VerticalRequest(views::kScrollPageOn, 0);  // rows - 1 lines
  EXPECT_EQ(Row(0), "line 12");
  pane_.VerticalRequest(views::kScrollPageOn, 0);
  EXPECT_EQ(Row(0), "line 21");
  EXPECT_FALSE(pane_.RowHoldsLine(9));
  pane_.VerticalRequest(views::kScrollPageOn, 0);  // the last row is empty: no further
  EXPECT_EQ(Row(0), "line 21");

  pane_.VerticalRequest(views::kScrollPageBack, 0);
  EXPECT_EQ(Row(0), "line 12");
  EXPECT_EQ(pane_.ScrollLines(-100), 12);
  EXPECT_EQ(pane_.TopPosition(), 0);
  EXPECT_EQ(pane_.ScrollLines(-1), 0);

  // In plain text the cursor keys scroll.
  pane_.Key(views::kKeyDown);
  EXPECT_EQ(Row(0), "line 1");
  pane_.Key(views::kKeyEnd);
  EXPECT_EQ(pane_.TopPosition(), pane_.LastPageTop());
  pane_.Key(views::kKeyUp);
  EXPECT_EQ(Row(0), "line 20");
  pane_.Key(views::kKeyHome);
  EXPECT_EQ(pane_.TopPosition(), 0);
  EXPECT_FALSE(pane_.Key(0x41)) << "other keys go to default processing";
}

// --- Scroll bars -----------------------------------------------------------------

TEST_F(ScrollPaneTest, TheVerticalRangeComesFromBytePositionsWithinItsBounds) {
  struct {
    int lines;  // of 80 bytes, in a pane of 10 rows and 80 columns
    int range;
  } cases[] = {
      {14, 5},      // 14 - 10 = 4: below 6 becomes 5
      {15, 5},      // exactly 5
      {16, 6},      // 6 is kept
      {10009, 9999},
      {10010, 10000},  // 10000 is the largest range
      {10011, 10000},
  };
  for (const auto& c : cases) {
    Show("r.txt", FixedLines(c.lines, 80), kText);
    EXPECT_EQ(pane_.vertical_range(), c.range) << c.lines;
    EXPECT_TRUE(window_.vertical.enabled);
    EXPECT_EQ(window_.vertical.range, c.range);
  }
}

TEST_F(ScrollPaneTest, TheThumbFollowsTheTopAndTrackingMovesTheTop) {
  const std::string content = FixedLines(2000, 40);  // 80 000 bytes: range 1000 - 10 = 990
  Show("t.txt", content, kText);
  ASSERT_EQ(pane_.vertical_range(), 990);
  EXPECT_EQ(window_.vertical.position, 0);
  pane_.Key(views::kKeyEnd);
  EXPECT_EQ(window_.vertical.position, 990) << "the last page puts the thumb at the end";

  pane_.VerticalRequest(views::kScrollThumbTrack, 0);
  EXPECT_EQ(pane_.TopPosition(), 0);
  pane_.VerticalRequest(views::kScrollThumbTrack, 990);
  EXPECT_EQ(pane_.TopPosition(), pane_.LastPageTop());
  // Half way: the position is scaled back and snapped to a line start.
  pane_.VerticalRequest(views::kScrollThumbTrack, 495);
  int64_t expected = 495 * pane_.LastPageTop() / 990 / 40 * 40;
  EXPECT_EQ(pane_.TopPosition(), expected);
  EXPECT_EQ(pane_.TopPosition() % 40, 0);
  // The final thumb position is not acted on: only tracking moves the text.
  pane_.VerticalRequest(views::kScrollThumbPosition, 10);
  EXPECT_EQ(pane_.TopPosition(), expected);
}

TEST_F(ScrollPaneTest, TheHorizontalRangeFollowsTheWidestVisibleLine) {
  std::string wide(100, 'w');
  Show("h.txt", "short\n" + wide + "\nshort\n", kText);
  EXPECT_TRUE(window_.horizontal.enabled);
  EXPECT_EQ(pane_.horizontal_range(), 100 - 80 + 3);
  pane_.Key(views::kKeyRight);
  pane_.Key(views::kKeyRight);
  pane_.Character(6);  // Ctrl+F acts as Right
  EXPECT_EQ(pane_.horizontal_offset(), 3);
  EXPECT_EQ(pane_.PaintRow(1).text_column, -2) << "column 0 is the margin";
  pane_.Character(2);  // Ctrl+B acts as Left
  EXPECT_EQ(pane_.horizontal_offset(), 2);
  pane_.HorizontalRequest(views::kScrollPageOn, 0);
  EXPECT_EQ(pane_.horizontal_offset(), 23) << "kept within the range";
  pane_.HorizontalRequest(views::kScrollThumbTrack, 10);
  EXPECT_EQ(pane_.horizontal_offset(), 10);
  pane_.HorizontalRequest(views::kScrollPageBack, 0);
  EXPECT_EQ(pane_.horizontal_offset(), 0);
  pane_.Key(views::kKeyLeft);
  EXPECT_EQ(pane_.horizontal_offset(), 0);

  // Lines of 77 characters fit 80 columns; one more needs the bar.
  Show("h77.txt", std::string(77, 'a') + "\n", kText);
  EXPECT_FALSE(window_.horizontal.enabled);
  Show("h78.txt", std::string(78, 'a') + "\n", kText);
  EXPECT_TRUE(window_.horizontal.enabled);
  EXPECT_EQ(window_.horizontal.range, 1);
}

TEST_F(ScrollPaneTest, TheHorizontalOffsetReturnsWhenTheWideLineScrollsAway) {
  Show("w.txt", std::string(120, 'w') + "\n" + NumberedLines(40), kText);
  pane_.HorizontalRequest(views::kScrollThumbTrack, 7);
  ASSERT_EQ(pane_.horizontal_offset(), 7);
  pane_.ScrollLines(1);
  EXPECT_FALSE(window_.horizontal.enabled);
  EXPECT_EQ(pane_.horizontal_offset(), 0);
}

// --- Line wrap -------------------------------------------------------------------

TEST_F(ScrollPaneTest, WrapBreaksLinesAtTheColumnsLessThreeAndWithoutWrapAt512) {
  Show("wrap.txt", std::string(200, 'a') + "\nnext\n", kText, 10, 80, true);
  EXPECT_EQ(Row(0).size(), 77u);
  EXPECT_EQ(Row(1).size(), 77u);
  EXPECT_EQ(Row(2).size(), 46u);
  EXPECT_EQ(Row(3), "next");
  EXPECT_FALSE(window_.horizontal.enabled);

  pane_.SetWrap(false);
  EXPECT_FALSE(document_.wrap);
  EXPECT_EQ(Row(0).size(), 200u);
  EXPECT_EQ(Row(1), "next");
  EXPECT_TRUE(window_.horizontal.enabled);

  Show("long.txt", std::string(2000, 'b') + "\n", kText);
  EXPECT_EQ(Row(0).size(), 512u);
  EXPECT_EQ(Row(1).size(), 512u);
  EXPECT_EQ(Row(2).size(), 512u);
  EXPECT_EQ(Row(3).size(), 464u);
}

TEST_F(ScrollPaneTest, SwitchingWrapKeepsTheTopPosition) {
  const std::string content = NumberedLines(50);
  Show("k.txt", content, kText);
  pane_.ScrollLines(17);
  pane_.SetWrap(true);
  EXPECT_TRUE(document_.wrap);
  EXPECT_EQ(Row(0), "line 17");
  pane_.SetWrap(false);
  EXPECT_EQ(Row(0), "line 17");
}

// --- Index selection --------------------------------------------------------------

const char kIndexText[] =
    "==== Heading ====\n"
    "README.TXT  About\n"
    "            more\n"
    "            more 2\n"
    "UTILS       Tools\n"
    "| box\n"
    "SETUP.EXE   Setup\n";

int64_t At(const std::string& text, const std::string& what) { return static_cast<int64_t>(text.find(what)); }

TEST_F(ScrollPaneTest, AnIndexSelectsWholeEntriesAndTheKeysMoveFromEntryToEntry) {
  const std::string index = kIndexText;
  Show("00_index.txt", index, kIndex);
  EXPECT_EQ(pane_.selection_start(), 0) << "the first entry is selected at attach";
  EXPECT_EQ(pane_.selection_end(), At(index, "README") - 1);

  // A click on the second line of a three-line entry selects all three.
  pane_.MouseDown(X(3), Y(2), false);
  pane_.MouseUp();
  EXPECT_EQ(pane_.selection_start(), At(index, "README"));
  EXPECT_EQ(pane_.selection_end(), At(index, "UTILS") - 1);
  EXPECT_EQ(document_.selection_start, pane_.selection_start());
  EXPECT_TRUE(window_.commands.empty()) << "a single click opens nothing";

  pane_.Key(views::kKeyDown);
  EXPECT_EQ(pane_.selection_start(), At(index, "UTILS"));
  EXPECT_EQ(pane_.selection_end(), At(index, "SETUP") - 1) << "the box line belongs to UTILS";
  pane_.Character('n');
  EXPECT_EQ(pane_.selection_start(), At(index, "SETUP"));
  EXPECT_EQ(pane_.selection_end(), static_cast<int64_t>(index.size()) - 1);
  pane_.Character(14);  // Ctrl+N: at the last entry it stays
  EXPECT_EQ(pane_.selection_start(), At(index, "SETUP"));
  pane_.Character('P');
  EXPECT_EQ(pane_.selection_start(), At(index, "UTILS"));
  pane_.Character(16);  // Ctrl+P
  pane_.Key(views::kKeyUp);
  EXPECT_EQ(pane_.selection_start(), 0);
  pane_.Key(views::kKeyUp);
  EXPECT_EQ(pane_.selection_start(), 0) << "kept within the file";
}

TEST_F(ScrollPaneTest, AChangedSelectionRepaintsTheRowsOfTheOldAndTheNewEntry) {
  Show("00_index.txt", kIndexText, kIndex);
  window_.invalidated.clear();
  pane_.Key(views::kKeyDown);
  ASSERT_EQ(window_.invalidated.size(), 2u);
  EXPECT_EQ(window_.invalidated[0], std::make_pair(0, 0));
  EXPECT_EQ(window_.invalidated[1], std::make_pair(1, 3));
  window_.invalidated.clear();
  EXPECT_FALSE(pane_.Select(pane_.selection_start() + 5, -1, true)) << "the same entry: nothing changes";
  EXPECT_TRUE(window_.invalidated.empty());
}

TEST_F(ScrollPaneTest, AnEmptyIndexHasNoSelection) {
  Show("00_index.txt", "", kIndex);
  EXPECT_EQ(pane_.selection_start(), -1);
  EXPECT_TRUE(pane_.Key(views::kKeyDown));
  EXPECT_EQ(pane_.selection_start(), -1);
  EXPECT_FALSE(window_.vertical.enabled);
}

TEST_F(ScrollPaneTest, PagingInAnIndexKeepsTheSelectionInTheWindow) {
  const std::string index = NumberedLines(100, "ENTRY");
  Show("00_index.txt", index, kIndex);
  auto selection_shown = [this] {
    int row = pane_.RowOf(pane_.selection_end());
    return pane_.selection_start() >= pane_.TopPosition() && row >= 0 && row <= pane_.rows() - 2;
  };
  pane_.Key(views::kKeyPageDown);
  EXPECT_EQ(pane_.selection_start(), StartOfLine(index, 9));
  EXPECT_EQ(Row(0), "ENTRY9");
  for (int i = 0; i < 15; ++i) {
    pane_.Key(views::kKeyPageDown);
    EXPECT_TRUE(selection_shown()) << "page down " << i;
  }
  EXPECT_EQ(pane_.selection_start(), StartOfLine(index, 99));
  for (int i = 0; i < 15; ++i) {
    pane_.Key(views::kKeyPageUp);
    EXPECT_TRUE(selection_shown()) << "page up " << i;
  }
  EXPECT_EQ(pane_.selection_start(), 0);
  EXPECT_EQ(pane_.TopPosition(), 0);

  pane_.Key(views::kKeyEnd);
  EXPECT_EQ(pane_.selection_start(), StartOfLine(index, 99));
  EXPECT_TRUE(selection_shown());
  pane_.Key(views::kKeyHome);
  EXPECT_EQ(pane_.selection_start(), 0);
  EXPECT_EQ(pane_.TopPosition(), 0);
  // Down from the last full row scrolls one line to keep the selection shown.
  for (int i = 0; i < 9; ++i) pane_.Key(views::kKeyDown);
  EXPECT_EQ(pane_.selection_start(), StartOfLine(index, 9));
  EXPECT_EQ(Row(0), "ENTRY1");
  EXPECT_TRUE(selection_shown());
}

TEST_F(ScrollPaneTest, AnEntryTallerThanTheWindowKeepsItsStartInView) {
  std::string index = "FIRST entry\n";
  for (int i = 0; i < 30; ++i) index += "    description line\n";
  index += "LAST entry\n";
  Show("00_index.txt", index, kIndex);
  pane_.Key(views::kKeyDown);
  EXPECT_EQ(pane_.selection_start(), At(index, "LAST"));
  pane_.Key(views::kKeyUp);
  EXPECT_EQ(pane_.selection_start(), 0);
  EXPECT_EQ(pane_.TopPosition(), 0);
}

// --- Characters, mouse -------------------------------------------------------------

TEST(PaneKeysTest, CharactersStandForKeysAndCommands) {
  using views::CharacterAction;
  using views::PaneAction;
  EXPECT_EQ(CharacterAction(2), PaneAction::Left);
  EXPECT_EQ(CharacterAction(6), PaneAction::Right);
  for (unsigned c : {14u, unsigned('N'), unsigned('n')}) EXPECT_EQ(CharacterAction(c), PaneAction::Down) << c;
  for (unsigned c : {16u, unsigned('P'), unsigned('p')}) EXPECT_EQ(CharacterAction(c), PaneAction::Up) << c;
  EXPECT_EQ(CharacterAction(22), PaneAction::PageDown);
  EXPECT_EQ(CharacterAction(13), PaneAction::Select);
  EXPECT_EQ(CharacterAction(10), PaneAction::Select);
  EXPECT_EQ(CharacterAction(27), PaneAction::Back);
  for (unsigned c : {1u, 3u, 15u, 17u, 21u, 23u, unsigned('o'), unsigned('q'), unsigned('M')})
    EXPECT_EQ(CharacterAction(c), PaneAction::PassOn) << c;
}

TEST_F(ScrollPaneTest, EnterAndEscapeBecomeCommandsAndOtherCharactersGoOn) {
  Show("00_index.txt", kIndexText, kIndex);
  pane_.Character(13);
  pane_.Character(10);
  pane_.Character(27);
  pane_.Character('x');
  EXPECT_EQ(window_.commands, (std::vector<int>{lang::kCmdSelect, lang::kCmdSelect, lang::kCmdBack}));
  EXPECT_EQ(window_.passed, (std::vector<unsigned>{'x'}));
  pane_.Character(22);  // Ctrl+V: page down
  EXPECT_EQ(pane_.selection_start(), At(kIndexText, "SETUP"));
}

TEST_F(ScrollPaneTest, HitTestingMapsPointsToBytePositions) {
  const std::string content = "abc\nlonger line here\n" + NumberedLines(20);
  Show("m.txt", content, kText);
  const int64_t second = 4;
  EXPECT_EQ(pane_.HitTest(X(5), -3), 0) << "above the rows: the top";
  EXPECT_EQ(pane_.HitTest(0, Y(1)), second) << "the margin: the line start";
  EXPECT_EQ(pane_.HitTest(X(1), Y(1)), second);
  EXPECT_EQ(pane_.HitTest(X(3), Y(1)), second + 2);
  EXPECT_EQ(pane_.HitTest(X(16), Y(1)), second + 15) << "the last character";
  EXPECT_EQ(pane_.HitTest(X(17), Y(1)), second + 17) << "right of the text, plain: past the line end";
  // Row 9 is the partial last row: below the last full row is the end of row 8's line.
  EXPECT_EQ(pane_.HitTest(X(1), Y(9)), StartOfLine(content, 9) - 1);
  EXPECT_EQ(pane_.HitTest(X(1), Y(8)), StartOfLine(content, 8));

  Show("wide.txt", std::string(100, 'q') + "\n", kText);
  pane_.HorizontalRequest(views::kScrollThumbTrack, 5);
  ASSERT_EQ(pane_.horizontal_offset(), 5);
  EXPECT_EQ(pane_.HitTest(0, Y(0)), 4) << "the margin with an offset";
  EXPECT_EQ(pane_.HitTest(X(1), Y(0)), 5);

  Show("00_index.txt", kIndexText, kIndex);
  EXPECT_EQ(pane_.HitTest(X(60), Y(0)), At(kIndexText, "README") - 1) << "right of the text, index: the line end";
  EXPECT_EQ(pane_.HitTest(X(1), Y(8)), static_cast<int64_t>(std::string(kIndexText).size()) - 1)
      << "an empty row: the last byte of the file";
}

TEST_F(ScrollPaneTest, DraggingInPlainTextSelectsFromTheAnchorToThePointer) {
  const std::string content = "first line\nsecond line\n" + NumberedLines(30);
  Show("d.txt", content, kText);
  pane_.MouseDown(X(3), Y(0), false);  // byte 2
  EXPECT_EQ(pane_.selection_start(), -1) << "a press clears the selection";
  EXPECT_FALSE(pane_.MouseMove(X(3), Y(1)));  // byte 11 + 2
  EXPECT_EQ(pane_.selection_start(), 2);
  EXPECT_EQ(pane_.selection_end(), 12);
  pane_.MouseMove(X(1), Y(0));  // backwards from the anchor
  EXPECT_EQ(pane_.selection_start(), 0);
  EXPECT_EQ(pane_.selection_end(), 1);
  pane_.MouseMove(X(3), Y(0));  // back on the anchor: nothing
  EXPECT_EQ(pane_.selection_start(), -1);
  pane_.MouseUp();
  EXPECT_FALSE(pane_.MouseMove(X(5), Y(1))) << "without the button nothing is selected";
  EXPECT_EQ(pane_.selection_start(), -1);
  EXPECT_TRUE(window_.commands.empty());
}

TEST_F(ScrollPaneTest, APointerOutsideTheWindowScrollsTowardsIt) {
  const std::string content = NumberedLines(40);
  Show("o.txt", content, kText);
  pane_.ScrollLines(5);
  pane_.MouseDown(X(2), Y(2), false);
  EXPECT_TRUE(pane_.MouseMove(X(2), -10));
  pane_.MouseTimer();
  EXPECT_EQ(Row(0), "line 4");
  EXPECT_EQ(pane_.selection_start(), StartOfLine(content, 4)) << "the selection reaches the new top";
  EXPECT_EQ(pane_.selection_end(), StartOfLine(content, 7) - 1 + 1);
  EXPECT_TRUE(pane_.MouseMove(X(2), Y(12)));
  pane_.MouseTimer();
  EXPECT_EQ(Row(0), "line 5");
  pane_.MouseUp();
  pane_.MouseTimer();  // the button is up: nothing more
  EXPECT_EQ(Row(0), "line 5");
}

TEST_F(ScrollPaneTest, ADoubleClickInAnIndexOpensTheEntryOnRelease) {
  Show("00_index.txt", kIndexText, kIndex);
  pane_.MouseDown(X(2), Y(4), true);
  EXPECT_EQ(pane_.selection_start(), At(kIndexText, "UTILS"));
  EXPECT_TRUE(window_.commands.empty());
  pane_.MouseUp();
  EXPECT_EQ(window_.commands, (std::vector<int>{lang::kCmdSelect}));
  pane_.MouseUp();  // a second release opens nothing more
  EXPECT_EQ(window_.commands.size(), 1u);

  Show("t.txt", "plain text\n", kText);
  window_.commands.clear();
  pane_.MouseDown(X(2), Y(0), true);
  pane_.MouseUp();
  EXPECT_TRUE(window_.commands.empty()) << "plain text opens nothing";
}

// --- Word search -----------------------------------------------------------------

TEST_F(ScrollPaneTest, WordSearchFindsForwardsAndBackwardsAndSaysWhenThereIsNoMore) {
  const std::string content = "first line\nsecond SETUP line\nsesetup here\nend\n";
  Show("s.txt", content, kText);
  const int64_t first = At(content, "SETUP");
  const int64_t second = At(content, "sesetup") + 2;  // the search starts over inside a repeated prefix
  pane_.WordSearch("setup", true);
  EXPECT_EQ(pane_.selection_start(), first);
  EXPECT_EQ(pane_.selection_end(), first + 4);
  pane_.WordSearch("setup", true);
  EXPECT_EQ(pane_.selection_start(), second);
  pane_.WordSearch("setup", true);
  EXPECT_EQ(window_.not_found, 1);
  EXPECT_EQ(pane_.selection_start(), second) << "the selection stays";
  pane_.WordSearch("Setup", false);
  EXPECT_EQ(pane_.selection_start(), first);
  pane_.WordSearch("setup", false);
  EXPECT_EQ(window_.not_found, 2) << "no occurrence before the first";
  pane_.WordSearch("", true);
  EXPECT_EQ(window_.not_found, 2) << "an empty text does nothing";
  EXPECT_EQ(window_.waits, 0) << "every wait cursor ended";
}

TEST_F(ScrollPaneTest, WordSearchWithoutASelectionStartsFromTheWindow) {
  const std::string content = NumberedLines(60);
  Show("w.txt", content, kText);
  pane_.ScrollLines(20);
  pane_.WordSearch("line 3", true);
  EXPECT_EQ(pane_.selection_start(), At(content, "line 30")) << "forwards from the first visible line";
  pane_.Select(-1, -1, false);
  pane_.WordSearch("line 1", false);
  // Backwards from the end of the last full row ("line 28"): "line 19" is the first to begin with "line 1".
  EXPECT_EQ(pane_.selection_start(), At(content, "line 19"));
}

TEST_F(ScrollPaneTest, AFoundWordFarBelowIsBroughtIntoTheWindow) {
  std::string content = NumberedLines(1000);
  content += "the needle\n";
  content += NumberedLines(1000, "more ");
  Show("far.txt", content, kText);
  window_.vertical_positions.clear();
  pane_.WordSearch("needle", true);
  int row = pane_.RowOf(pane_.selection_start());
  EXPECT_GE(row, 0);
  EXPECT_LE(row, pane_.rows() - 2);
  EXPECT_EQ(pane_.RowOf(pane_.selection_end()), row);
  EXPECT_EQ(Row(row), "the needle");
  EXPECT_EQ(Row(row + 1), "more 0") << "the found line comes near the bottom";
  EXPECT_GT(window_.vertical_positions.size(), 2u) << "the thumb glides";
  EXPECT_LE(window_.vertical_positions.size(), static_cast<size_t>(ScrollPane::kGlideSteps) + 2);

  pane_.Key(views::kKeyHome);  // the window moves, the selection stays
  pane_.WordSearch("more 5", true);
  EXPECT_EQ(window_.not_found, 0);
  EXPECT_EQ(Row(pane_.RowOf(pane_.selection_start())), "more 5");
}

TEST_F(ScrollPaneTest, InAnIndexTheFoundTextIsSelectedExactlyUntilItIsSnapped) {
  Show("00_index.txt", kIndexText, kIndex);
  pane_.WordSearch("tools", true);
  EXPECT_EQ(pane_.selection_start(), At(kIndexText, "Tools"));
  EXPECT_EQ(pane_.selection_end(), At(kIndexText, "Tools") + 4);
  pane_.SnapSelection();
  EXPECT_EQ(pane_.selection_start(), At(kIndexText, "UTILS"));
  EXPECT_EQ(pane_.selection_end(), At(kIndexText, "SETUP") - 1);
}

// --- Attach and detach -------------------------------------------------------------

TEST_F(ScrollPaneTest, DetachKeepsTheTopAndSelectionForTheNextAttach) {
  const std::string index = NumberedLines(50, "ENTRY");
  Show("00_index.txt", index, kIndex);
  pane_.ScrollLines(12);
  pane_.MouseDown(X(2), Y(3), false);
  pane_.MouseUp();
  int64_t selected = pane_.selection_start();
  EXPECT_EQ(selected, StartOfLine(index, 15));
  EXPECT_EQ(pane_.Detach(), &document_);
  EXPECT_EQ(document_.top, StartOfLine(index, 12));
  EXPECT_EQ(document_.selection_start, selected);
  EXPECT_EQ(pane_.document(), nullptr);
  EXPECT_FALSE(window_.vertical.enabled);
  EXPECT_EQ(pane_.Detach(), nullptr);

  pane_.Attach(&document_);
  EXPECT_EQ(Row(0), "ENTRY12");
  EXPECT_EQ(pane_.selection_start(), selected);

  // A kept position inside an entry snaps to the entry.
  pane_.Detach();
  document_.selection_start = document_.selection_end = StartOfLine(index, 20) + 3;
  pane_.Attach(&document_);
  EXPECT_EQ(pane_.selection_start(), StartOfLine(index, 20));

  // Plain text keeps its selection exactly.
  views::ViewDocument text;
  text::testing::WriteBytes(dir_ / "p.txt", "some plain text\n");
  text.path = "E:\\p.txt";
  text.mode = kText;
  text.selection_start = 5;
  text.selection_end = 9;
  pane_.Detach();
  pane_.Attach(&text);
  EXPECT_EQ(pane_.selection_start(), 5);
  EXPECT_EQ(pane_.selection_end(), 9);
  EXPECT_EQ(window_.waits, 0);
}

TEST_F(ScrollPaneTest, WithoutADocumentThePaneDoesNothing) {
  pane_.Resize(400, 300);
  EXPECT_FALSE(pane_.Key(views::kKeyDown));
  pane_.Character(13);
  pane_.MouseDown(1, 1, true);
  pane_.MouseUp();
  pane_.WordSearch("x", true);
  EXPECT_TRUE(window_.commands.empty());
  EXPECT_EQ(window_.not_found, 0);
  EXPECT_FALSE(pane_.PaintRow(0).has_line);
}

// --- Painting ------------------------------------------------------------------------

TEST_F(ScrollPaneTest, TheHighlightCoversTheSelectedColumns) {
  Show("00_index.txt", kIndexText, kIndex);
  pane_.Key(views::kKeyDown);  // README: three lines
  ScrollPane::RowPaint heading = pane_.PaintRow(0);
  EXPECT_TRUE(heading.has_line);
  EXPECT_FALSE(heading.highlighted);
  EXPECT_EQ(heading.text, "==== Heading ====");
  EXPECT_EQ(heading.text_column, 1);
  ScrollPane::RowPaint top = pane_.PaintRow(1);
  EXPECT_TRUE(top.highlighted);
  EXPECT_EQ(top.highlight_from, 1);
  EXPECT_EQ(top.highlight_to, 78 + 1) << "lines before the end reach the wider of the text and columns - 2";
  ScrollPane::RowPaint last = pane_.PaintRow(3);
  EXPECT_TRUE(last.highlighted);
  EXPECT_EQ(last.highlight_to, 18 + 1 + 1) << "the last line: up to the column after the selection's end";
  EXPECT_FALSE(pane_.PaintRow(4).highlighted);

  Show("p.txt", "0123456789\n", kText);
  pane_.Select(3, 5, false);
  ScrollPane::RowPaint word = pane_.PaintRow(0);
  EXPECT_EQ(word.highlight_from, 4);
  EXPECT_EQ(word.highlight_to, 7);
}

// --- Files longer than any line table ------------------------------------------------

TEST_F(ScrollPaneTest, ALongIndexIsShownWholeWithoutReadingItWhole) {
  const int kEntries = 30000;  // more than the 20 000 lines a line table once held
  std::string index;
  for (int i = 0; i < kEntries; ++i) index += "ENTRY" + std::to_string(i) + "   description of this entry\r\n";
  Show("00_index.txt", index, kIndex);
  ASSERT_GT(index.size(), 30u * 8192);
  EXPECT_LE(pane_.BlockReads(), 6) << "attaching reads the first and the last blocks, not the file";
  EXPECT_EQ(pane_.vertical_range(), 10000);

  pane_.Key(views::kKeyEnd);
  EXPECT_EQ(pane_.selection_start(), StartOfLine(index, kEntries - 1));
  int row = pane_.RowOf(pane_.selection_start());
  ASSERT_GE(row, 0);
  EXPECT_EQ(Row(row).substr(0, 10), "ENTRY29999");
  EXPECT_EQ(window_.vertical.position, 10000);
  pane_.Key(views::kKeyUp);
  EXPECT_EQ(Row(pane_.RowOf(pane_.selection_start())).substr(0, 10), "ENTRY29998");
  pane_.Key(views::kKeyPageUp);
  EXPECT_EQ(Row(pane_.RowOf(pane_.selection_start())).substr(0, 10), "ENTRY29989");

  // Half way along the thumb is half way through the bytes (the longer
  // numbers make that a little past the middle line), at a line start.
  pane_.VerticalRequest(views::kScrollThumbTrack, 5000);
  int64_t middle = pane_.LastPageTop() / 2;
  EXPECT_EQ(pane_.TopPosition(), static_cast<int64_t>(index.rfind('\n', static_cast<size_t>(middle) - 1) + 1));
  EXPECT_EQ(Row(0).substr(0, 7), "ENTRY15");
  pane_.Key(views::kKeyHome);
  EXPECT_EQ(Row(0).substr(0, 6), "ENTRY0");
  EXPECT_EQ(pane_.selection_start(), 0);
}

}  // namespace
}  // namespace tamblor::testing
