#include "install/ui/please_wait_layout.h"

namespace install::ui {

PleaseWaitLayout LayOutPleaseWait(int width, int height, int screen_width, int charset) {
  PleaseWaitLayout layout;
  const bool system_font = charset == kShiftJisCharset;
  layout.face = system_font ? "System" : "MS Sans Serif";
  layout.margin = system_font ? 80 : 8;
  layout.font_height = screen_width * 24 / 800;
  const int m = layout.margin;
  const int left = width / 4;
  const int right = 3 * width / 4;
  const int top = 2 * height / 5;
  const int bottom = 3 * height / 5;
  layout.frame = BoxRect{left - 6 - m, top - 4, right + 6 + m, bottom + 4};
  layout.panel = BoxRect{left - m, top, right + m, bottom};
  layout.edge[0] = BoxPoint{left - m, bottom};
  layout.edge[1] = BoxPoint{right + m, bottom};
  layout.edge[2] = BoxPoint{right + m, top};
  layout.text = BoxPoint{width / 2, height / 2};
  return layout;
}

}  // namespace install::ui
