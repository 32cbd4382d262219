#include "install/ui/picture_placement.h"

namespace install::ui {

bool NeedsBackground(bool has_picture, int placement, int picture_width, int picture_height,
                     int window_width, int window_height) {
  if (!has_picture) return true;
  if (placement == kPlaceTile) return false;
  return picture_width < window_width + 1 || picture_height < window_height + 1;
}

std::vector<PictureCopy> PlacePicture(int placement, int picture_width, int picture_height,
                                      int window_width, int window_height) {
  if (picture_width <= 0 || picture_height <= 0 || window_width < 0 || window_height < 0) return {};
  if (placement == kPlaceFullScreen) return {};
  PictureCopy copy;
  copy.width = picture_width;
  copy.height = picture_height;
  if (copy.width > window_width + 1) {
    copy.source_x = (copy.width - window_width - 1) / 2;
    copy.width = window_width + 1;
  }
  if (copy.height > window_height + 1) {
    copy.source_y = (copy.height - window_height - 1) / 2;
    copy.height = window_height + 1;
  }
  const int middle_x = (window_width - copy.width + 1) / 2;
  const int middle_y = (window_height - copy.height + 1) / 2;
  const int right = window_width - copy.width + 1;
  const int bottom = window_height - copy.height + 1;
  switch (placement) {
    case kPlaceTopLeft: copy.x = 0; copy.y = 0; break;
    case kPlaceTopMiddle: copy.x = middle_x; copy.y = 0; break;
    case kPlaceTopRight: copy.x = right; copy.y = 0; break;
    case kPlaceMiddleRight: copy.x = right; copy.y = middle_y; break;
    case kPlaceBottomRight: copy.x = right; copy.y = bottom; break;
    case kPlaceBottomMiddle: copy.x = middle_x; copy.y = bottom; break;
    case kPlaceBottomLeft: copy.x = 0; copy.y = bottom; break;
    case kPlaceMiddleLeft: copy.x = 0; copy.y = middle_y; break;
    case kPlaceTile: {
      std::vector<PictureCopy> tiles;
      for (int y = 0; y < window_height; y += copy.height) {
        for (int x = 0; x < window_width; x += copy.width) {
          PictureCopy tile = copy;
          tile.x = x;
          tile.y = y;
          tiles.push_back(tile);
        }
      }
      return tiles;
    }
    default: copy.x = middle_x; copy.y = middle_y; break;
  }
  return {copy};
}

int TileBlockSide(int picture_side) {
  if (picture_side <= 0) return 0;
  const int copies = (kTileBlockMinimum + picture_side - 1) / picture_side;
  return copies * picture_side;
}

}  // namespace install::ui
