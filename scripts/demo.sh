#!/usr/bin/env bash
# The main job: runs the installer on the bundled sample distribution in demo/,
# headless (Wine under Xvfb), and prints what it did.
#   1. checks the sample script with quill and prints the plan it makes, then
#      runs the whole two-disk installation through quill simulate and prints
#      what it asked, the installed tree and install.log;
#   2. installs the same distribution for real under Wine (a prefix of its own
#      that reports Windows 95): the first disk in a floppy drive A:,
#      install.exe beside the script as SETUP.EXE, every question answered
#      through Win32 and the second disk put in when asked for;
#   3. prints the installed tree and install.log and compares them with the
#      simulation's. Any step that fails makes the demo exit non-zero.
# On a machine that cannot execute 32-bit code the x86-64 build of the same
# sources runs instead (see scripts/wine-env.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
bash scripts/setup-machine.sh
. scripts/wine-env.sh
windows_preset=win32
qm_can_run_32bit || windows_preset=win64
bash scripts/build.sh native "$windows_preset" >/dev/null

status=0
echo "== The sample script, checked on the host machine (quill check --dump demo/disk1/SETUP.CFG)"
"$root/build/native/tools/quill" check --dump demo/disk1/SETUP.CFG || status=1

echo
echo "== The whole installation on the modelled Windows 95 machine (quill simulate demo/machine.txt demo/answers.txt)"
sim="$root/build/native/demo-simulation"
rm -rf "$sim"
if "$root/build/native/tools/quill" simulate demo/machine.txt demo/answers.txt "$sim"; then
  echo "-- what the run asked and was answered:"; cat "$sim/transcript.txt"
  echo "-- the installed tree (C:\\QMDEMO):"; grep 'C:\\QMDEMO' "$sim/state.txt"
  echo "-- C:\\QMDEMO\\install.log:"; tr -d '\r' < "$sim/c/QMDEMO/install.log"
else
  echo "FAILED: quill simulate"; status=1
fi

export QM_BUILD="$root/build/$windows_preset" QM_SOURCE="$root"
. tests/e2e/lib/e2e.sh
. tests/e2e/lib/sample_install.sh
work="$QM_BUILD/demo"
qm_wine_prefix "$work/prefix"
prefix_ready

echo
echo "== The same installation for real: A:\\SETUP.EXE ($windows_preset build) under Wine and Xvfb, answered through Win32"
start=$(date +%s)
if sample_install "$work"; then
  echo "-- the installed tree (C:\\QMDEMO):"
  (cd "$WINEPREFIX/drive_c" && find QMDEMO | sort | tr '/' '\\')
  echo "-- C:\\QMDEMO\\install.log:"; tr -d '\r' < "$WINEPREFIX/drive_c/QMDEMO/install.log"
  echo "-- compared with quill simulate:"
  sample_compare "$sim" || status=1
else
  echo "FAILED: the installation under Wine"; status=1
fi
echo "(the run under Wine took $(( $(date +%s) - start )) s)"
[ $status -eq 0 ] && echo "demo: every step passed" || echo "demo: FAILED"
exit $status
