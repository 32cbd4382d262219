// Memory and time of the browser's reading layer on a 1 GB index file:
// reading the last line (ReadLineBefore from the end) and scanning every line
// and entry from the start. Writes the file into the directory named by the
// first argument (default: the current directory) and deletes it afterwards.
//
// Peak resident memory is the kernel's high-water mark (VmHWM), reset before
// each phase through /proc/self/clear_refs.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "bench/bench_index.h"
#include "tamblor/text/block_file.h"
#include "tamblor/text/index_format.h"
#include "tamblor/text/text_line.h"

namespace {

using tamblor::text::BlockFile;
using tamblor::text::TextLine;

constexpr long long kFileSize = 1LL << 30;

long long PeakRssKb() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::stoll(line.substr(6));
  }
  return -1;
}

void ResetPeakRss() {
  std::ofstream clear("/proc/self/clear_refs");
  clear << "5";
}

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

}  // namespace

int main(int argc, char** argv) {
  const std::string dir = argc > 1 ? argv[1] : ".";
  const std::string path = dir + "/tamblor_bench_index.txt";
  std::printf("writing %lld bytes to %s\n", kFileSize, path.c_str());
  if (!WriteBenchIndex(path, kFileSize)) {
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
    std::remove(path.c_str());
    return 1;
  }

  ResetPeakRss();
  long long baseline = PeakRssKb();
  auto start = std::chrono::steady_clock::now();
  BlockFile file;
  file.Open(path);
  TextLine last;
  bool found = last.ReadLineBefore(file, file.Size());
  double last_seconds = Seconds(start);
  std::printf("last line: %s '%.40s' at %lld; %.6f s, %lld block reads, peak RSS %lld kB (baseline %lld kB)\n",
              found ? "found" : "none", last.Text(), static_cast<long long>(last.Start()), last_seconds,
              static_cast<long long>(file.BlockReads()), PeakRssKb(), baseline);

  ResetPeakRss();
  baseline = PeakRssKb();
  start = std::chrono::steady_clock::now();
  long long lines = 0;
  TextLine line;
  for (int64_t p = 0; line.ReadLine(file, p); p = line.End() + 1) ++lines;
  double scan_seconds = Seconds(start);
  std::printf("line scan: %lld lines; %.2f s (%.0f MB/s), %lld block reads, peak RSS %lld kB (baseline %lld kB)\n",
              lines, scan_seconds, kFileSize / 1e6 / scan_seconds, static_cast<long long>(file.BlockReads()),
              PeakRssKb(), baseline);

  ResetPeakRss();
  start = std::chrono::steady_clock::now();
  long long entries = 0;
  for (int64_t p = 0; p < file.Size(); p = tamblor::text::NextEntryStart(file, p)) ++entries;
  double entry_seconds = Seconds(start);
  std::printf("entry scan: %lld entries; %.2f s, peak RSS %lld kB\n", entries, entry_seconds, PeakRssKb());

  file.Close();
  std::remove(path.c_str());
  return found && lines > 0 ? 0 : 1;
}
