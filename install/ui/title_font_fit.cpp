#include "install/ui/title_font_fit.h"

namespace install::ui {

TitleFontChoice ChooseTitleFont(int size, bool bold, int screen_width,
                                const std::function<int(int height, int weight)>& width_at) {
  if (size != 0) return TitleFontChoice{size, bold ? 700 : 400};
  TitleFontChoice choice{kTitleStartHeight, 700};
  while (width_at(choice.height, choice.weight) > screen_width - kTitleScreenMargin &&
         choice.height >= 5) {
    choice.height -= kTitleHeightStep;
  }
  return choice;
}

}  // namespace install::ui
