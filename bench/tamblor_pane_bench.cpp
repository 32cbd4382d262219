// The text pane on a large index: opens FILE in the portable pane model at
// 80 columns by 25 rows, shows its last page (End), then pages up 1,000 times
// (Page Up, which moves the selection a page and the window with it).
//
//   tamblor_pane_bench FILE            measure; the last line of the output is
//                                      last_page_ms=N page_up_ms=N peak_rss_mb=N
//                                      (page_up_ms per page)
//   tamblor_pane_bench --write FILE MB write a sample index of MB megabytes
//
// Peak resident memory is the kernel's high-water mark (VmHWM) of the whole
// process, whatever the file size: the pane holds its rows and two blocks.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "bench/bench_index.h"
#include "tamblor/os/host/host_machine.h"
#include "tamblor/views/scroll_pane.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kColumns = 80;
constexpr int kRows = 25;
constexpr int kPageUps = 1000;
constexpr int kCharWidth = 8;
constexpr int kLineHeight = 16;

// A pane without a window: nothing to paint.
class NoWindow : public tamblor::views::PaneWindow {
 public:
  void InvalidateRows(int, int) override {}
  void InvalidateAll() override {}
  void ScrollContent(int) override {}
  void SetVerticalBar(bool, int, int) override {}
  void SetHorizontalBar(bool, int, int) override {}
  void SendCommand(int) override {}
  void PassCharacter(unsigned) override {}
  void ReportNotFound() override {}
  void BeginWait() override {}
  void EndWait() override {}
};

long long PeakRssKb() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::stoll(line.substr(6));
  }
  return -1;
}

double MillisecondsSince(Clock::time_point since) {
  return std::chrono::duration<double, std::milli>(Clock::now() - since).count();
}

int Measure(const std::string& file) {
  std::string local = file;
  if (local.empty() || local[0] != '/') {
    const char* cwd = std::getenv("PWD");
    local = std::string(cwd ? cwd : ".") + "/" + local;
  }
  size_t slash = local.rfind('/');
  tamblor::os::host::HostMachine machine;
  machine.MapDrive('X', slash == 0 ? "/" : local.substr(0, slash));
  tamblor::views::ViewDocument document;
  document.path = "X:\\" + local.substr(slash + 1);
  document.mode = tamblor::views::DisplayMode::IndexEntries;
  if (machine.FindAttributes(document.path) == tamblor::os::kInvalidAttributes) {
    std::fprintf(stderr, "no such file: %s\n", file.c_str());
    return 1;
  }

  NoWindow window;
  tamblor::views::ScrollPane pane(machine, window);
  pane.SetFontMetrics(kCharWidth, kLineHeight);
  pane.Resize((kColumns - 1) * kCharWidth, (kRows - 1) * kLineHeight);

  Clock::time_point start = Clock::now();
  pane.Attach(&document);
  pane.Key(tamblor::views::kKeyEnd);
  double last_page_ms = MillisecondsSince(start);
  int64_t last_top = pane.TopPosition();

  start = Clock::now();
  for (int i = 0; i < kPageUps; ++i) pane.Key(tamblor::views::kKeyPageUp);
  double page_up_ms = MillisecondsSince(start) / kPageUps;

  long long peak_kb = PeakRssKb();
  std::printf("file %s: %lld bytes, %d x %d, last page at %lld, after %d pages up at %lld, %lld block reads\n",
              file.c_str(), static_cast<long long>(std::filesystem::file_size(local)), kColumns, kRows,
              static_cast<long long>(last_top), kPageUps, static_cast<long long>(pane.TopPosition()),
              static_cast<long long>(pane.BlockReads()));
  std::printf("last_page_ms=%.3f page_up_ms=%.4f peak_rss_mb=%lld\n", last_page_ms, page_up_ms,
              (peak_kb + 1023) / 1024);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::string(argv[1]) == "--write") {
    if (!WriteBenchIndex(argv[2], std::atoll(argv[3]) << 20)) {
      std::fprintf(stderr, "cannot write %s\n", argv[2]);
      return 1;
    }
    return 0;
  }
  if (argc != 2) {
    std::fprintf(stderr, "usage: tamblor_pane_bench FILE | tamblor_pane_bench --write FILE MB\n");
    return 2;
  }
  return Measure(argv[1]);
}
