// In-memory dialog templates: the byte layout of DLGTEMPLATE followed by
// DLGITEMTEMPLATE records, as CreateDialogIndirect and DialogBoxIndirect read
// them. Built portably (little-endian, DWORD-aligned items) so that the bytes
// can be checked on any machine.
//
// Layout written here:
//   DLGTEMPLATE: style u32, extended style u32, item count u16, x, y, cx, cy
//   (i16 each); menu (u16 0 = none); class (u16 0 = default); title (UTF-16,
//   terminated; empty = one u16 0); with DS_SETFONT: point size u16 and the
//   face name (UTF-16, terminated).
//   Each item, aligned to 4 bytes from the template's start: style u32,
//   extended style u32, x, y, cx, cy (i16 each), id u16, class as 0xFFFF and
//   an atom (0x0080 button, 0x0082 static), title (UTF-16, terminated),
//   creation data size u16 (0).
// Texts are 8-bit; each byte becomes one UTF-16 unit (bytes above 0x7F are
// taken as Latin-1).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace install::script {

// Window and control styles (values of WS_*, DS_*, SS_*, BS_*).
enum : uint32_t {
  kWsPopup = 0x80000000u,
  kWsChild = 0x40000000u,
  kWsVisible = 0x10000000u,
  kWsCaption = 0x00C00000u,
  kWsSysMenu = 0x00080000u,
  kWsGroup = 0x00020000u,
  kWsTabStop = 0x00010000u,
  kDsModalFrame = 0x00000080u,
  kDsSetFont = 0x00000040u,
  kWsDlgFrame = 0x00400000u,
  kSsLeft = 0x00000000u,
  kBsPushButton = 0x00000000u,
  kBsDefPushButton = 0x00000001u,
  kBsAutoCheckBox = 0x00000003u,
  kBsAutoRadioButton = 0x00000009u,
};

enum : uint16_t { kClassButton = 0x0080, kClassStatic = 0x0082 };

// The dialog's own storage is 3072 bytes; a template that would not fit is
// refused.
inline constexpr std::size_t kDialogTemplateCapacity = 3072;

struct DialogTemplate {
  std::vector<uint8_t> bytes;
};

struct DialogItem {
  uint32_t style = 0;
  int16_t x = 0, y = 0, cx = 0, cy = 0;
  uint16_t id = 0;
  uint16_t class_atom = kClassStatic;
  std::string text;
};

struct DialogHeader {
  uint32_t style = 0;
  int16_t x = 0, y = 0, cx = 0, cy = 0;
  uint16_t point_size = 0;  // written with the face when style has kDsSetFont
  std::string face;
};

// Writes the template. False when it would exceed `capacity` bytes (then
// `out` is left empty).
bool BuildDialogTemplate(const DialogHeader& header, const std::vector<DialogItem>& items,
                         DialogTemplate& out, std::size_t capacity = kDialogTemplateCapacity);

}  // namespace install::script
