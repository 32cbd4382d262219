// Where the main window's three children go, and the main window's first size.
//
// Each child follows a placement rule: x, y fixed; width = a*W + b and
// height = c*H + d, where W and H are the main window's client size.
#pragma once

namespace tamblor::views {

struct PlacementRule {
  int x, y;
  int a, b;  // width = a*W + b
  int c, d;  // height = c*H + d
};

struct Placement {
  int x, y, width, height;
};

// The toolbar on top, the title panel below it, and the text pane filling the
// rest, one pixel above the panel's lower edge and one pixel beyond the client
// area at both sides.
inline constexpr PlacementRule kToolbarRule{0, 0, 1, 0, 0, 50};
inline constexpr PlacementRule kTitlePanelRule{0, 50, 1, 0, 0, 25};
inline constexpr PlacementRule kTextPaneRule{-1, 74, 1, 2, 1, -73};

// A window too small for a child gives it no size rather than a negative one.
Placement Place(const PlacementRule& rule, int client_width, int client_height);

struct WindowSize {
  int width, height;
};

// The main window's size once its text pane's font is known: 82 characters and
// 22 lines of text besides the toolbar, panel and frame.
WindowSize InitialMainWindowSize(int char_width, int line_height);

}  // namespace tamblor::views
