#include "install/ui/win32/screen_picture.h"

#include <algorithm>
#include <cstring>

namespace install::ui {

ScreenPicture& ScreenPicture::operator=(ScreenPicture&& other) noexcept {
  if (this != &other) {
    Free();
    image_ = std::move(other.image_);
    placement_ = other.placement_;
    palette_ = std::move(other.palette_);
    index_header_ = std::move(other.index_header_);
    other.image_ = BmpImage{};
  }
  return *this;
}

bool ScreenPicture::NeedsBackground(int window_width, int window_height) const {
  return ui::NeedsBackground(has_bitmap(), placement_, image_.width, image_.height, window_width,
                             window_height);
}

void ScreenPicture::Free() {
  palette_.Reset();
  index_header_.clear();
  image_ = BmpImage{};
}

void ScreenPicture::MakePalette() {
  const uint32_t count = image_.colors_used;
  std::vector<uint8_t> storage(sizeof(LOGPALETTE) + count * sizeof(PALETTEENTRY));
  auto* logical = reinterpret_cast<LOGPALETTE*>(storage.data());
  logical->palVersion = 0x300;
  logical->palNumEntries = static_cast<WORD>(count);
  const uint8_t* table = image_.colour_table();
  for (uint32_t i = 0; i < count; ++i) {
    // The colour table holds blue, green, red, reserved.
    logical->palPalEntry[i].peRed = table[4 * i + 2];
    logical->palPalEntry[i].peGreen = table[4 * i + 1];
    logical->palPalEntry[i].peBlue = table[4 * i];
    logical->palPalEntry[i].peFlags = 0;
  }
  palette_.Reset(CreatePalette(logical));
  if (image_.bit_count <= 8) {
    index_header_.assign(kBmpInfoHeaderSize + count * sizeof(WORD), 0);
    std::memcpy(index_header_.data(), image_.block.data(), kBmpInfoHeaderSize);
    for (uint32_t i = 0; i < count; ++i) {
      const WORD index = static_cast<WORD>(i);
      std::memcpy(index_header_.data() + kBmpInfoHeaderSize + i * sizeof(WORD), &index, sizeof index);
    }
  }
}

void ScreenPicture::Draw(HDC dc, int window_width, int window_height) {
  if (!has_bitmap()) return;
  const std::vector<PictureCopy> copies =
      PlacePicture(placement_, image_.width, image_.height, window_width, window_height);
  if (copies.empty()) return;

  const BITMAPINFO* header = reinterpret_cast<const BITMAPINFO*>(image_.block.data());
  UINT usage = DIB_RGB_COLORS;
  if (UsesPalette() && !palette_) MakePalette();
  const HPALETTE palette = UsesPalette() ? palette_.get() : nullptr;
  SelectedPalette selected_palette(dc, palette);
  if (palette) {
    RealizePalette(dc);
    if (!index_header_.empty()) {
      header = reinterpret_cast<const BITMAPINFO*>(index_header_.data());
      usage = DIB_PAL_COLORS;
    }
  }

  MemoryDc memory(dc);
  BitmapObject bitmap(CreateCompatibleBitmap(dc, image_.width, image_.height));
  if (!memory.get() || !bitmap) return;
  SetDIBits(dc, bitmap.get(), 0, static_cast<UINT>(image_.height), image_.pixels(), header, usage);
  SelectedObject selected_bitmap(memory.get(), bitmap.get());
  if (placement_ == kPlaceTile) {
    DrawTiled(dc, memory.get(), window_width, window_height);
    return;
  }
  for (const PictureCopy& copy : copies) {
    BitBlt(dc, copy.x, copy.y, copy.width, copy.height, memory.get(), copy.source_x, copy.source_y,
           SRCCOPY);
  }
}

void ScreenPicture::DrawTiled(HDC dc, HDC picture, int window_width, int window_height) {
  const int block_width = TileBlockSide(image_.width);
  const int block_height = TileBlockSide(image_.height);
  MemoryDc block(dc);
  BitmapObject block_bitmap(CreateCompatibleBitmap(dc, block_width, block_height));
  if (!block.get() || !block_bitmap) return;
  SelectedObject selected_block(block.get(), block_bitmap.get());
  BitBlt(block.get(), 0, 0, image_.width, image_.height, picture, 0, 0, SRCCOPY);
  // Each copy repeats all that is filled so far: rows first, then columns.
  for (int filled = image_.width; filled < block_width; filled *= 2) {
    BitBlt(block.get(), filled, 0, std::min(filled, block_width - filled), image_.height, block.get(), 0, 0,
           SRCCOPY);
  }
  for (int filled = image_.height; filled < block_height; filled *= 2) {
    BitBlt(block.get(), 0, filled, block_width, std::min(filled, block_height - filled), block.get(), 0, 0,
           SRCCOPY);
  }
  for (const PictureCopy& copy : PlacePicture(kPlaceTile, block_width, block_height, window_width, window_height)) {
    BitBlt(dc, copy.x, copy.y, copy.width, copy.height, block.get(), 0, 0, SRCCOPY);
  }
}

}  // namespace install::ui
