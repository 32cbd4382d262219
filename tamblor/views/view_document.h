// What a view shows in the text pane: the file, how to show it and where the
// user was. The view owns it; the text pane borrows it while the view is on
// top of the stack.
#pragma once

#include <cstdint>
#include <string>

namespace tamblor::views {

enum class DisplayMode : int {
  PlainText = 0,     // a file view: free text selection
  IndexEntries = 2,  // every index view: the selection is a whole entry
};

struct ViewDocument {
  std::string path;  // the file shown, already translated; under 260 characters
  DisplayMode mode = DisplayMode::IndexEntries;
  bool wrap = false;
  int64_t top = 0;                // byte position of the first visible line
  int64_t selection_start = -1;   // -1: no selection
  int64_t selection_end = -1;
};

}  // namespace tamblor::views
