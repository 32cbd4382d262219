// The backdrop's portable decisions: gradient bands, picture placement and
// cropping, the title's fitting steps and the please-wait box.
#include <gtest/gtest.h>

#include <vector>

#include "install/ui/picture_placement.h"
#include "install/ui/please_wait_layout.h"
#include "install/ui/screen_gradient.h"
#include "install/ui/title_font_fit.h"

namespace install::ui {
namespace {

TEST(BackgroundBandsTest, EqualColoursFillFlat) {
  const Rgb red{255, 0, 0};
  std::vector<ColourBand> bands = BackgroundBands(red, red, 768);
  ASSERT_EQ(bands.size(), 1u);
  EXPECT_EQ(bands[0].top, 0);
  EXPECT_EQ(bands[0].height, 768);
  EXPECT_EQ(bands[0].colour, red);
}

TEST(BackgroundBandsTest, DifferentColoursGiveEightPixelBandsFromTheTopColour) {
  // 768 / 8 = 96 bands plus one; blue steps down by 255 / 96 = 2 each band.
  std::vector<ColourBand> bands = BackgroundBands(Rgb{0, 0, 255}, Rgb{0, 0, 0}, 768);
  ASSERT_EQ(bands.size(), 97u);
  EXPECT_EQ(bands[0].colour, (Rgb{0, 0, 255}));
  EXPECT_EQ(bands[1].top, 8);
  EXPECT_EQ(bands[1].colour, (Rgb{0, 0, 253}));
  EXPECT_EQ(bands[50].colour, (Rgb{0, 0, 155}));
  EXPECT_EQ(bands[96].top, 768);
  EXPECT_EQ(bands[96].colour, (Rgb{0, 0, 63}));  // integer steps stop short of black
  for (const ColourBand& band : bands) EXPECT_EQ(band.height, 8);

  // Rising and falling channels at once: (200, 0, 10) -> (0, 100, 10) over 10 bands.
  bands = BackgroundBands(Rgb{200, 0, 10}, Rgb{0, 100, 10}, 80);
  ASSERT_EQ(bands.size(), 11u);
  EXPECT_EQ(bands[3].colour, (Rgb{140, 30, 10}));
  EXPECT_EQ(bands[10].colour, (Rgb{0, 100, 10}));
}

TEST(BackgroundBandsTest, AreaLowerThanOneBandGetsTheTopColour) {
  std::vector<ColourBand> bands = BackgroundBands(Rgb{9, 9, 9}, Rgb{0, 0, 0}, 5);
  ASSERT_EQ(bands.size(), 1u);
  EXPECT_EQ(bands[0].colour, (Rgb{9, 9, 9}));
  EXPECT_EQ(BackgroundBands(Rgb{9, 9, 9}, Rgb{0, 0, 0}, 0).size(), 1u);
}

TEST(PicturePlacementTest, PlacementsOnAScreen) {
  auto at = [](int placement) {
    std::vector<PictureCopy> copies = PlacePicture(placement, 640, 480, 1024, 768);
    EXPECT_EQ(copies.size(), 1u);
    return copies.empty() ? std::pair{-1, -1} : std::pair{copies[0].x, copies[0].y};
  };
  EXPECT_EQ(at(kPlaceCentred), (std::pair{192, 144}));
  EXPECT_EQ(at(kPlaceTopLeft), (std::pair{0, 0}));
  EXPECT_EQ(at(kPlaceTopMiddle), (std::pair{192, 0}));
  EXPECT_EQ(at(kPlaceTopRight), (std::pair{385, 0}));
  EXPECT_EQ(at(kPlaceMiddleRight), (std::pair{385, 144}));
  EXPECT_EQ(at(kPlaceBottomRight), (std::pair{385, 289}));
  EXPECT_EQ(at(kPlaceBottomMiddle), (std::pair{192, 289}));
  EXPECT_EQ(at(kPlaceBottomLeft), (std::pair{0, 289}));
  EXPECT_EQ(at(kPlaceMiddleLeft), (std::pair{0, 144}));
  EXPECT_TRUE(PlacePicture(kPlaceFullScreen, 640, 480, 1024, 768).empty());
}

TEST(PicturePlacementTest, LargerPictureIsCroppedToItsMiddle) {
  std::vector<PictureCopy> copies = PlacePicture(kPlaceBottomRight, 640, 480, 600, 400);
  ASSERT_EQ(copies.size(), 1u);
  EXPECT_EQ(copies[0], (PictureCopy{0, 0, 19, 39, 601, 401}));
  // Exactly one pixel wider than the window is not cropped.
  copies = PlacePicture(kPlaceCentred, 601, 10, 600, 400);
  EXPECT_EQ(copies[0].source_x, 0);
  EXPECT_EQ(copies[0].width, 601);
}

TEST(PicturePlacementTest, TiledPicturesAreRepeatedIntoABlockOfAtLeast64Pixels) {
  EXPECT_EQ(TileBlockSide(1), 64);
  EXPECT_EQ(TileBlockSide(3), 66) << "a whole number of pictures, so the block tiles as the picture does";
  EXPECT_EQ(TileBlockSide(63), 126);
  EXPECT_EQ(TileBlockSide(64), 64);
  EXPECT_EQ(TileBlockSide(65), 65);
  EXPECT_EQ(TileBlockSide(0), 0);
  // A 1 x 1 picture over a 1024 x 768 screen: 192 copies of the block, not 786,432 of the picture.
  EXPECT_EQ(PlacePicture(kPlaceTile, TileBlockSide(1), TileBlockSide(1), 1024, 768).size(), 192u);
}

TEST(PicturePlacementTest, TileCoversTheWindowInRows) {
  std::vector<PictureCopy> tiles = PlacePicture(kPlaceTile, 100, 50, 250, 120);
  ASSERT_EQ(tiles.size(), 9u);
  EXPECT_EQ(tiles[0], (PictureCopy{0, 0, 0, 0, 100, 50}));
  EXPECT_EQ(tiles[2], (PictureCopy{200, 0, 0, 0, 100, 50}));
  EXPECT_EQ(tiles[8], (PictureCopy{200, 100, 0, 0, 100, 50}));
  EXPECT_TRUE(PlacePicture(kPlaceTile, 0, 50, 250, 120).empty());
}

TEST(PicturePlacementTest, BackgroundIsNeededAroundAnUncoveringPicture) {
  EXPECT_TRUE(NeedsBackground(false, kPlaceTile, 2000, 2000, 1024, 768));
  EXPECT_FALSE(NeedsBackground(true, kPlaceTile, 10, 10, 1024, 768));
  EXPECT_TRUE(NeedsBackground(true, kPlaceCentred, 1024, 769, 1024, 768));
  EXPECT_TRUE(NeedsBackground(true, kPlaceCentred, 1025, 768, 1024, 768));
  EXPECT_FALSE(NeedsBackground(true, kPlaceCentred, 1025, 769, 1024, 768));
  EXPECT_TRUE(NeedsBackground(true, kPlaceFullScreen, 640, 480, 1024, 768));
}

TEST(TitleFontTest, LongTitleShrinksInStepsOfFourFromForty) {
  std::vector<int> tried;
  // 20 pixels of width per pixel of height: on a 600-pixel screen the title
  // must fit 580 pixels, which height 28 (560) does and 32 (640) does not.
  auto width_at = [&](int height, int weight) {
    EXPECT_EQ(weight, 700);
    tried.push_back(height);
    return height * 20;
  };
  TitleFontChoice choice = ChooseTitleFont(0, false, 600, width_at);
  EXPECT_EQ(choice.height, 28);
  EXPECT_EQ(choice.weight, 700);
  EXPECT_EQ(tried, (std::vector<int>{40, 36, 32, 28}));

  // Never fits: stops once the height is below 5.
  choice = ChooseTitleFont(0, false, 600, [](int, int) { return 10000; });
  EXPECT_EQ(choice.height, 4);
}

TEST(TitleFontTest, FixedSizeIsNeverShrunk) {
  int calls = 0;
  auto width_at = [&](int, int) { ++calls; return 100000; };
  TitleFontChoice choice = ChooseTitleFont(72, false, 640, width_at);
  EXPECT_EQ(choice.height, 72);
  EXPECT_EQ(choice.weight, 400);
  EXPECT_EQ(ChooseTitleFont(30, true, 640, width_at).weight, 700);
  EXPECT_EQ(calls, 0);
}

TEST(PleaseWaitLayoutTest, BoxAroundTheMiddleFifth) {
  PleaseWaitLayout layout = LayOutPleaseWait(1024, 768, 1024, 0);
  EXPECT_EQ(layout.face, "MS Sans Serif");
  EXPECT_EQ(layout.margin, 8);
  EXPECT_EQ(layout.font_height, 30);
  EXPECT_EQ(layout.font_weight, 600);
  EXPECT_EQ(layout.frame, (BoxRect{242, 303, 782, 464}));
  EXPECT_EQ(layout.panel, (BoxRect{248, 307, 776, 460}));
  EXPECT_EQ(layout.edge[0], (BoxPoint{248, 460}));
  EXPECT_EQ(layout.edge[1], (BoxPoint{776, 460}));
  EXPECT_EQ(layout.edge[2], (BoxPoint{776, 307}));
  EXPECT_EQ(layout.text, (BoxPoint{512, 384}));

  PleaseWaitLayout japanese = LayOutPleaseWait(640, 480, 640, kShiftJisCharset);
  EXPECT_EQ(japanese.face, "System");
  EXPECT_EQ(japanese.margin, 80);
  EXPECT_EQ(japanese.font_height, 19);
  EXPECT_EQ(japanese.panel, (BoxRect{80, 192, 560, 288}));
}

}  // namespace
}  // namespace install::ui
