// Screen text measured with GDI: the text extent in the requested font on the
// screen, and the dialog base width unit of a dialog shown in that font.
#pragma once

#include "install/ui/text_measure.h"

namespace install::ui {

class GdiTextMeasure : public ui::TextMeasure {
 public:
  int TextExtent(std::string_view text, const ui::MeasureFont& font) override;
  int DialogBaseWidth(const ui::MeasureFont& font) override;
};

}  // namespace install::ui
