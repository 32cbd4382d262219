#include "install/script/text_block.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "install/script/dialog_template.h"
#include "install/ui/dialog_template_reader.h"

namespace install::script {
namespace {

ui::MeasureFont Face(const char* face) {
  ui::MeasureFont font;
  font.face = face;
  return font;
}

TEST(TextBlockTest, PacksLinesWithCountsAndWidest) {
  ui::HostTextMeasure measure;
  TextBlock block;
  ASSERT_EQ(PackTextBlock({"Hello world", " ,\t", "abc"}, measure, Face("Ab"), block), PackResult::Ok);
  const std::vector<uint8_t> expected = {2, 5, 3,                                             //
                                         11, 'H', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd', 0,  //
                                         0, 0,                                                //
                                         3, 'a', 'b', 'c', 0};
  EXPECT_EQ(block.bytes, expected);
  EXPECT_EQ(block.Lines(), (std::vector<std::string>{"Hello world", "", "abc"}));
  // Narrow lines never give a negative width byte.
  ASSERT_EQ(PackTextBlock({"ab"}, measure, Face("Ab"), block), PackResult::Ok);
  EXPECT_EQ(block.bytes[1], 0);
  EXPECT_EQ(block.Widest(), 6);
  // Widths count the face's own average characters, the unit its dialog is
  // laid out in: 40 characters of a narrow face are still 40.
  ASSERT_EQ(PackTextBlock({std::string(40, 'x')}, measure, Face("small fonts"), block), PackResult::Ok);
  EXPECT_EQ(block.bytes[1], 40 - 6);
  EXPECT_EQ(block.Widest(), 40);
}

// Extents as a proportional face gives them: set per text; the dialog base
// unit per face.
class FixedMeasure : public ui::TextMeasure {
 public:
  int TextExtent(std::string_view text, const ui::MeasureFont&) override {
    return text == "narrow" ? 41 : text == "exact" ? 40 : 100;
  }
  int DialogBaseWidth(const ui::MeasureFont& font) override { return font.face == "Wide" ? 10 : 8; }
};

TEST(TextBlockTest, WidthsRoundUpInTheDialogFontsOwnAverageCharacters) {
  FixedMeasure measure;
  EXPECT_EQ(ui::WidthInAverageChars(measure, "exact", Face("Ab")), 5);
  EXPECT_EQ(ui::WidthInAverageChars(measure, "narrow", Face("Ab")), 6);  // 41 / 8, rounded up
  EXPECT_EQ(ui::WidthInAverageChars(measure, "other", Face("Ab")), 13);
  EXPECT_EQ(ui::WidthInAverageChars(measure, "other", Face("Wide")), 10);
  ui::HostTextMeasure host;
  EXPECT_EQ(ui::WidthInAverageChars(host, "", Face("Ab")), 0);
  EXPECT_EQ(host.DialogBaseWidth(Face("Times New Roman")), 7);
}

// Every line of every kind of screen fits its control: 4 dialog units per
// average character of the widest line, inside the dialog's frame.
TEST(TextBlockTest, EveryLineFitsItsControl) {
  ui::HostTextMeasure measure;
  const std::string widest(70, 'w');
  for (ScreenKind kind : {ScreenKind::TextScreen, ScreenKind::ExitMessage, ScreenKind::Popup}) {
    SCOPED_TRACE(static_cast<int>(kind));
    TextBlock block;
    ASSERT_EQ(PackTextBlock({"Short line.", widest, ""}, measure, Face("Ab"), block), PackResult::Ok);
    ScreenStyle style;
    style.kind = kind;
    style.face = "Ab";
    style.ok_text = "OK";
    style.cancel_text = "Cancel";
    DialogTemplate dialog;
    ASSERT_EQ(BuildScreen(block, style, dialog), ScreenResult::Ok);
    const std::optional<ui::TemplateView> view = ui::ReadDialogTemplate(dialog.bytes);
    ASSERT_TRUE(view.has_value());
    int statics = 0;
    for (const ui::TemplateControl& control : view->controls) {
      if (control.class_atom != ui::kStaticClassAtom || control.text.empty()) continue;
      ++statics;
      EXPECT_GE(control.cx, 4 * static_cast<int>(control.text.size())) << control.text;
      EXPECT_GE(control.x, 0);
      EXPECT_LE(control.x + control.cx, view->cx) << control.text;
    }
    EXPECT_EQ(statics, 2);
  }
}

TEST(TextBlockTest, LimitsOfLinesAndBlock) {
  ui::HostTextMeasure measure;
  TextBlock block;
  std::size_t bad = 99;
  EXPECT_EQ(PackTextBlock({"a", std::string(256, 'x')}, measure, Face("Ab"), block, &bad),
            PackResult::LineTooLong);
  EXPECT_EQ(bad, 1u);
  std::vector<std::string> many(17, std::string(250, 'y'));  // 17 * 252 > 4093
  EXPECT_EQ(PackTextBlock(many, measure, Face("Ab"), block, &bad), PackResult::BlockTooLarge);
  EXPECT_EQ(bad, 16u);
  std::vector<std::string> lines(256, "");
  EXPECT_EQ(PackTextBlock(lines, measure, Face("Ab"), block), PackResult::BlockTooLarge);
}

// Hand-computed template of a one-line exit message in the face "Ab" (8 pixels
// per character on the host, its own base unit): 11 characters, width
// 4 * 11 + 2 * 4 = 52, height 8 + 16 = 24.
TEST(TextBlockTest, ExitMessageTemplateByteForByte) {
  ui::HostTextMeasure measure;
  TextBlock block;
  ASSERT_EQ(PackTextBlock({"Hello world"}, measure, Face("Ab"), block), PackResult::Ok);
  ScreenStyle style;
  style.kind = ScreenKind::ExitMessage;
  style.face = "Ab";
  style.point_size = 10;
  style.ok_text = "OK";
  DialogTemplate dialog;
  ASSERT_EQ(BuildScreen(block, style, dialog), ScreenResult::Ok);
  const std::vector<uint8_t> expected = {
      // DLGTEMPLATE: WS_POPUP | WS_DLGFRAME | DS_SETFONT, no extended style, 2 items
      0x40, 0x00, 0x40, 0x80, 0, 0, 0, 0, 2, 0,
      0, 0, 0, 0, 52, 0, 24, 0,  // x, y, cx, cy
      0, 0, 0, 0, 0, 0,          // no menu, default class, no title
      10, 0, 'A', 0, 'b', 0, 0, 0,  // 10 point "Ab"
      // static text: WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT at (4,0) 44 x 8, id -1
      0x00, 0x00, 0x02, 0x50, 0, 0, 0, 0,
      4, 0, 0, 0, 44, 0, 8, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0x82, 0x00,
      'H', 0, 'e', 0, 'l', 0, 'l', 0, 'o', 0, ' ', 0, 'w', 0, 'o', 0, 'r', 0, 'l', 0, 'd', 0, 0, 0,
      0, 0,
      // OK: WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON at (8,10) 36 x 12, id 1
      0x01, 0x00, 0x01, 0x50, 0, 0, 0, 0,
      8, 0, 10, 0, 36, 0, 12, 0, 1, 0, 0xFF, 0xFF, 0x80, 0x00,
      'O', 0, 'K', 0, 0, 0,
      0, 0};
  EXPECT_EQ(dialog.bytes, expected);
}

uint16_t U16At(const std::vector<uint8_t>& b, std::size_t at) {
  return static_cast<uint16_t>(b[at] | (b[at + 1] << 8));
}

TEST(TextBlockTest, GroupPageItemsBecomeButtonsAtTheirMarkers) {
  ui::HostTextMeasure measure;
  TextBlock block;
  ASSERT_EQ(PackTextBlock({"Pick:", "7 Pick [X] Fast", "123 [ ] Slow"}, measure, Face("Ab"), block),
            PackResult::Ok);
  ScreenStyle style;
  style.kind = ScreenKind::GroupPage;
  style.face = "Ab";
  style.exclusive = true;
  style.first_item_index = 4;
  style.ok_text = "OK";
  style.cancel_text = "Cancel";
  DialogTemplate dialog;
  std::vector<GroupItemLine> items;
  ASSERT_EQ(BuildScreen(block, style, dialog, &items), ScreenResult::Ok);
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(items[0].number, 7);
  EXPECT_TRUE(items[0].preselected);
  EXPECT_EQ(items[1].number, 12);  // only the first two characters count
  EXPECT_FALSE(items[1].preselected);
  const std::vector<uint8_t>& b = dialog.bytes;
  EXPECT_EQ(U16At(b, 8), 5);  // a static, two radio buttons, OK and Cancel
  EXPECT_EQ(U16At(b, 14), 84);  // wide enough for both buttons
  // The first radio button follows the header (32 bytes) and the static:
  // 22 bytes of fields and class, "Pick:" and its NUL (12), creation data (2).
  std::size_t radio = 32 + 22 + 12 + 2;
  EXPECT_EQ(b[radio], 0x09);                     // BS_AUTORADIOBUTTON
  EXPECT_EQ(U16At(b, radio + 8), 4 * 7 - 8);     // x at the marker's column
  EXPECT_EQ(U16At(b, radio + 10), 8);            // second line
  EXPECT_EQ(U16At(b, radio + 16), 104);          // id 100 + item index
  EXPECT_EQ(U16At(b, radio + 22), ' ');          // the text after the marker
  EXPECT_EQ(U16At(b, radio + 24), 'F');

  ASSERT_EQ(PackTextBlock({"7 no marker"}, measure, Face("Ab"), block), PackResult::Ok);
  std::size_t bad = 9;
  EXPECT_EQ(BuildScreen(block, style, dialog, nullptr, &bad), ScreenResult::MissingMarker);
  EXPECT_EQ(bad, 0u);
}

TEST(TextBlockTest, PopupHasAStaticPerLineAndNoButtons) {
  ui::HostTextMeasure measure;
  TextBlock block;
  ASSERT_EQ(PackTextBlock({"a", "", "b"}, measure, Face("Ab"), block), PackResult::Ok);
  ScreenStyle style;
  style.kind = ScreenKind::Popup;
  style.face = "Ab";
  DialogTemplate dialog;
  ASSERT_EQ(BuildScreen(block, style, dialog), ScreenResult::Ok);
  EXPECT_EQ(dialog.bytes[3], 0x90);  // WS_POPUP | WS_VISIBLE
  EXPECT_EQ(U16At(dialog.bytes, 8), 3);
  EXPECT_EQ(U16At(dialog.bytes, 16), 24);  // 8 per line, no button row
}

TEST(DialogTemplateTest, RefusesTemplatesBeyondCapacity) {
  DialogHeader header;
  header.style = kWsPopup;
  std::vector<DialogItem> items(1);
  items[0].text = std::string(200, 'x');
  DialogTemplate dialog;
  EXPECT_TRUE(BuildDialogTemplate(header, items, dialog, 1000));
  EXPECT_EQ(dialog.bytes.size(), 24u + 22 + 402 + 2);
  items.resize(8, items[0]);
  EXPECT_FALSE(BuildDialogTemplate(header, items, dialog));
  EXPECT_TRUE(dialog.bytes.empty());
}

}  // namespace
}  // namespace install::script
