#!/usr/bin/env bash
# Runs one Windows console program (a test binary) under Wine in the build tree's
# shared prefix and returns its exit status.
set -u
. "$(dirname "$0")/wine-env.sh"
qm_wine_prefix "$QM_BUILD/wineprefix"
exe="$1"; shift
if command -v xvfb-run >/dev/null && [ -z "${DISPLAY:-}" ]; then
  xvfb-run -a -s "-screen 0 1024x768x24" wine "$exe" "$@"
else
  wine "$exe" "$@"
fi
rc=$?
exit $rc
