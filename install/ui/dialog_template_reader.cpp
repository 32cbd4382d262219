#include "install/ui/dialog_template_reader.h"

#include <cstddef>

namespace install::ui {
namespace {

constexpr uint32_t kSetFontStyle = 0x00000040u;  // DS_SETFONT

// Reads little-endian fields; once a read runs past the end every later read
// fails too. The position never passes the end of the bytes.
class TemplateCursor {
 public:
  explicit TemplateCursor(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}
  bool ok() const { return ok_; }

  uint16_t U16() {
    if (!ok_ || bytes_.size() - at_ < 2) return Fail();
    const uint16_t v = static_cast<uint16_t>(bytes_[at_] | (bytes_[at_ + 1] << 8));
    at_ += 2;
    return v;
  }
  int16_t I16() { return static_cast<int16_t>(U16()); }
  uint32_t U32() {
    const uint32_t low = U16();
    return low | (uint32_t{U16()} << 16);
  }
  // A terminated UTF-16 text.
  std::string Text() {
    std::string text;
    for (uint16_t unit = U16(); ok_ && unit != 0; unit = U16()) {
      text.push_back(unit <= 0xFF ? static_cast<char>(unit) : '?');
    }
    return text;
  }
  // A field that is 0 (none), 0xFFFF and an ordinal, or a text.
  void OrdinalOrText(uint16_t* ordinal, std::string* text) {
    const uint16_t first = Peek();
    if (first == 0xFFFF) {
      U16();
      *ordinal = U16();
      return;
    }
    *ordinal = 0;
    *text = Text();
  }
  void Skip(std::size_t count) {
    if (!ok_ || count > bytes_.size() - at_) {
      Fail();
      return;
    }
    at_ += count;
  }
  void AlignDword() { Skip((4 - at_ % 4) % 4); }

 private:
  uint16_t Peek() {
    if (!ok_ || bytes_.size() - at_ < 2) return Fail();
    return static_cast<uint16_t>(bytes_[at_] | (bytes_[at_ + 1] << 8));
  }
  uint16_t Fail() {
    ok_ = false;
    return 0;
  }

  const std::vector<uint8_t>& bytes_;
  std::size_t at_ = 0;
  bool ok_ = true;
};

TemplateControl ReadControl(TemplateCursor& in) {
  TemplateControl control;
  in.AlignDword();
  control.style = in.U32();
  in.U32();  // extended style
  control.x = in.I16();
  control.y = in.I16();
  control.cx = in.I16();
  control.cy = in.I16();
  control.id = in.U16();
  in.OrdinalOrText(&control.class_atom, &control.class_name);
  uint16_t title_ordinal = 0;
  in.OrdinalOrText(&title_ordinal, &control.text);
  in.Skip(in.U16());  // creation data
  return control;
}

}  // namespace

std::optional<TemplateView> ReadDialogTemplate(const std::vector<uint8_t>& bytes) {
  TemplateCursor in(bytes);
  TemplateView view;
  view.style = in.U32();
  in.U32();  // extended style
  const uint16_t count = in.U16();
  view.x = in.I16();
  view.y = in.I16();
  view.cx = in.I16();
  view.cy = in.I16();
  uint16_t ordinal = 0;
  std::string ignored;
  in.OrdinalOrText(&ordinal, &ignored);  // menu
  in.OrdinalOrText(&ordinal, &ignored);  // class
  in.Text();                             // title
  if (view.style & kSetFontStyle) {
    view.point_size = in.U16();
    view.face = in.Text();
  }
  for (uint16_t i = 0; i < count && in.ok(); ++i) view.controls.push_back(ReadControl(in));
  if (!in.ok()) return std::nullopt;
  return view;
}

std::vector<uint16_t> GroupButtonIds(const TemplateView& view) {
  std::vector<uint16_t> ids;
  for (const TemplateControl& control : view.controls) {
    if (control.class_atom != kButtonClassAtom) continue;
    const uint32_t type = control.style & kButtonTypeMask;
    if (type == kAutoCheckBoxStyle || type == kAutoRadioButtonStyle) ids.push_back(control.id);
  }
  return ids;
}

}  // namespace install::ui
