// Reads the in-memory dialog templates the script builds (DLGTEMPLATE
// followed by DLGITEMTEMPLATE records): the dialog's frame and its controls.
// A desktop uses it to find the group buttons of a group page, and tests use
// it to check a template's layout. Every count, offset and text is checked
// against the bytes given; a template that runs past them is refused.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace install::ui {

// Button styles of group pages (the low four bits of a button's style).
enum : uint32_t {
  kButtonTypeMask = 0x0000000Fu,
  kAutoCheckBoxStyle = 0x00000003u,
  kAutoRadioButtonStyle = 0x00000009u,
};
enum : uint16_t { kButtonClassAtom = 0x0080, kStaticClassAtom = 0x0082 };

struct TemplateControl {
  uint32_t style = 0;
  int16_t x = 0, y = 0, cx = 0, cy = 0;
  uint16_t id = 0;
  uint16_t class_atom = 0;  // 0 when the class is given by name
  std::string class_name;
  std::string text;         // UTF-16 units above 0xFF read as '?'
};

struct TemplateView {
  uint32_t style = 0;
  int16_t x = 0, y = 0, cx = 0, cy = 0;
  uint16_t point_size = 0;  // with DS_SETFONT
  std::string face;
  std::vector<TemplateControl> controls;
};

// nullopt when the bytes end before the template does.
std::optional<TemplateView> ReadDialogTemplate(const std::vector<uint8_t>& bytes);

// The ids of a group page's buttons (auto check boxes and auto radio
// buttons), in template order.
std::vector<uint16_t> GroupButtonIds(const TemplateView& view);

}  // namespace install::ui
