// The "please wait" box drawn on the backdrop while the disks are searched:
// a dark grey frame, a white panel with a black edge along its bottom and
// right, and the text centred in the window.
#pragma once

#include <string>

namespace install::ui {

inline constexpr int kShiftJisCharset = 128;

struct BoxRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  bool operator==(const BoxRect&) const = default;
};

struct BoxPoint {
  int x = 0;
  int y = 0;
  bool operator==(const BoxPoint&) const = default;
};

struct PleaseWaitLayout {
  std::string face;
  int font_height = 0;
  int font_weight = 600;
  int margin = 0;
  BoxRect frame;   // filled RGB(63, 63, 63)
  BoxRect panel;   // filled white
  BoxPoint edge[3];  // black line: bottom left -> bottom right -> top right
  BoxPoint text;   // centre of the text's baseline
};

// For a client area of width x height on a screen screen_width pixels wide;
// `charset` is the title font's character set.
PleaseWaitLayout LayOutPleaseWait(int width, int height, int screen_width, int charset);

}  // namespace install::ui
