// The progress dialog's figures and the drawing of its bar. The dialog
// counts either bytes (when the copy phase knows how many it will copy) or
// steps (one per FILE entry); within a step it creeps towards the next one
// by ever smaller amounts, so that the bar moves while a long file is copied.
#pragma once

#include <cstdint>
#include <string>

namespace install::ui {

// Creeping stops once the step total times the creep divisor reaches this.
inline constexpr int64_t kCreepLimit = 0x3FFFFFFF;

class ProgressMeter {
 public:
  // A new copy phase of `step_total` steps: 0 percent, no step done, creep
  // divisor 1.
  explicit ProgressMeter(int step_total = 0) : step_total_(step_total) {}

  // One refresh. With `bytes_total` above 0 the percentage is the bytes done
  // of the total. Otherwise `step_done` completes a step (the percentage is
  // the steps done of the total and the creeping starts afresh), and a
  // refresh without it is a sign of life within the step: the creep divisor
  // doubles and 100 / (step total x divisor) is added. The percentage stays
  // within 0..100; a step total of 0 leaves it unchanged.
  void Update(bool step_done, int64_t bytes_done, int64_t bytes_total);

  int percent() const { return percent_; }
  int steps_done() const { return steps_done_; }
  int step_total() const { return step_total_; }
  int64_t creep_divisor() const { return creep_divisor_; }

 private:
  int step_total_ = 0;
  int steps_done_ = 0;
  int64_t creep_divisor_ = 1;
  int percent_ = 0;
};

// The percentage of `bytes_done` out of `bytes_total` (above 0): done /
// (total / 100) while done is below the total, else 100; never above 100.
int PercentOfBytes(int64_t bytes_done, int64_t bytes_total);

// The bar's label: the percentage (limited to 0..100) as "%3d%%".
std::string ProgressLabel(int percent);

struct BarArea {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};

// Where the bar is split and where its label goes. From left to
// `filled_right` the bar is blue with the label in white; from there to the
// right edge white with the label in blue. The label is centred in the whole
// bar by its measured size.
struct ProgressBarLayout {
  int filled_right = 0;
  int label_x = 0;
  int label_y = 0;
  std::string label;
};
ProgressBarLayout LayOutProgressBar(const BarArea& bar, int percent, int label_width,
                                    int label_height);

}  // namespace install::ui
