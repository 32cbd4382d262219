#include "install/ui/bmp_image.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <vector>

#include "install/os/host/host_machine.h"

namespace install::ui {
namespace {

void Put16(std::vector<uint8_t>& b, std::size_t at, uint32_t v) {
  b[at] = static_cast<uint8_t>(v);
  b[at + 1] = static_cast<uint8_t>(v >> 8);
}
void Put32(std::vector<uint8_t>& b, std::size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

// A bottom-up uncompressed BMP; colour i of the table is (i, 2i, 3i); every
// pixel byte is `fill`.
std::vector<uint8_t> MakeBmp(int32_t width, int32_t height, uint16_t bits, uint32_t colors_field,
                             uint32_t table_entries, uint8_t fill = 0x5A) {
  const uint32_t stride = ((bits * static_cast<uint32_t>(width) + 31) / 32) * 4;
  const uint32_t rows = static_cast<uint32_t>(height < 0 ? -height : height);
  const uint32_t offset = 14 + 40 + table_entries * 4;
  std::vector<uint8_t> b(offset + stride * rows, fill);
  std::memset(b.data(), 0, offset);
  b[0] = 'B';
  b[1] = 'M';
  Put32(b, 2, static_cast<uint32_t>(b.size()));
  Put32(b, 10, offset);
  Put32(b, 14, 40);
  Put32(b, 18, static_cast<uint32_t>(width));
  Put32(b, 22, static_cast<uint32_t>(height));
  Put16(b, 26, 1);
  Put16(b, 28, bits);
  Put32(b, 46, colors_field);
  for (uint32_t i = 0; i < table_entries; ++i) {
    b[54 + 4 * i] = static_cast<uint8_t>(i);
    b[55 + 4 * i] = static_cast<uint8_t>(2 * i);
    b[56 + 4 * i] = static_cast<uint8_t>(3 * i);
  }
  return b;
}

TEST(BmpImageTest, ReadsPalettedAndTrueColourPictures) {
  BmpImage image;
  std::vector<uint8_t> eight = MakeBmp(5, 3, 8, 0, 256);
  ASSERT_TRUE(ReadBmp(eight.data(), eight.size(), &image));
  EXPECT_EQ(image.width, 5);
  EXPECT_EQ(image.height, 3);
  EXPECT_EQ(image.colors_used, 256u);  // 0 in the file: 2 to the bit count
  EXPECT_EQ(image.image_size, 8u * 3);  // rows padded to 4 bytes
  EXPECT_EQ(image.pixel_offset, 40u + 256 * 4);
  EXPECT_EQ(image.block.size(), 40u + 1024 + 24);
  EXPECT_EQ(image.colour_table()[4 * 7 + 1], 14);
  EXPECT_EQ(image.pixels()[0], 0x5A);

  std::vector<uint8_t> sixteen_colours = MakeBmp(3, 2, 4, 16, 16);
  ASSERT_TRUE(ReadBmp(sixteen_colours.data(), sixteen_colours.size(), &image));
  EXPECT_EQ(image.colors_used, 16u);

  std::vector<uint8_t> rgb = MakeBmp(3, 2, 24, 0, 0);
  ASSERT_TRUE(ReadBmp(rgb.data(), rgb.size(), &image));
  EXPECT_EQ(image.colors_used, 0u);  // no colour table
  EXPECT_EQ(image.image_size, 12u * 2);
  EXPECT_EQ(image.pixel_offset, 40u);

  // 32 bits per pixel with no colour count has no table (not 2^32 entries).
  std::vector<uint8_t> thirty_two = MakeBmp(2, 2, 32, 0, 0);
  ASSERT_TRUE(ReadBmp(thirty_two.data(), thirty_two.size(), &image));
  EXPECT_EQ(image.colors_used, 0u);

  std::vector<uint8_t> top_down = MakeBmp(4, -2, 8, 2, 2);
  ASSERT_TRUE(ReadBmp(top_down.data(), top_down.size(), &image));
  EXPECT_TRUE(image.top_down);
  EXPECT_EQ(image.height, 2);
}

TEST(BmpImageTest, PixelRowsAreFoundThroughTheBitsOffset) {
  std::vector<uint8_t> b = MakeBmp(4, 1, 8, 2, 2, 0x11);
  // Move the rows 6 bytes further out and point the offset at them.
  b.insert(b.begin() + 14 + 40 + 8, 6, 0xEE);
  Put32(b, 10, 14 + 40 + 8 + 6);
  BmpImage image;
  ASSERT_TRUE(ReadBmp(b.data(), b.size(), &image));
  EXPECT_EQ(image.pixels()[0], 0x11);
  EXPECT_EQ(image.pixels()[3], 0x11);
}

TEST(BmpImageTest, LongerHeadersKeepTheirColourTableAfterTheHeader) {
  std::vector<uint8_t> b = MakeBmp(4, 1, 8, 2, 2, 0x33);
  b.insert(b.begin() + 54, 68, 0);  // a 108-byte header
  Put32(b, 14, 108);
  Put32(b, 10, 14 + 108 + 8);
  BmpImage image;
  ASSERT_TRUE(ReadBmp(b.data(), b.size(), &image));
  EXPECT_EQ(image.colour_table()[4 * 1 + 2], 3);  // colour 1 is (1, 2, 3): red 3
  EXPECT_EQ(image.block[0], 40);  // the kept header is the 40-byte kind
  EXPECT_EQ(image.pixels()[0], 0x33);
}

TEST(BmpImageTest, RefusesFilesThatAreNotCompleteBmps) {
  BmpImage image;
  std::vector<uint8_t> good = MakeBmp(7, 5, 8, 0, 256);
  ASSERT_TRUE(ReadBmp(good.data(), good.size(), &image));

  auto refused = [&](std::vector<uint8_t> bytes) {
    BmpImage out;
    out.width = 99;
    const bool ok = ReadBmp(bytes.data(), bytes.size(), &out);
    return !ok && !out.valid() && out.width == 0;
  };
  std::vector<uint8_t> not_bmp = good;
  not_bmp[0] = 'P';
  EXPECT_TRUE(refused(not_bmp));
  std::vector<uint8_t> core = good;
  Put32(core, 14, 12);
  EXPECT_TRUE(refused(core));
  // Cut anywhere: header, colour table, last pixel byte.
  for (std::size_t cut : {std::size_t{0}, std::size_t{13}, std::size_t{30}, std::size_t{54},
                          std::size_t{54 + 512}, good.size() - 1}) {
    EXPECT_TRUE(refused(std::vector<uint8_t>(good.begin(), good.begin() + cut))) << cut;
  }
  std::vector<uint8_t> header_past_end = good;
  Put32(header_past_end, 14, 0x7FFFFFF0);
  EXPECT_TRUE(refused(header_past_end));
  std::vector<uint8_t> offset_past_end = good;
  Put32(offset_past_end, 10, 0xFFFFFFF0);
  EXPECT_TRUE(refused(offset_past_end));
  std::vector<uint8_t> too_many_colours = good;
  Put32(too_many_colours, 46, 257);
  EXPECT_TRUE(refused(too_many_colours));
  std::vector<uint8_t> table_overflow = good;
  Put32(table_overflow, 46, 0x40000001);
  EXPECT_TRUE(refused(table_overflow));
  std::vector<uint8_t> huge = good;
  Put32(huge, 18, 0x7FFFFFFF);  // the rows would be far past the end
  EXPECT_TRUE(refused(huge));
  std::vector<uint8_t> wide_enough_to_wrap = good;
  Put32(wide_enough_to_wrap, 18, 0x80000000u);  // negative width
  EXPECT_TRUE(refused(wide_enough_to_wrap));
  std::vector<uint8_t> no_rows = good;
  Put32(no_rows, 22, 0);
  EXPECT_TRUE(refused(no_rows));
  std::vector<uint8_t> odd_bits = good;
  Put16(odd_bits, 28, 7);
  EXPECT_TRUE(refused(odd_bits));
  std::vector<uint8_t> bitfields = good;
  Put32(bitfields, 30, kBmpBitFields);
  EXPECT_TRUE(refused(bitfields));
  // A stated image size smaller than the rows: the rows are still all needed.
  std::vector<uint8_t> small_size = good;
  Put32(small_size, 34, 4);
  small_size.resize(small_size.size() - 8);
  EXPECT_TRUE(refused(small_size));
  EXPECT_FALSE(ReadBmp(nullptr, 0, &image));
}

TEST(BmpImageTest, RunLengthPicturesNeedTheirStatedSizeInTheFile) {
  std::vector<uint8_t> b = MakeBmp(4, 2, 8, 0, 256);
  Put32(b, 30, kBmpRle8);
  BmpImage image;
  EXPECT_FALSE(ReadBmp(b.data(), b.size(), &image));  // no size stated
  Put32(b, 34, 6);
  ASSERT_TRUE(ReadBmp(b.data(), b.size(), &image));
  EXPECT_EQ(image.image_size, 6u);
  Put32(b, 34, 9);  // the file holds 8 bytes of rows
  EXPECT_FALSE(ReadBmp(b.data(), b.size(), &image));
  Put32(b, 34, 6);
  Put16(b, 28, 4);  // RLE8 needs 8 bits per pixel
  EXPECT_FALSE(ReadBmp(b.data(), b.size(), &image));
}

TEST(BmpImageTest, LoadsThroughTheMachineAndFailsQuietly) {
  const std::filesystem::path local =
      std::filesystem::path(::testing::TempDir()) / "bmp_image_test_drive";
  std::filesystem::remove_all(local);
  std::filesystem::create_directories(local);
  os::HostMachine machine;
  machine.MapDrive('D', local, os::DriveType::Fixed);
  const std::string dir = "D:";
  std::vector<uint8_t> bytes = MakeBmp(9, 4, 24, 0, 0, 0x42);
  const std::string path = dir + "\\PICTURE.BMP";
  {
    std::unique_ptr<os::File> file = machine.Open(path, os::OpenMode::Create);
    ASSERT_TRUE(file);
    ASSERT_EQ(file->Write(bytes.data(), static_cast<uint32_t>(bytes.size())),
              static_cast<int32_t>(bytes.size()));
  }
  BmpImage image = LoadBmpFile(machine, path);
  ASSERT_TRUE(image.valid());
  EXPECT_EQ(image.width, 9);
  EXPECT_EQ(image.pixels()[image.image_size - 1], 0x42);
  EXPECT_FALSE(LoadBmpFile(machine, dir + "\\NOSUCH.BMP").valid());
  {
    std::unique_ptr<os::File> file = machine.Open(path, os::OpenMode::Create);
    ASSERT_TRUE(file);
    file->Write(bytes.data(), 60);
  }
  EXPECT_FALSE(LoadBmpFile(machine, path).valid());
  std::filesystem::remove_all(local);
}

}  // namespace
}  // namespace install::ui
