// Reading in-memory dialog templates: the frame, the controls and the group
// buttons of a group page; templates that end early are refused.
#include "install/ui/dialog_template_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "install/script/dialog_template.h"

namespace install::ui {
namespace {

// Writes template fields by hand, independently of the script's builder.
class Bytes {
 public:
  Bytes& U16(uint16_t v) {
    b_.push_back(static_cast<uint8_t>(v));
    b_.push_back(static_cast<uint8_t>(v >> 8));
    return *this;
  }
  Bytes& U32(uint32_t v) { return U16(static_cast<uint16_t>(v)).U16(static_cast<uint16_t>(v >> 16)); }
  Bytes& Text(const std::u16string& text) {
    for (char16_t c : text) U16(c);
    return U16(0);
  }
  Bytes& Align() {
    while (b_.size() % 4) b_.push_back(0);
    return *this;
  }
  std::vector<uint8_t> get() const { return b_; }

 private:
  std::vector<uint8_t> b_;
};

// A dialog with a named menu, a named class, a title, a font and two
// controls: a static by atom and a control of a named class with an ordinal
// title and two bytes of creation data.
std::vector<uint8_t> HandMadeTemplate() {
  Bytes b;
  b.U32(0x80C00040u).U32(0).U16(2).U16(5).U16(6).U16(120).U16(64);
  b.Text(u"MENU").Text(u"MyClass").Text(u"Title").U16(9).Text(u"Arial");
  b.Align().U32(0x50000000u).U32(0).U16(4).U16(8).U16(100).U16(8).U16(0xFFFF);
  b.U16(0xFFFF).U16(0x0082).Text(u"Caf\u00e9 \u4e2d").U16(0);
  b.Align().U32(0x50010003u).U32(0).U16(10).U16(20).U16(30).U16(12).U16(42);
  b.Text(u"Custom").U16(0xFFFF).U16(7).U16(2).U16(0xABCD);
  return b.get();
}

TEST(DialogTemplateReaderTest, ReadsFrameFontAndControls) {
  std::optional<TemplateView> view = ReadDialogTemplate(HandMadeTemplate());
  ASSERT_TRUE(view);
  EXPECT_EQ(view->style, 0x80C00040u);
  EXPECT_EQ(view->x, 5);
  EXPECT_EQ(view->cx, 120);
  EXPECT_EQ(view->cy, 64);
  EXPECT_EQ(view->point_size, 9);
  EXPECT_EQ(view->face, "Arial");
  ASSERT_EQ(view->controls.size(), 2u);
  EXPECT_EQ(view->controls[0].class_atom, kStaticClassAtom);
  EXPECT_EQ(view->controls[0].id, 0xFFFF);
  EXPECT_EQ(view->controls[0].text, "Caf\xe9 ?");
  EXPECT_EQ(view->controls[0].y, 8);
  EXPECT_EQ(view->controls[1].class_atom, 0);
  EXPECT_EQ(view->controls[1].class_name, "Custom");
  EXPECT_EQ(view->controls[1].id, 42);
  EXPECT_EQ(view->controls[1].text, "");
  EXPECT_EQ(view->controls[1].cy, 12);
  // A named class is not a button: no group buttons.
  EXPECT_TRUE(GroupButtonIds(*view).empty());
}

TEST(DialogTemplateReaderTest, RefusesTemplatesThatEndEarly) {
  const std::vector<uint8_t> whole = HandMadeTemplate();
  ASSERT_TRUE(ReadDialogTemplate(whole));
  // Every cut inside the template is refused (the last control's creation
  // data ends the bytes).
  for (std::size_t size = 0; size < whole.size(); ++size) {
    std::vector<uint8_t> cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size));
    EXPECT_FALSE(ReadDialogTemplate(cut)) << "cut at " << size;
  }
  // A count of controls larger than the controls present.
  std::vector<uint8_t> more = whole;
  more[8] = 3;
  EXPECT_FALSE(ReadDialogTemplate(more));
  // Creation data longer than what follows.
  std::vector<uint8_t> long_data = whole;
  long_data[long_data.size() - 4] = 0x40;
  EXPECT_FALSE(ReadDialogTemplate(long_data));
}

TEST(DialogTemplateReaderTest, FindsTheGroupButtonsOfABuiltPage) {
  using namespace install::script;
  DialogHeader header;
  header.style = kWsPopup | kWsDlgFrame | kDsSetFont;
  header.cx = 100;
  header.cy = 50;
  header.point_size = 10;
  header.face = "MS Sans Serif";
  std::vector<DialogItem> items(5);
  items[0] = {kWsChild | kWsVisible, 4, 0, 92, 8, 0xFFFF, kClassStatic, "Choose:"};
  items[1] = {kWsChild | kWsVisible | kWsTabStop | kBsAutoRadioButton, 8, 8, 80, 8, 103, kClassButton, "Full"};
  items[2] = {kWsChild | kWsVisible | kWsTabStop | kBsAutoRadioButton, 8, 16, 80, 8, 104, kClassButton, "Small"};
  items[3] = {kWsChild | kWsVisible | kWsTabStop | kBsDefPushButton, 10, 36, 36, 12, 1, kClassButton, "OK"};
  items[4] = {kWsChild | kWsVisible | kWsTabStop | kBsPushButton, 54, 36, 36, 12, 2, kClassButton, "Cancel"};
  DialogTemplate built;
  ASSERT_TRUE(BuildDialogTemplate(header, items, built));

  std::optional<TemplateView> view = ReadDialogTemplate(built.bytes);
  ASSERT_TRUE(view);
  EXPECT_EQ(view->face, "MS Sans Serif");
  ASSERT_EQ(view->controls.size(), 5u);
  EXPECT_EQ(view->controls[2].text, "Small");
  EXPECT_EQ(view->controls[4].text, "Cancel");
  EXPECT_EQ(GroupButtonIds(*view), (std::vector<uint16_t>{103, 104}));

  items[1].style = kWsChild | kWsVisible | kBsAutoCheckBox;
  items[2].style = kWsChild | kWsVisible | kBsAutoCheckBox;
  ASSERT_TRUE(BuildDialogTemplate(header, items, built));
  EXPECT_EQ(GroupButtonIds(*ReadDialogTemplate(built.bytes)), (std::vector<uint16_t>{103, 104}));
}

}  // namespace
}  // namespace install::ui
