#!/usr/bin/env bash
# A whole installation under Wine: the two-disk sample distribution from a
# floppy drive A: (a compressed volume set spanning both disks), restarted
# from the temporary directory, answered through Win32. The installed files,
# install.log, the registry keys and the program group must equal those of
# the same installation run by quill simulate on the modelled machine.
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
check "quill simulate ran the same installation" "$quill" simulate "$SAMPLE/machine.txt" \
  "$SAMPLE/answers.txt" "$sim"
check "installed files and install.log equal the simulation's" sample_compare "$sim"
check "install.log names the three registry keys and the two items" \
  bash -c "[ \$(grep -c '^REGKEY: ' '$WINEPREFIX/drive_c/QMDEMO/install.log') = 3 ] &&
           [ \$(grep -c '^WINITEM: \"$SAMPLE_GROUP\", ' '$WINEPREFIX/drive_c/QMDEMO/install.log') = 2 ]"
registry=$(sample_registry "$E2E_DIR")
echo "$registry"
check "the registry keys and values equal the simulation's" \
  diff <(echo "$registry" | sed '/^$/d') <(sample_simulated_registry "$sim" | sed '/^$/d')
group=$(sample_group)
echo "group: $group"
check "the program group holds the two items the simulation made" \
  diff <(echo "$group") <(sample_simulated_group "$sim")
finish
