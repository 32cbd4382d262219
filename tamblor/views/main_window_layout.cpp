#include "tamblor/views/main_window_layout.h"

#include <algorithm>

namespace tamblor::views {

Placement Place(const PlacementRule& rule, int client_width, int client_height) {
  int width = rule.a * client_width + rule.b;
  int height = rule.c * client_height + rule.d;
  return Placement{rule.x, rule.y, std::max(width, 0), std::max(height, 0)};
}

WindowSize InitialMainWindowSize(int char_width, int line_height) {
  return WindowSize{82 * char_width + 20, 50 + 22 * line_height + 100};
}

}  // namespace tamblor::views
