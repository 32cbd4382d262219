// The height of the title font on the backdrop: a size the script gives is
// used as it is; without one the title starts at 40 pixels, bold, and shrinks
// in steps of 4 until it fits the screen width less 20 pixels (or the height
// falls below 5).
#pragma once

#include <functional>

namespace install::ui {

inline constexpr int kTitleStartHeight = 40;
inline constexpr int kTitleHeightStep = 4;
inline constexpr int kTitleScreenMargin = 20;

struct TitleFontChoice {
  int height = 0;
  int weight = 400;
};

// `width_at` measures the title in a font of the given height and weight.
// `size` is the script's size in pixels, 0 to fit automatically.
TitleFontChoice ChooseTitleFont(int size, bool bold, int screen_width,
                                const std::function<int(int height, int weight)>& width_at);

}  // namespace install::ui
