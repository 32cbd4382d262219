// What the backdrop shows, taken from the install plan at start-up: the title
// with its font and colour, and the two screen colours.
#pragma once

#include <string>

#include "install/ui/screen_gradient.h"

namespace install::ui {

struct BackdropStyle {
  std::string title;
  std::string font_face = "Arial";
  int font_size = 0;  // pixels; 0 = fit the screen width
  bool bold = false;
  bool italic = false;
  bool underline = false;
  int charset = 0;  // the plan has no setting for it: ANSI
  Rgb title_colour{128, 128, 255};
  Rgb top_colour{0, 0, 255};
  Rgb bottom_colour{0, 0, 0};
  std::string locate_text = "Checking system, please wait...";
  int screen_width = 640;
};

}  // namespace install::ui
