#include "install/ui/screen_gradient.h"

#include <algorithm>

namespace install::ui {
namespace {

uint8_t StepChannel(int value, int step) { return static_cast<uint8_t>(std::clamp(value - step, 0, 255)); }

}  // namespace

std::vector<ColourBand> BackgroundBands(Rgb top, Rgb bottom, int height) {
  if (height < 0) height = 0;
  if (top == bottom) return {ColourBand{0, height, top}};
  // A client area lower than one band still gets its band in the top colour.
  const int count = height / kGradientBandHeight;
  const int divisor = std::max(count, 1);
  const int red_step = (top.red - bottom.red) / divisor;
  const int green_step = (top.green - bottom.green) / divisor;
  const int blue_step = (top.blue - bottom.blue) / divisor;
  std::vector<ColourBand> bands;
  bands.reserve(static_cast<std::size_t>(count) + 1);
  Rgb colour = top;
  for (int k = 0; k <= count; ++k) {
    bands.push_back(ColourBand{k * kGradientBandHeight, kGradientBandHeight, colour});
    colour = Rgb{StepChannel(colour.red, red_step), StepChannel(colour.green, green_step),
                 StepChannel(colour.blue, blue_step)};
  }
  return bands;
}

}  // namespace install::ui
