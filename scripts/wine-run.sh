#!/usr/bin/env bash
# Runs one Windows console program (a test binary) under Wine in the build
# tree's shared prefix and returns its exit status.
set -u
. "$(dirname "$0")/wine-env.sh"
qm_wine_prefix "$QM_BUILD/wineprefix"
exe="$1"; shift
if [ -z "${DISPLAY:-}" ] && command -v xvfb-run >/dev/null; then
  xvfb-run -a -s "-screen 0 1024x768x24" "$QM_WINE_LOADER" "$exe" "$@"
else
  "$QM_WINE_LOADER" "$exe" "$@"
fi
rc=$?
wineserver -k >/dev/null 2>&1
exit $rc
