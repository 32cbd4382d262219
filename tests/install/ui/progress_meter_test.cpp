// The progress dialog's percentage by bytes and by steps with its creeping,
// its label and where the bar splits.
#include "install/ui/progress_meter.h"

#include <gtest/gtest.h>

#include <vector>

namespace install::ui {
namespace {

TEST(ProgressMeterTest, StartsEmpty) {
  ProgressMeter meter(7);
  EXPECT_EQ(meter.percent(), 0);
  EXPECT_EQ(meter.steps_done(), 0);
  EXPECT_EQ(meter.creep_divisor(), 1);
  EXPECT_EQ(meter.step_total(), 7);
}

TEST(ProgressMeterTest, CompletedStepsOfFourAddAQuarterEach) {
  ProgressMeter meter(4);
  std::vector<int> seen;
  for (int i = 0; i < 4; ++i) {
    meter.Update(true, 0, 0);
    seen.push_back(meter.percent());
  }
  EXPECT_EQ(seen, (std::vector<int>{25, 50, 75, 100}));
  meter.Update(true, 0, 0);  // one step too many stays at the end
  EXPECT_EQ(meter.percent(), 100);
  EXPECT_EQ(meter.steps_done(), 5);
}

TEST(ProgressMeterTest, SignsOfLifeCreepByHalvingAmountsAndNeverReachTheNextStep) {
  ProgressMeter meter(4);
  std::vector<int> added;
  int before = meter.percent();
  for (int i = 0; i < 8; ++i) {
    meter.Update(false, 0, 0);
    added.push_back(meter.percent() - before);
    before = meter.percent();
  }
  EXPECT_EQ(added, (std::vector<int>{12, 6, 3, 1, 0, 0, 0, 0}));
  EXPECT_EQ(meter.percent(), 22);
  EXPECT_LT(meter.percent(), 25);
  EXPECT_EQ(meter.creep_divisor(), 256);

  // A completed step starts the creeping afresh from the step's percentage.
  meter.Update(true, 0, 0);
  EXPECT_EQ(meter.percent(), 25);
  EXPECT_EQ(meter.creep_divisor(), 1);
  meter.Update(false, 0, 0);
  EXPECT_EQ(meter.percent(), 37);
}

TEST(ProgressMeterTest, CreepingStopsAtItsLimit) {
  // 0x3FFFFFFF / 3 steps: the divisor doubles while 3 x divisor is below the limit.
  ProgressMeter meter(3);
  for (int i = 0; i < 100; ++i) meter.Update(false, 0, 0);
  EXPECT_EQ(meter.creep_divisor(), int64_t{1} << 29);  // 3 << 29 is past the limit
  EXPECT_GE(3 * meter.creep_divisor(), kCreepLimit);
  EXPECT_LT(3 * meter.creep_divisor() / 2, kCreepLimit);

  // A huge step total does not creep at all, and nothing overflows.
  ProgressMeter huge(0x7FFFFFFF);
  huge.Update(false, 0, 0);
  EXPECT_EQ(huge.creep_divisor(), 1);
  EXPECT_EQ(huge.percent(), 0);
}

TEST(ProgressMeterTest, NoStepsLeavesThePercentageAlone) {
  ProgressMeter meter(0);
  meter.Update(true, 0, 0);
  meter.Update(false, 0, 0);
  EXPECT_EQ(meter.percent(), 0);
  EXPECT_EQ(meter.creep_divisor(), 1);
}

TEST(ProgressMeterTest, BytesCountedWhenTheirTotalIsKnown) {
  ProgressMeter meter(4);
  meter.Update(true, 370, 1000);  // the step flag does not count when bytes do
  EXPECT_EQ(meter.percent(), 37);
  EXPECT_EQ(meter.steps_done(), 0);
  meter.Update(false, 999, 1000);
  EXPECT_EQ(meter.percent(), 99);
  meter.Update(false, 1000, 1000);
  EXPECT_EQ(meter.percent(), 100);
  meter.Update(false, 5000, 1000);
  EXPECT_EQ(meter.percent(), 100);
}

TEST(ProgressMeterTest, PercentOfBytesDividesByWholeHundredths) {
  // 1999 / 100 = 19 bytes a percent: 1000 bytes are 52 percent, not 50.
  EXPECT_EQ(PercentOfBytes(1000, 1999), 52);
  // Close to the end the division by whole hundredths would pass 100.
  EXPECT_EQ(PercentOfBytes(1998, 1999), 100);
  EXPECT_EQ(PercentOfBytes(0, 1999), 0);
  EXPECT_EQ(PercentOfBytes(-5, 1999), 0);
  // Fewer than 100 bytes in all: no whole hundredth, no division by zero.
  EXPECT_EQ(PercentOfBytes(1, 3), 33);
  EXPECT_EQ(PercentOfBytes(3, 3), 100);
  EXPECT_EQ(PercentOfBytes(99, 99), 100);
  // Totals beyond 32 bits.
  EXPECT_EQ(PercentOfBytes(int64_t{3} << 32, int64_t{4} << 32), 75);
}

TEST(ProgressBarTest, LabelHasThreeDigitPlaces) {
  EXPECT_EQ(ProgressLabel(37), " 37%");
  EXPECT_EQ(ProgressLabel(0), "  0%");
  EXPECT_EQ(ProgressLabel(100), "100%");
  EXPECT_EQ(ProgressLabel(250), "100%");
  EXPECT_EQ(ProgressLabel(-3), "  0%");
}

TEST(ProgressBarTest, ThirtySevenPercentOfTwoHundredPixelsIsSeventyFourFilled) {
  const BarArea bar{10, 20, 210, 36};
  ProgressBarLayout layout = LayOutProgressBar(bar, 37, 30, 12);
  EXPECT_EQ(layout.filled_right, 84);
  EXPECT_EQ(layout.label, " 37%");
  EXPECT_EQ(layout.label_x, 10 + (200 - 30) / 2);
  EXPECT_EQ(layout.label_y, 20 + (16 - 12) / 2);

  EXPECT_EQ(LayOutProgressBar(bar, 0, 30, 12).filled_right, 10);
  EXPECT_EQ(LayOutProgressBar(bar, 100, 30, 12).filled_right, 210);
  EXPECT_EQ(LayOutProgressBar(bar, 180, 30, 12).filled_right, 210);  // limited to 100
  EXPECT_EQ(LayOutProgressBar(bar, 180, 30, 12).label, "100%");
}

}  // namespace
}  // namespace install::ui
