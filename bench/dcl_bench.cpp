// dcl_bench: our DCL coder against libstorm's, side by side in one run.
//
//   dcl_bench [--mb N] [--rounds N]
//
// Builds three corpora from the machine (text from /usr/share/doc, x86 code
// from Wine's 32-bit DLLs, and pseudo-random bytes), encodes each with both
// encoders (dictionary 4096; ASCII literals for text, binary otherwise) and
// decodes libstorm's stream with both decoders. Prints MB/s (of the
// uncompressed data, best of several rounds, processor time) and sizes, and
// the ratios ours / libstorm.
#include <algorithm>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "install/archive/explode.h"
#include "install/archive/implode.h"
#include "tests/interop/libstorm_pklib.h"

namespace {

using install::archive::Explode;
using install::archive::Implode;
using Bytes = std::vector<uint8_t>;
namespace fs = std::filesystem;

struct Io {
  const uint8_t* in;
  size_t in_size;
  size_t in_pos;
  uint8_t* out;
  size_t out_capacity;
  size_t out_size;
};

unsigned ReadIo(char* buffer, unsigned* size, void* param) {
  Io& io = *static_cast<Io*>(param);
  size_t n = std::min<size_t>(*size, io.in_size - io.in_pos);
  std::memcpy(buffer, io.in + io.in_pos, n);
  io.in_pos += n;
  return static_cast<unsigned>(n);
}

void WriteIo(char* buffer, unsigned* size, void* param) {
  Io& io = *static_cast<Io*>(param);
  size_t n = std::min<size_t>(*size, io.out_capacity - io.out_size);
  std::memcpy(io.out + io.out_size, buffer, n);
  io.out_size += n;
}

bool ReadFile(const fs::path& path, Bytes& data) {
  std::ifstream f(path, std::ios::binary);
  if (!f) return false;
  data.assign(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
  return true;
}

std::vector<fs::path> FilesUnder(const fs::path& root) {
  std::vector<fs::path> files;
  std::error_code ec;
  for (fs::recursive_directory_iterator it(root, fs::directory_options::skip_permission_denied, ec), end;
       !ec && it != end; it.increment(ec)) {
    if (it->is_regular_file(ec) && !it->is_symlink(ec)) files.push_back(it->path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

Bytes TextCorpus(size_t limit) {
  Bytes corpus;
  for (const fs::path& path : FilesUnder("/usr/share/doc")) {
    const std::string ext = path.extension().string();
    if (ext == ".gz" || ext == ".xz" || ext == ".bz2" || ext == ".png" || ext == ".gif" ||
        ext == ".jpg" || ext == ".pdf")
      continue;
    Bytes data;
    if (!ReadFile(path, data) || data.empty()) continue;
    if (std::find(data.begin(), data.end(), 0) != data.end()) continue;
    corpus.insert(corpus.end(), data.begin(), data.end());
    if (corpus.size() >= limit) break;
  }
  corpus.resize(std::min(corpus.size(), limit));
  return corpus;
}

Bytes BinaryCorpus(size_t limit) {
  Bytes corpus;
  for (const char* dir : {"/usr/lib/i386-linux-gnu/wine/i386-windows", "/usr/lib/gcc-cross/i686-w64-mingw32",
                          "/usr/lib/x86_64-linux-gnu"}) {
    for (const fs::path& path : FilesUnder(dir)) {
      const std::string ext = path.extension().string();
      if (ext != ".dll" && ext != ".exe" && ext != ".so") continue;
      Bytes data;
      if (!ReadFile(path, data)) continue;
      corpus.insert(corpus.end(), data.begin(), data.end());
      if (corpus.size() >= limit) break;
    }
    if (corpus.size() >= limit) break;
  }
  corpus.resize(std::min(corpus.size(), limit));
  return corpus;
}

Bytes RandomCorpus(size_t size) {
  Bytes corpus(size);
  std::mt19937_64 rng(20240501);
  for (uint8_t& b : corpus) b = static_cast<uint8_t>(rng());
  return corpus;
}

// Processor time of this process: fairer than wall time on a shared machine.
double Seconds() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

// Runs `run` `rounds` times and returns the best time in seconds.
template <class F>
double Best(int rounds, F run) {
  double best = 1e30;
  for (int i = 0; i < rounds; ++i) {
    const double t0 = Seconds();
    run();
    best = std::min(best, Seconds() - t0);
  }
  return best;
}

Bytes EncodeOurs(const Bytes& input, unsigned mode) {
  Bytes out(input.size() + input.size() / 4 + 64);
  Io io{input.data(), input.size(), 0, out.data(), out.size(), 0};
  if (Implode(ReadIo, WriteIo, &io, mode, 4096) != 0) std::abort();
  out.resize(io.out_size);
  return out;
}

Bytes EncodeLibstorm(const Bytes& input, unsigned mode) {
  Bytes out(input.size() + input.size() / 4 + 64);
  Io io{input.data(), input.size(), 0, out.data(), out.size(), 0};
  std::vector<char> work(libstorm::kImplodeWorkSize);
  unsigned type = mode, dsize = 4096;
  if (implode(ReadIo, WriteIo, work.data(), &io, &type, &dsize) != 0) std::abort();
  out.resize(io.out_size);
  return out;
}

bool DecodeOurs(const Bytes& stream, Bytes& out) {
  Io io{stream.data(), stream.size(), 0, out.data(), out.size(), 0};
  std::vector<char> work(install::archive::kExplodeWorkSize);
  const int r = Explode(ReadIo, WriteIo, work.data(), &io);
  return r == 0 && io.out_size == out.size();
}

bool DecodeLibstorm(const Bytes& stream, Bytes& out) {
  Io io{stream.data(), stream.size(), 0, out.data(), out.size(), 0};
  std::vector<char> work(libstorm::kExplodeWorkSize);
  const unsigned r = explode(ReadIo, WriteIo, work.data(), &io);
  return r == 0 && io.out_size == out.size();
}

void RunCorpus(const char* name, const Bytes& input, unsigned mode, int rounds) {
  const double mb = input.size() / 1e6;
  std::printf("\n%s corpus: %.2f MB, %s literals, dictionary 4096\n", name, mb, mode ? "ASCII" : "binary");

  Bytes ours_stream, storm_stream;
  const double enc_ours = Best(rounds, [&] { ours_stream = EncodeOurs(input, mode); });
  const double enc_storm = Best(rounds, [&] { storm_stream = EncodeLibstorm(input, mode); });

  Bytes out(input.size());
  bool ok = true;
  const double dec_ours = Best(rounds * 3, [&] { ok &= DecodeOurs(storm_stream, out); });
  ok &= out == input;
  const double dec_storm = Best(rounds * 3, [&] { ok &= DecodeLibstorm(storm_stream, out); });
  ok &= out == input;
  // Cross checks: each decoder reads the other encoder's stream.
  std::fill(out.begin(), out.end(), 0);
  ok &= DecodeLibstorm(ours_stream, out) && out == input;
  std::fill(out.begin(), out.end(), 0);
  ok &= DecodeOurs(ours_stream, out) && out == input;

  std::printf("  encode  ours %8.1f MB/s  size %9zu (%5.2f%%)\n", mb / enc_ours, ours_stream.size(),
              100.0 * ours_stream.size() / input.size());
  std::printf("  encode  libstorm %4.1f MB/s  size %9zu (%5.2f%%)\n", mb / enc_storm, storm_stream.size(),
              100.0 * storm_stream.size() / input.size());
  std::printf("  encode  ratio ours/libstorm: speed %.2fx, size %.4f\n", enc_storm / enc_ours,
              double(ours_stream.size()) / storm_stream.size());
  std::printf("  decode  ours %8.1f MB/s   libstorm %8.1f MB/s   ratio %.2fx\n", mb / dec_ours, mb / dec_storm,
              dec_storm / dec_ours);
  std::printf("  round trips %s\n", ok ? "ok" : "FAILED");
  if (!ok) std::exit(1);
}

}  // namespace

int main(int argc, char** argv) {
  size_t megabytes = 8;
  int rounds = 3;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--mb") == 0) megabytes = std::strtoul(argv[i + 1], nullptr, 10);
    if (std::strcmp(argv[i], "--rounds") == 0) rounds = std::atoi(argv[i + 1]);
  }
  const size_t limit = megabytes << 20;
  RunCorpus("text", TextCorpus(limit), 1, rounds);
  RunCorpus("binary (x86)", BinaryCorpus(limit), 0, rounds);
  RunCorpus("random", RandomCorpus(limit / 2), 0, rounds);
  return 0;
}
