// Fuzz target for the BMP reader (libFuzzer).
//
// A picture that reads must hold what its fields promise: a 40-byte header,
// its colour table and every pixel row inside the block, a positive size.
#include <cstdint>

#include "fuzz/fuzz_support.h"
#include "install/ui/bmp_image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace install::ui;
  BmpImage image;
  if (!ReadBmp(data, size, &image)) {
    if (image.valid()) fuzz::Broken("a refused picture kept a block");
    return 0;
  }
  if (image.width <= 0 || image.height <= 0) fuzz::Broken("a picture without pixels");
  const uint64_t rows = BmpRowStride(image.width, image.bit_count) * uint64_t(image.height);
  if (image.pixel_offset < kBmpInfoHeaderSize + uint64_t(image.colors_used) * 4) {
    fuzz::Broken("the pixels overlap the colour table");
  }
  if (image.compression == kBmpRgb && image.pixel_offset + rows > image.block.size()) {
    fuzz::Broken("pixel rows beyond the block");
  }
  if (uint64_t(image.pixel_offset) + image.image_size > image.block.size()) fuzz::Broken("image size beyond the block");
  // Every byte the painter may touch is readable.
  volatile uint8_t sum = 0;
  for (uint8_t byte : image.block) sum = uint8_t(sum + byte);
  return 0;
}
