#include "install/ui/text_measure.h"

#include <array>

#include "install/os/ascii_case.h"

namespace install::ui {

namespace {


struct FaceWidth {
  std::string_view face;
  int width;
};

constexpr std::array<FaceWidth, 6> kFaceWidths = {{
    {"MS Sans Serif", 8},
    {"Arial", 8},
    {"System", 8},
    {"Courier New", 8},
    {"Times New Roman", 7},
    {"Small Fonts", 4},
}};

}  // namespace

int WidthInAverageChars(TextMeasure& measure, std::string_view text, const MeasureFont& font) {
  int base = measure.DialogBaseWidth(font);
  if (base <= 0) base = 1;
  const int extent = measure.TextExtent(text, font);
  return extent > 0 ? (extent + base - 1) / base : 0;
}

int HostTextMeasure::AverageWidthOf(std::string_view face) {
  for (const FaceWidth& entry : kFaceWidths) {
    if (os::EqualsIgnoringCase(entry.face, face)) return entry.width;
  }
  return kBaseWidth;
}

int HostTextMeasure::TextExtent(std::string_view text, const MeasureFont& font) {
  return static_cast<int>(text.size()) * AverageWidthOf(font.face);
}

}  // namespace install::ui
