#!/usr/bin/env bash
# Configures and builds the presets named (default: native and win32).
# QM_TARGETS, when set, limits the build to those targets.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=${QM_JOBS:-$(nproc)}
presets=("$@")
[ ${#presets[@]} -gt 0 ] || presets=(native win32)
for p in "${presets[@]}"; do
  cmake --preset "$p" >/dev/null
  if [ -n "${QM_TARGETS:-}" ]; then
    # shellcheck disable=SC2086
    cmake --build --preset "$p" -j "$jobs" --target $QM_TARGETS
  else
    cmake --build --preset "$p" -j "$jobs"
  fi
done
