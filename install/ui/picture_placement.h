// Where a picture goes on a window: the placement codes of the screen
// graphic, the cropping of a picture larger than the window, and whether the
// background must be painted around it.
#pragma once

#include <vector>

namespace install::ui {

enum PicturePlacement : int {
  kPlaceCentred = 0,
  kPlaceTopLeft = 1,
  kPlaceTopMiddle = 2,
  kPlaceTopRight = 3,
  kPlaceMiddleRight = 4,
  kPlaceBottomRight = 5,
  kPlaceBottomMiddle = 6,
  kPlaceBottomLeft = 7,
  kPlaceMiddleLeft = 8,
  kPlaceTile = 9,
  kPlaceFullScreen = 10,
};

// One copy of (part of) the picture: `width` x `height` pixels from
// (source_x, source_y) of the picture to (x, y) of the window.
struct PictureCopy {
  int x = 0;
  int y = 0;
  int source_x = 0;
  int source_y = 0;
  int width = 0;
  int height = 0;
  bool operator==(const PictureCopy&) const = default;
};

// True when the window's background must be painted: no picture, or a picture
// (not tiled) that leaves part of the window_width x window_height area uncovered.
bool NeedsBackground(bool has_picture, int placement, int picture_width, int picture_height,
                     int window_width, int window_height);

// The copies that draw the picture. A picture wider than the window by more
// than one pixel is cropped to its middle window_width + 1 columns, and the
// same for rows. FULLSCREEN draws nothing; an unknown code is centred.
std::vector<PictureCopy> PlacePicture(int placement, int picture_width, int picture_height,
                                      int window_width, int window_height);

// A tiled picture is first repeated into a block at least this many pixels
// on each side, and the block is copied over the window: a 1 x 1 picture then
// takes a few hundred copies per paint instead of one per pixel.
constexpr int kTileBlockMinimum = 64;

// The side of that block: the smallest multiple of `picture_side` that is at
// least kTileBlockMinimum (0 for an empty picture), so that the block tiles
// exactly as the picture does.
int TileBlockSide(int picture_side);

}  // namespace install::ui
