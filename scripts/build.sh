#!/usr/bin/env bash
# Configures and builds the presets named (default: native and win32).
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=${QM_JOBS:-$(nproc)}
presets=("$@")
[ ${#presets[@]} -gt 0 ] || presets=(native win32)
for p in "${presets[@]}"; do
  cmake --preset "$p" >/dev/null
  cmake --build --preset "$p" -j "$jobs"
done
