// The version text of a Win32 program or library, read out of the PE file
// itself (for machines that have no version API; the Win32 machine asks the
// system).
//
// Format notes (all numbers little-endian):
//   DOS header      "MZ"; offset 0x3C: file offset of the PE header
//   PE header       "PE\0\0", then the 20-byte file header: section count at
//                   +6 (2 bytes), optional header size at +20 (2 bytes)
//   optional header magic 0x10B (PE32: data directory count at +92, entries
//                   at +96) or 0x20B (PE32+: +108, +112); entry 2 is the
//                   resource directory (RVA, size)
//   sections        40 bytes each after the optional header: virtual size +8,
//                   virtual address +12, raw size +16, raw offset +20
//   resources       a three-level tree (type, name, language) of directories:
//                   16 bytes, named entry count +12, id entry count +14, then
//                   8-byte entries (name or id; offset, high bit = subdirectory,
//                   relative to the resource directory). A leaf is a 16-byte
//                   data entry: data RVA, size. The version resource is type 16;
//                   its first name is taken, in language 0x409 (US English, as
//                   on an English system), else neutral (0), else the first.
//   version block   length (2), value length (2), type (2: 1 = text), a UTF-16
//                   key with its NUL, padding to 4 bytes, the value, padding to
//                   4 bytes, then child blocks up to the block's length:
//                   "VS_VERSION_INFO" > "StringFileInfo" > "040904E4" (table)
//                   > "FileVersion" (text value).
// Every offset and size comes from the file and is checked against the file,
// the section and the enclosing block before it is used; the tree walk is
// bounded in depth and in entries.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace install::os {

// Version texts are cut to this many characters.
inline constexpr size_t kVersionTextCapacity = 99;
// Larger version resources are not read.
inline constexpr uint32_t kMaxVersionResourceSize = 1u << 20;

// Reads `count` bytes at `offset` of the file into `out`; false when they are
// not all there.
using PeReadAt = std::function<bool(uint64_t offset, void* out, uint32_t count)>;

// The FileVersion text of table "040904E4", else of table "040904B0" (table
// and key names compared without regard to case), converted to 8-bit text
// (characters above 0xFF become "?") and cut to 99 characters. False when the
// file is not a PE file, has no version resource, or neither value exists.
bool ReadPeVersionText(const PeReadAt& read_at, uint64_t file_size, std::string* text);

// The same over bytes in memory.
bool ReadPeVersionText(const uint8_t* data, size_t size, std::string* text);

}  // namespace install::os
