// How wide a line of screen text is, measured through an interface: GDI on
// Windows (ui/win32/gdi_text_measure), a fixed table of average character
// widths on the host.
#pragma once

#include <string>
#include <string_view>

namespace install::ui {

struct MeasureFont {
  std::string face;
  int point_size = 10;
  int weight = 400;
  bool italic = false;
  bool underline = false;
};

class TextMeasure {
 public:
  virtual ~TextMeasure() = default;
  // Width of `text` in pixels when drawn with `font`.
  virtual int TextExtent(std::string_view text, const MeasureFont& font) = 0;
  // The horizontal dialog base unit, in pixels, of a dialog whose template
  // names `font`: that font's average character width, as the dialog manager
  // computes it (4 dialog units across). Always positive.
  virtual int DialogBaseWidth(const MeasureFont& font) = 0;
};

// The width of `text` in average character widths of the dialog `font` is
// shown in: its extent divided by that dialog's base width unit, rounded up so
// that a control of 4 dialog units per character always holds the text.
int WidthInAverageChars(TextMeasure& measure, std::string_view text, const MeasureFont& font);

// Every character is as wide as its face's average character (from a fixed
// table; unknown faces use the base width), so a line's width in average
// characters is its length. Italic and underline do not change widths.
class HostTextMeasure : public TextMeasure {
 public:
  static constexpr int kBaseWidth = 8;
  // Average character width in pixels of a face (letter case ignored).
  static int AverageWidthOf(std::string_view face);

  int TextExtent(std::string_view text, const MeasureFont& font) override;
  int DialogBaseWidth(const MeasureFont& font) override { return AverageWidthOf(font.face); }
};

}  // namespace install::ui
