#!/usr/bin/env bash
# Sets the machine up (once), builds everything and runs every test:
#   unit  native tests under AddressSanitizer and UndefinedBehaviorSanitizer
#   wine  the Win32 layers as mingw GoogleTest programs under Wine
#   e2e   the real programs under Wine and Xvfb, driven through Win32
# plus a check that the deliverables load on Windows 95 and NT 3.51 (their PE
# headers and every function they import, scripts/check-deliverables.sh) and a
# bounded fuzzing run of every reader (scripts/fuzz.sh). Wine prefixes report
# Windows 95.
#
# On a machine that cannot execute 32-bit x86 code, Wine's 32-bit loader cannot
# start; the wine and e2e labels then run the same sources built for x86-64
# (preset win64) under Wine's 64-bit loader.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup-machine.sh
. scripts/wine-env.sh
windows_preset=win32
if ! qm_can_run_32bit; then
  windows_preset=win64
  echo "note: this machine cannot execute 32-bit code; Wine tests run the x86-64 build"
fi
if [ "$windows_preset" = win64 ]; then
  # The 32-bit build only has to prove that the deliverables build; its test
  # programs could not run here.
  bash scripts/build.sh native win64
  QM_TARGETS="install_program tamblor_program" bash scripts/build.sh win32
else
  bash scripts/build.sh native win32
fi

status=0
bash scripts/check-layers.sh || status=1
bash scripts/check-deliverables.sh --self-test || status=1
bash scripts/check-deliverables.sh build/win32 || status=1
# The fuzzing run builds with clang and then keeps one core busy per target;
# the Wine tests mostly wait for windows, so it runs beside them at a lower
# priority and its report follows theirs.
mkdir -p build
nice -n 15 bash scripts/fuzz.sh > build/fuzz.log 2>&1 &
fuzz=$!
ctest --preset native -j "$(nproc)" || status=1
ctest --preset "$windows_preset" -j 2 || status=1
echo "== fuzzing (scripts/fuzz.sh)"
wait $fuzz || status=1
cat build/fuzz.log
exit $status
