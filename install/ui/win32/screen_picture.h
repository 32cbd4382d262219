// A BMP picture ready for drawing on a window: the bitmap, and for pictures
// of more than 16 colours a logical palette made from their colour table.
#pragma once

#include "install/os/win32/windows_api.h"

#include <cstdint>
#include <vector>

#include "install/ui/bmp_image.h"
#include "install/ui/picture_placement.h"
#include "install/ui/win32/gdi_handles.h"

namespace install::ui {

class ScreenPicture {
 public:
  ScreenPicture() = default;
  ScreenPicture(BmpImage image, int placement) : image_(std::move(image)), placement_(placement) {}
  ScreenPicture(const ScreenPicture&) = delete;
  ScreenPicture& operator=(const ScreenPicture&) = delete;
  ScreenPicture(ScreenPicture&& other) noexcept { *this = std::move(other); }
  ScreenPicture& operator=(ScreenPicture&& other) noexcept;
  ~ScreenPicture() { Free(); }

  bool has_bitmap() const { return image_.valid(); }
  int width() const { return image_.width; }
  int height() const { return image_.height; }
  int placement() const { return placement_; }
  // Whether the palette was made (pictures of more than 16 colours, once drawn).
  bool has_palette() const { return static_cast<bool>(palette_); }

  // True when the background must be painted around or instead of the picture.
  bool NeedsBackground(int window_width, int window_height) const;
  // Draws the picture at its placement on a window_width x window_height client area.
  void Draw(HDC dc, int window_width, int window_height);
  // Releases the bitmap and the palette; nothing is drawn afterwards.
  void Free();

 private:
  bool UsesPalette() const { return image_.colors_used > 16; }
  void MakePalette();
  // Repeats the picture (selected into `picture`) into a block and copies the
  // block over the window.
  void DrawTiled(HDC dc, HDC picture, int window_width, int window_height);

  BmpImage image_;
  int placement_ = kPlaceCentred;
  PaletteObject palette_;
  // The header followed by palette indexes 0 .. n-1 instead of colours.
  std::vector<uint8_t> index_header_;
};

}  // namespace install::ui
