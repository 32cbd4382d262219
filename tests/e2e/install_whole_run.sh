#!/usr/bin/env bash
# A whole installation under Wine: the two-disk sample distribution from a
# floppy drive A:, restarted from the temporary directory, answered through
# Win32. The installed files and install.log must equal those of the same
# installation run by quill simulate on the modelled machine.
. "$(dirname "$0")/lib/e2e.sh"
. "$(dirname "$0")/lib/sample_install.sh"
quill="$QM_SOURCE/build/native/tools/quill"
[ -x "$quill" ] || { echo "FAILED: the native quill is needed (build the native preset)"; exit 1; }

e2e_prefix install_whole_run
prefix_ready
out=$(sample_install "$E2E_DIR" 2>&1)
echo "$out"
check "the run met every question and ended" grep -q '^step: the installer ended' <<<"$out"
check "the destination dialog proposed C:\\QMDEMO" grep -q '^step: destination C:\\QMDEMO' <<<"$out"

sim="$E2E_DIR/simulation"
rm -rf "$sim"
check "quill simulate ran the same installation" "$quill" simulate "$QM_SOURCE/demo/machine.txt" \
  "$QM_SOURCE/demo/answers.txt" "$sim"
check "installed files and install.log equal the simulation's" sample_compare "$sim"
finish
