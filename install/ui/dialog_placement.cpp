#include "install/ui/dialog_placement.h"

namespace install::ui {

WindowOrigin CentreOnScreen(int screen_width, int screen_height, int width, int height) {
  return {(screen_width - width) / 2, (screen_height - height) / 2};
}

WindowOrigin PlacePopup(int screen_width, int screen_height, int width, int height) {
  return {(screen_width - width) / 2, (screen_height - height - 244) / 2 + 60};
}

WindowOrigin PlaceProgress(const PopupTrace& popup, int screen_width, int screen_height, int width,
                           int height) {
  WindowOrigin origin = CentreOnScreen(screen_width, screen_height, width, height);
  if (popup.shown) origin.y = popup.top + popup.bottom + 24;
  return origin;
}

}  // namespace install::ui
