#!/usr/bin/env bash
# Builds the DCL decoder's fuzz target with clang (libFuzzer, ASan, UBSan) and
# runs a bounded number of executions over a small generated seed corpus.
#   scripts/fuzz.sh [RUNS]          (default 200000)
# Exits non-zero when the fuzzer finds a crash; the crashing input is left in
# the work directory (crash-*): copy it to tests/install/archive/fixtures/ as
# a .bin file and say in fixtures/README.md how it was found.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
runs="${1:-200000}"
work="${QM_BUILD:-$root/build}/fuzz"
mkdir -p "$work/corpus"
cxx="${CLANGXX:-clang++}"

# The encoder only checks round trips; it is sanitized but not a coverage target.
"$cxx" -std=c++20 -g -O1 -fsanitize=address,undefined -c "$root/install/archive/implode.cpp" \
  -I"$root" -o "$work/implode.o"
"$cxx" -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I"$root" "$root/fuzz/explode_fuzz.cpp" "$root/install/archive/explode.cpp" \
  "$work/implode.o" -o "$work/explode_fuzz"

# Seeds: the published example streams, the shortest stream, and streams made
# by the encoder from short texts and bytes, each behind a selector byte.
seed() { printf "$2" > "$work/corpus/$1"; }
seed example_binary '\x08\x00\x04\x82\x24\x25\x8f\x80\x7f'
seed example_ascii '\x01\x01\x04\x4e\xc0\x3f'
seed shortest '\x00\x00\x04\x01\xff\x00'
seed bad_header '\x00\x09\x07\x01\xff\x00'
build_seeds="$work/make_seeds"
cat > "$work/make_seeds.cpp" <<'CPP'
#include <cstdio>
#include <string>
#include <vector>
#include "install/archive/implode.h"
int main(int argc, char** argv) {
  const char* texts[] = {"Setup copies the files to your hard disk.\r\n[Files]\r\nA=B\r\n",
                         "\x00\x01\x02\x03\x00\x01\x02\x03\xff\xfe\x00\x00\x00\x00\x00\x00\x00\x00\x00"};
  int n = 0;
  for (int t = 0; t < 2; ++t) {
    std::string text(texts[t], t == 0 ? std::string(texts[0]).size() : 19);
    for (int i = 0; i < 6; ++i) text += text;
    for (unsigned mode = 0; mode < 2; ++mode) {
      std::vector<uint8_t> stream;
      install::archive::ImplodeBuffer(reinterpret_cast<const uint8_t*>(text.data()), text.size(), mode,
                                     1024u << (n % 3), stream);
      std::string path = std::string(argv[1]) + "/made" + std::to_string(n++);
      FILE* f = std::fopen(path.c_str(), "wb");
      std::fputc(n * 37, f);
      std::fwrite(stream.data(), 1, stream.size(), f);
      std::fclose(f);
    }
  }
  return 0;
}
CPP
"$cxx" -std=c++20 -O1 -I"$root" "$work/make_seeds.cpp" "$root/install/archive/implode.cpp" \
  "$root/install/archive/explode.cpp" -o "$build_seeds"
"$build_seeds" "$work/corpus"

cd "$work"
"$work/explode_fuzz" -runs="$runs" -max_len=20000 -timeout=10 -print_final_stats=1 "$work/corpus"
