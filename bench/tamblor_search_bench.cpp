// The word search on a large file: FindForward from the start to the end of
// FILE counting the matches, then FindBackward from the end to the start.
//
//   tamblor_search_bench FILE TEXT
//
// The last line of the output is forward_MBps=N backward_MBps=N matches=N
// (MB = 1,000,000 bytes; matches counted forwards). Memory stays the two
// cached blocks of the file whatever its size; peak resident memory is
// printed on the line before. Compare with: grep -c -i -F TEXT FILE (which
// counts matching lines, not matches).
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

#include "tamblor/text/block_file.h"

namespace {

using Clock = std::chrono::steady_clock;

long long PeakRssKb() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::stoll(line.substr(6));
  }
  return -1;
}

double SecondsSince(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 || argv[2][0] == '\0') {
    std::fprintf(stderr, "usage: tamblor_search_bench FILE TEXT\n");
    return 2;
  }
  const std::string text = argv[2];
  tamblor::text::BlockFile file;
  file.Open(argv[1]);  // a file that cannot be opened ends the program with its message
  const int64_t size = file.Size();

  Clock::time_point start = Clock::now();
  long long forward = 0;
  for (int64_t p = 0; p < size;) {
    int64_t found = file.FindForward(p, text);
    if (found < 0) break;
    ++forward;
    p = found + 1;
  }
  double forward_seconds = SecondsSince(start);

  start = Clock::now();
  long long backward = 0;
  for (int64_t p = size - 1; p >= 0;) {
    int64_t found = file.FindBackward(p, text);
    if (found < 0) break;
    ++backward;
    p = found - 1;
  }
  double backward_seconds = SecondsSince(start);

  std::printf("file %s: %lld bytes; forwards %lld matches in %.3f s, backwards %lld in %.3f s; %lld block reads; "
              "peak RSS %lld kB\n",
              argv[1], static_cast<long long>(size), forward, forward_seconds, backward, backward_seconds,
              static_cast<long long>(file.BlockReads()), PeakRssKb());
  auto rate = [size](double seconds) { return seconds > 0 ? static_cast<double>(size) / 1e6 / seconds : 0.0; };
  std::printf("forward_MBps=%.0f backward_MBps=%.0f matches=%lld\n", rate(forward_seconds), rate(backward_seconds),
              forward);
  return forward == backward ? 0 : 1;
}
