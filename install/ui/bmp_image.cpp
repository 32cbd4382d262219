#include "install/ui/bmp_image.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace install::ui {
namespace {

uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t U32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
int32_t I32(const uint8_t* p) { return static_cast<int32_t>(U32(p)); }
void PutU32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

bool ValidBitCount(uint16_t bits) {
  return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

// Byte ranges of the file, all checked against its size: [begin, begin + length).
bool Within(uint64_t begin, uint64_t length, uint64_t size) {
  return begin <= size && length <= size - begin;
}

}  // namespace

uint64_t BmpRowStride(int32_t width, uint16_t bit_count) {
  if (width <= 0) return 0;
  return ((static_cast<uint64_t>(bit_count) * static_cast<uint64_t>(width) + 31) / 32) * 4;
}

bool ReadBmp(const uint8_t* data, std::size_t size, BmpImage* image) {
  *image = BmpImage{};
  if (!data || size < kBmpFileHeaderSize + kBmpInfoHeaderSize) return false;
  if (data[0] != 'B' || data[1] != 'M') return false;
  const uint32_t bits_offset = U32(data + 10);
  const uint8_t* info = data + kBmpFileHeaderSize;
  const uint32_t header_size = U32(info);
  // 12 is the old core header; anything below 40 is no information header.
  // Later, longer headers start with the same 40 bytes.
  if (header_size < kBmpInfoHeaderSize || !Within(kBmpFileHeaderSize, header_size, size)) {
    return false;
  }
  const int32_t width = I32(info + 4);
  const int32_t raw_height = I32(info + 8);
  const uint16_t bit_count = U16(info + 14);
  const uint32_t compression = U32(info + 16);
  const uint32_t given_image_size = U32(info + 20);
  uint32_t colors = U32(info + 32);

  if (width <= 0 || width > kBmpMaxDimension) return false;
  if (raw_height == 0 || raw_height < -kBmpMaxDimension || raw_height > kBmpMaxDimension) {
    return false;
  }
  const bool top_down = raw_height < 0;
  const int32_t height = top_down ? -raw_height : raw_height;
  if (!ValidBitCount(bit_count)) return false;
  if (compression == kBmpRle8 ? bit_count != 8
      : compression == kBmpRle4 ? bit_count != 4
      : compression != kBmpRgb) {
    return false;
  }
  if (compression != kBmpRgb && top_down) return false;  // run-length pictures are bottom-up

  // Colour table: by default a full one for up to 8 bits per pixel, none above.
  const uint32_t max_colors = bit_count <= 8 ? (1u << bit_count) : 256u;
  if (colors == 0) colors = bit_count <= 8 ? (1u << bit_count) : 0u;
  if (colors > max_colors) return false;
  const uint64_t table_begin = uint64_t{kBmpFileHeaderSize} + header_size;
  const uint64_t table_bytes = uint64_t{colors} * 4;
  if (!Within(table_begin, table_bytes, size)) return false;

  // Pixel rows: uncompressed ones always need the full stride times height,
  // whatever the header says, because that is what drawing reads.
  uint64_t image_bytes = 0;
  if (compression == kBmpRgb) {
    image_bytes = BmpRowStride(width, bit_count) * static_cast<uint64_t>(height);
  } else {
    if (given_image_size == 0) return false;
    image_bytes = given_image_size;
  }
  if (image_bytes == 0 || image_bytes > std::numeric_limits<uint32_t>::max()) return false;
  const uint64_t pixels_begin = bits_offset != 0 ? bits_offset : table_begin + table_bytes;
  if (!Within(pixels_begin, image_bytes, size)) return false;

  image->block.resize(kBmpInfoHeaderSize + table_bytes + image_bytes);
  uint8_t* block = image->block.data();
  std::memcpy(block, info, kBmpInfoHeaderSize);
  PutU32(block, kBmpInfoHeaderSize);
  PutU32(block + 20, static_cast<uint32_t>(image_bytes));
  PutU32(block + 32, colors);
  if (table_bytes) std::memcpy(block + kBmpInfoHeaderSize, data + table_begin, table_bytes);
  std::memcpy(block + kBmpInfoHeaderSize + table_bytes, data + pixels_begin, image_bytes);

  image->pixel_offset = static_cast<uint32_t>(kBmpInfoHeaderSize + table_bytes);
  image->width = width;
  image->height = height;
  image->top_down = top_down;
  image->bit_count = bit_count;
  image->compression = compression;
  image->colors_used = colors;
  image->image_size = static_cast<uint32_t>(image_bytes);
  return true;
}

BmpImage LoadBmpFile(os::Machine& machine, const std::string& path) {
  BmpImage image;
  std::unique_ptr<os::File> file = machine.Open(path, os::OpenMode::Read);
  if (!file) return image;
  const int64_t size = file->Seek(0, 2);
  if (size <= 0 || size > kBmpMaxFileSize || file->Seek(0, 0) != 0) return image;
  std::vector<uint8_t> bytes(static_cast<std::size_t>(size));
  std::size_t done = 0;
  while (done < bytes.size()) {
    const uint32_t chunk = static_cast<uint32_t>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
    const int32_t got = file->Read(bytes.data() + done, chunk);
    if (got <= 0) return image;
    done += static_cast<std::size_t>(got);
  }
  ReadBmp(bytes.data(), bytes.size(), &image);
  return image;
}

}  // namespace install::ui
