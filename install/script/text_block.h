// Screen text blocks: the lines of a BEGINFIRSTSCREEN, BEGINLASTSCREEN,
// BEGINGROUP, POPMESSAGE or EXITMESSAGE block, packed into a TextBlock and
// turned into an in-memory dialog template.
//
// Packed layout (at most 4096 bytes):
//   0  1  number of non-empty lines
//   1  1  widest line in average character widths, minus 6 (at least 0)
//   2  1  number of lines, empty ones included
//   3  -  per line: a length byte, the text and a zero byte; an empty line
//         (separators only) is two zero bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "install/script/dialog_template.h"
#include "install/ui/text_measure.h"

namespace install::script {

struct TextBlock {
  static constexpr std::size_t kCapacity = 4096;
  static constexpr std::size_t kMaxLineLength = 255;
  static constexpr std::size_t kMaxLines = 255;
  std::vector<uint8_t> bytes;

  int NonEmptyLines() const { return bytes.size() > 0 ? bytes[0] : 0; }
  // The widest line in average character widths (the packed byte plus 6).
  int Widest() const { return bytes.size() > 1 ? bytes[1] + kWidestBias : 0; }
  static constexpr int kWidestBias = 6;
  int LineCount() const { return bytes.size() > 2 ? bytes[2] : 0; }
  // The lines as packed; an empty line gives "".
  std::vector<std::string> Lines() const;
};

enum class PackResult { Ok, LineTooLong, BlockTooLarge };

// Packs `lines`. On failure `*bad_line` (when given) is the index of the line
// that did not fit.
PackResult PackTextBlock(const std::vector<std::string>& lines, ui::TextMeasure& measure,
                         const ui::MeasureFont& font, TextBlock& out, std::size_t* bad_line = nullptr);

// A line of separators only (or no characters) is an empty line.
bool IsEmptyScreenLine(const std::string& line);

enum class ScreenKind {
  TextScreen,   // first and last screen: OK and Cancel
  ExitMessage,  // OK only
  GroupPage,    // numbered lines become check boxes (radio buttons when exclusive); OK and Cancel
  Popup,        // visible pop-up, a static per line, no buttons
};

struct ScreenStyle {
  ScreenKind kind = ScreenKind::TextScreen;
  std::string face;    // already resolved (block face, else the default screen font)
  int point_size = 10;
  std::string ok_text;
  std::string cancel_text;
  bool exclusive = false;
  int first_item_index = 0;  // group pages: the item index of the first numbered line
};

// A numbered line of a group block.
struct GroupItemLine {
  int number = 0;         // its first two characters as a decimal number
  bool preselected = false;  // "[X]"
};

enum class ScreenResult { Ok, MissingMarker, TooLarge };

// Builds the dialog of a packed block. Group pages also list their numbered
// lines in `items` (in order; their controls have ids 100 + first_item_index
// + position). `*bad_line` receives the index of a numbered line without a
// marker.
ScreenResult BuildScreen(const TextBlock& block, const ScreenStyle& style, DialogTemplate& out,
                         std::vector<GroupItemLine>* items = nullptr,
                         std::size_t* bad_line = nullptr);

// Layout constants of the screens, in dialog units.
inline constexpr int kScreenLineHeight = 8;
inline constexpr int kScreenButtonWidth = 36;
inline constexpr int kScreenButtonHeight = 12;
inline constexpr int kScreenMinWidth = 40;
// Space between the dialog frame and the text lines on either side: a screen
// is 4 units per average character of its widest line plus these.
inline constexpr int kScreenTextMargin = 4;
// Wide enough for two buttons side by side with margins.
inline constexpr int kScreenTwoButtonMinWidth = 84;

}  // namespace install::script
