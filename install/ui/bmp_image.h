// A device-independent bitmap read from a BMP file, kept as one block: the
// 40-byte information header, the colour table and the pixel rows, the form
// the GDI bitmap calls take directly.
//
// Every size and offset in the file is checked against the file before it is
// used: a file that is not a BMP, has the old 12-byte core header, or is cut
// short is refused as a whole, and nothing outside the file is ever read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "install/os/machine.h"

namespace install::ui {

inline constexpr uint32_t kBmpFileHeaderSize = 14;
inline constexpr uint32_t kBmpInfoHeaderSize = 40;
// Larger pictures than this are refused (a full screen of the era is far below).
inline constexpr int32_t kBmpMaxDimension = 16384;
// Larger files are not read at all.
inline constexpr int64_t kBmpMaxFileSize = int64_t{64} << 20;

enum : uint32_t { kBmpRgb = 0, kBmpRle8 = 1, kBmpRle4 = 2, kBmpBitFields = 3 };

struct BmpImage {
  // Header (always 40 bytes here, whatever the file's header size was),
  // colour table of colors_used entries (4 bytes each), then the pixel rows.
  std::vector<uint8_t> block;
  uint32_t pixel_offset = 0;  // of the pixel rows in `block`
  int32_t width = 0;
  int32_t height = 0;         // always positive; top_down keeps the row order
  bool top_down = false;
  uint16_t bit_count = 0;
  uint32_t compression = kBmpRgb;
  uint32_t colors_used = 0;   // entries of the colour table
  uint32_t image_size = 0;    // bytes of pixel rows

  bool valid() const { return !block.empty(); }
  const uint8_t* colour_table() const { return block.data() + kBmpInfoHeaderSize; }
  const uint8_t* pixels() const { return block.data() + pixel_offset; }
};

// Bytes of one pixel row: rows are padded to a multiple of 4 bytes.
uint64_t BmpRowStride(int32_t width, uint16_t bit_count);

// Reads a whole BMP file image. False (and `image` left empty) when the bytes
// are not a complete, consistent BMP.
bool ReadBmp(const uint8_t* data, std::size_t size, BmpImage* image);

// Reads a BMP file through the machine. Any failure leaves an empty image.
BmpImage LoadBmpFile(os::Machine& machine, const std::string& path);

}  // namespace install::ui
