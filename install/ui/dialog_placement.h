// Where the installer's dialogs go on the screen. Question dialogs centre
// themselves; a pop-up message window sits centred a little above the middle;
// the progress dialog goes below the last pop-up window when one was shown.
#pragma once

namespace install::ui {

struct WindowOrigin {
  int x = 0;
  int y = 0;
  bool operator==(const WindowOrigin&) const = default;
};

// A width x height window centred on a screen_width x screen_height screen.
WindowOrigin CentreOnScreen(int screen_width, int screen_height, int width, int height);

// The last pop-up message window: its top after placing and its bottom as it
// was created (before it was moved); `shown` false until one was shown.
struct PopupTrace {
  bool shown = false;
  int top = 0;
  int bottom = 0;
};

// A pop-up message window: centred horizontally, top = (screen height −
// height − 244) / 2 + 60.
WindowOrigin PlacePopup(int screen_width, int screen_height, int width, int height);

// The progress dialog: centred horizontally; top = the pop-up's top + its
// bottom + 24 when a pop-up was shown (24 pixels below a pop-up created at
// the top of the screen), else centred.
WindowOrigin PlaceProgress(const PopupTrace& popup, int screen_width, int screen_height, int width,
                           int height);

}  // namespace install::ui
