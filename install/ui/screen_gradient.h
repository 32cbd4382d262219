// The backdrop's background: one colour, or a top-to-bottom gradient painted
// in bands 8 pixels high.
#pragma once

#include <cstdint>
#include <vector>

namespace install::ui {

struct Rgb {
  uint8_t red = 0;
  uint8_t green = 0;
  uint8_t blue = 0;
  bool operator==(const Rgb&) const = default;
};

struct ColourBand {
  int top = 0;
  int height = 0;
  Rgb colour;
};

inline constexpr int kGradientBandHeight = 8;

// The bands that fill a client area `height` pixels high, top first. Equal
// colours give one band over the whole height; different ones give bands of
// 8 pixels, the first in the top colour, the last reaching past the bottom.
std::vector<ColourBand> BackgroundBands(Rgb top, Rgb bottom, int height);

}  // namespace install::ui
