#include "tamblor/views/main_window_layout.h"

#include <gtest/gtest.h>

namespace tamblor::views {
namespace {

TEST(MainWindowLayoutTest, ChildrenFollowTheClientSize) {
  Placement toolbar = Place(kToolbarRule, 600, 400);
  EXPECT_EQ(toolbar.x, 0);
  EXPECT_EQ(toolbar.y, 0);
  EXPECT_EQ(toolbar.width, 600);
  EXPECT_EQ(toolbar.height, 50);
  Placement panel = Place(kTitlePanelRule, 600, 400);
  EXPECT_EQ(panel.y, toolbar.y + toolbar.height);
  EXPECT_EQ(panel.width, 600);
  EXPECT_EQ(panel.height, 25);
  Placement pane = Place(kTextPaneRule, 600, 400);
  EXPECT_EQ(pane.x, -1);
  EXPECT_EQ(pane.y, 74);
  EXPECT_EQ(pane.width, 602);   // one pixel beyond the client area at both sides
  EXPECT_EQ(pane.height, 327);  // down to one pixel below the client area
  EXPECT_EQ(panel.y + panel.height, pane.y + 1);  // the pane overlaps the panel's lower edge
}

TEST(MainWindowLayoutTest, ASmallWindowGivesNoNegativeSizes) {
  // 73 pixels high: the pane's height is exactly 0; one less would be negative.
  EXPECT_EQ(Place(kTextPaneRule, 100, 73).height, 0);
  EXPECT_EQ(Place(kTextPaneRule, 100, 72).height, 0);
  EXPECT_EQ(Place(kTextPaneRule, 100, 74).height, 1);
  // A minimised window (client 0 x 0).
  EXPECT_EQ(Place(kTextPaneRule, 0, 0).width, 2);
  EXPECT_EQ(Place(kToolbarRule, 0, 0).width, 0);
  EXPECT_EQ(Place(kToolbarRule, 0, 0).height, 50);
  EXPECT_EQ(Place(PlacementRule{0, 0, 1, -10, 0, 5}, 9, 0).width, 0);
}

TEST(MainWindowLayoutTest, FirstSizeHolds82CharactersAnd22Lines) {
  WindowSize size = InitialMainWindowSize(8, 16);
  EXPECT_EQ(size.width, 82 * 8 + 20);
  EXPECT_EQ(size.height, 50 + 22 * 16 + 100);
  WindowSize other = InitialMainWindowSize(7, 13);
  EXPECT_EQ(other.width, 594);
  EXPECT_EQ(other.height, 436);
}

}  // namespace
}  // namespace tamblor::views
