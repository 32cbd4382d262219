#include "install/script/dialog_template.h"

namespace install::script {

namespace {

class TemplateWriter {
 public:
  void U16(uint16_t v) {
    bytes_.push_back(static_cast<uint8_t>(v & 0xFF));
    bytes_.push_back(static_cast<uint8_t>(v >> 8));
  }
  void I16(int16_t v) { U16(static_cast<uint16_t>(v)); }
  void U32(uint32_t v) {
    U16(static_cast<uint16_t>(v & 0xFFFF));
    U16(static_cast<uint16_t>(v >> 16));
  }
  // 8-bit text as UTF-16 units, terminated.
  void Text(const std::string& text) {
    for (char c : text) {
      if (c == '\0') break;
      U16(static_cast<uint16_t>(static_cast<unsigned char>(c)));
    }
    U16(0);
  }
  void AlignDword() {
    while (bytes_.size() % 4 != 0) bytes_.push_back(0);
  }
  std::vector<uint8_t>& Bytes() { return bytes_; }

 private:
  std::vector<uint8_t> bytes_;
};

}  // namespace

bool BuildDialogTemplate(const DialogHeader& header, const std::vector<DialogItem>& items,
                         DialogTemplate& out, std::size_t capacity) {
  out.bytes.clear();
  if (items.size() > 0xFFFF) return false;
  TemplateWriter w;
  w.U32(header.style);
  w.U32(0);  // extended style
  w.U16(static_cast<uint16_t>(items.size()));
  w.I16(header.x);
  w.I16(header.y);
  w.I16(header.cx);
  w.I16(header.cy);
  w.U16(0);  // no menu
  w.U16(0);  // default dialog class
  w.U16(0);  // no title
  if (header.style & kDsSetFont) {
    w.U16(header.point_size);
    w.Text(header.face);
  }
  for (const DialogItem& item : items) {
    w.AlignDword();
    w.U32(item.style);
    w.U32(0);  // extended style
    w.I16(item.x);
    w.I16(item.y);
    w.I16(item.cx);
    w.I16(item.cy);
    w.U16(item.id);
    w.U16(0xFFFF);
    w.U16(item.class_atom);
    w.Text(item.text);
    w.U16(0);  // no creation data
    if (w.Bytes().size() > capacity) return false;
  }
  if (w.Bytes().size() > capacity) return false;
  out.bytes = std::move(w.Bytes());
  return true;
}

}  // namespace install::script
