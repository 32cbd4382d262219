#!/usr/bin/env bash
# Builds the fuzz targets of the installer's and the browser's readers
# (fuzz/*_fuzz.cpp) with clang, libFuzzer,
# ASan and UBSan in build/fuzz, makes their seed corpora (fuzz/make_seeds.cpp)
# and runs each target for a bounded time over its seeds, the corpus kept from
# earlier runs and the inputs kept in fuzz/regressions/<target>/.
#   scripts/fuzz.sh [SECONDS [TARGET...]]
# SECONDS per target, 15 unless given: the whole set of thirteen targets then
# runs in about three and a half minutes after the build, within the five CI
# allows; longer on request, e.g. scripts/fuzz.sh 600.
# Exits non-zero when a target finds a crash or a broken invariant: the input
# is left in build/fuzz/findings/<target>/. Mend the fault, then keep the input
# in fuzz/regressions/<target>/ and say in fuzz/regressions/README.md how it
# was found.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-15}"
[ $# -gt 0 ] && shift
build="${QM_BUILD:-$root/build}/fuzz"
cc="${CLANG:-clang}"
cxx="${CLANGXX:-clang++}"

if [ $# -gt 0 ]; then
  targets=("$@")
else
  targets=()
  for source in "$root"/fuzz/*_fuzz.cpp; do targets+=("$(basename "$source" .cpp)"); done
fi

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_C_COMPILER="$cc" -DCMAKE_CXX_COMPILER="$cxx" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQM_SANITIZE=ON -DQM_FUZZ=ON \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -gline-tables-only -DNDEBUG" \
  -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link" > "$build.configure.log" 2>&1 ||
  { cat "$build.configure.log"; exit 1; }
cmake --build "$build" -j2 --target "${targets[@]}" fuzz_seeds

rm -rf "$build/seeds"
"$build/fuzz/fuzz_seeds" "$build/seeds"

status=0
for target in "${targets[@]}"; do
  corpus="$build/corpus/$target"
  findings="$build/findings/$target"
  mkdir -p "$corpus" "$findings" "$build/seeds/$target"
  inputs=("$corpus" "$build/seeds/$target")
  [ -d "$root/fuzz/regressions/$target" ] && inputs+=("$root/fuzz/regressions/$target")
  [ "$target" = explode_fuzz ] && inputs+=("$root/tests/install/archive/fixtures")
  echo "== $target: $seconds s"
  if ! (cd "$findings" && "$build/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
          -max_len=65536 -print_final_stats=1 -artifact_prefix="$findings/" "${inputs[@]}" \
          > "$build/$target.log" 2>&1); then
    status=1
    echo "FAILED: $target found a fault; the input is in $findings" >&2
    grep -E "ERROR|invariant broken|SUMMARY" "$build/$target.log" | head -5 >&2 || true
  fi
  grep -E "stat::number_of_executed_units|stat::new_units_added" "$build/$target.log" | tr '\n' ' ' || true
  echo
done
exit $status
