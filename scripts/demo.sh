#!/usr/bin/env bash
# The main job: runs the installer on the bundled sample distribution in demo/,
# headless (Wine under Xvfb), and prints what it did.
#   1. checks the sample script with quill and prints the plan it makes, then
#      runs the whole two-disk installation through quill simulate and prints
#      what it asked, the installed tree and install.log;
#   2. puts the first disk in a floppy drive A: of a Wine prefix of its own
#      that reports Windows 95,
#      with install.exe beside the script as SETUP.EXE;
#   3. starts SETUP.EXE, watches for its backdrop window through Win32, and
#      waits for it to end. Any step that fails makes the demo exit non-zero.
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
work="$QM_BUILD/demo"
rm -rf "$work/disk1" "$work/disk2" "$work/c"
mkdir -p "$work"
cp -r demo/disk1 demo/disk2 "$work/"
cp "$QM_BUILD/install/install.exe" "$work/disk1/SETUP.EXE"
qm_wine_prefix "$work/prefix"
map_drive a "$work/disk1" floppy QMDEMO1
prefix_ready

echo
echo "== Running A:\\SETUP.EXE ($windows_preset build) under Wine and Xvfb"
run_in_display '
  wine "A:\\SETUP.EXE" & pid=$!
  seen=0
  drive wait QuillmarshInstall Quillmarsh 30000 >/dev/null && seen=1
  if [ $seen = 1 ]; then
    echo "the script parsed; the backdrop window (class QuillmarshInstall, title \"Quillmarsh\") was shown"
  else
    echo "FAILED: no backdrop window was seen"
  fi
  wait $pid
  [ $seen = 1 ]' || status=1
exit $status
