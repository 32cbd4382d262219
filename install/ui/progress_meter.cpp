#include "install/ui/progress_meter.h"

#include <algorithm>
#include <cstdio>

namespace install::ui {
namespace {

int LimitPercent(int64_t percent) { return static_cast<int>(std::clamp<int64_t>(percent, 0, 100)); }

}  // namespace

int PercentOfBytes(int64_t bytes_done, int64_t bytes_total) {
  if (bytes_total <= 0 || bytes_done >= bytes_total) return 100;
  if (bytes_done <= 0) return 0;
  const int64_t hundredth = bytes_total / 100;
  // Below 100 bytes in all there is no whole hundredth to divide by.
  if (hundredth == 0) return LimitPercent(bytes_done * 100 / bytes_total);
  return LimitPercent(bytes_done / hundredth);
}

void ProgressMeter::Update(bool step_done, int64_t bytes_done, int64_t bytes_total) {
  if (bytes_total > 0) {
    percent_ = PercentOfBytes(bytes_done, bytes_total);
    return;
  }
  if (step_total_ <= 0) return;
  if (step_done) {
    ++steps_done_;
    creep_divisor_ = 1;
    percent_ = LimitPercent(int64_t{steps_done_} * 100 / step_total_);
    return;
  }
  if (int64_t{step_total_} * creep_divisor_ < kCreepLimit) {
    creep_divisor_ *= 2;
    percent_ = LimitPercent(percent_ + 100 / (int64_t{step_total_} * creep_divisor_));
  }
}

std::string ProgressLabel(int percent) {
  char label[8];
  std::snprintf(label, sizeof label, "%3d%%", LimitPercent(percent));
  return label;
}

ProgressBarLayout LayOutProgressBar(const BarArea& bar, int percent, int label_width,
                                    int label_height) {
  ProgressBarLayout layout;
  const int limited = LimitPercent(percent);
  layout.filled_right = bar.left + limited * (bar.right - bar.left) / 100;
  layout.label = ProgressLabel(limited);
  layout.label_x = bar.left + (bar.right - bar.left - label_width) / 2;
  layout.label_y = bar.top + (bar.bottom - bar.top - label_height) / 2;
  return layout;
}

}  // namespace install::ui
