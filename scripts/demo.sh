#!/usr/bin/env bash
# The main job: runs the installer on the bundled sample distribution,
# headless (Wine under Xvfb), and prints what it did. The build assembles the
# distribution from demo/ in build/native/sample, packing the guide and tips
# with quill pack into a compressed volume set that spans both disks.
#   1. checks the sample script with quill and prints the plan it makes, then
#      runs the whole two-disk installation through quill simulate and prints
#      what it asked, the installed tree, install.log, the registry keys made
#      and the program group;
#   2. installs the same distribution for real under Wine (a prefix of its own
#      that reports Windows 95): the first disk in a floppy drive A:,
#      install.exe beside the script as SETUP.EXE, every question answered
#      through Win32 and the second disk put in when asked for;
#   3. prints the installed tree, install.log, the registry keys and the
#      program group Wine's Program Manager made, and compares them with the
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

quill="$root/build/native/tools/quill"
sample="$root/build/native/sample"
status=0
echo "== The sample distribution (build/native/sample): its compressed volume set, read back by quill list"
for volume in "$sample"/disk*/QMDEMO.*; do
  echo "-- ${volume#$sample/} ($(stat -c %s "$volume") bytes)"
done
"$quill" list "$sample/disk1/QMDEMO.1" || status=1

echo
echo "== The sample script, checked on the host machine (quill check --dump disk1/SETUP.CFG)"
"$quill" check --dump "$sample/disk1/SETUP.CFG" || status=1

echo
echo "== The whole installation on the modelled Windows 95 machine (quill simulate machine.txt answers.txt)"
sim="$root/build/native/demo-simulation"
rm -rf "$sim"
if "$quill" simulate "$sample/machine.txt" "$sample/answers.txt" "$sim"; then
  echo "-- what the run asked and was answered:"; cat "$sim/transcript.txt"
  echo "-- the installed tree (C:\\QMDEMO):"; grep 'C:\\QMDEMO' "$sim/state.txt"
  echo "-- C:\\QMDEMO\\install.log:"; tr -d '\r' < "$sim/c/QMDEMO/install.log"
  echo "-- the registry (registry.reg):"; tr -d '\r' < "$sim/registry.reg"
  echo "-- the commands sent to Program Manager (progman.txt):"; tr -d '\r' < "$sim/progman.txt"
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
  echo "-- the registry keys made (exported by regedit):"
  if registry=$(sample_registry "$work"); then echo "$registry"; else echo "FAILED: no registry keys"; status=1; fi
  echo "-- the program group \"$SAMPLE_GROUP\" (Start Menu shortcuts made by Wine's Program Manager):"
  if group=$(sample_group); then echo "$group"; else echo "FAILED: no program group"; status=1; fi
  echo "-- compared with quill simulate:"
  sample_compare "$sim" || status=1
  if diff <(echo "$registry" | sed '/^$/d') <(sample_simulated_registry "$sim" | sed '/^$/d') >/dev/null; then
    echo "same: the registry keys and values"
  else
    echo "DIFFERENT: the registry keys and values"; status=1
  fi
  if diff <(echo "$group") <(sample_simulated_group "$sim") >/dev/null; then
    echo "same: the program group's items"
  else
    echo "DIFFERENT: the program group's items"; status=1
  fi
else
  echo "FAILED: the installation under Wine"; status=1
fi
echo "(the run under Wine took $(( $(date +%s) - start )) s)"
[ $status -eq 0 ] && echo "demo: every step passed" || echo "demo: FAILED"
exit $status
