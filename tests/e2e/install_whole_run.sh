#!/usr/bin/env bash
# A whole installation under Wine: the two-disk sample distribution from a
# floppy drive A:, restarted from the temporary directory, answered through
# Win32 (first screen, destination, an overwrite question, the disk change
# with the second disk put into the drive). The installed files and
# install.log must equal those of the same installation run by quill
# simulate on the modelled machine.
. "$(dirname "$0")/lib/e2e.sh"
quill="$QM_SOURCE/build/native/tools/quill"
[ -x "$quill" ] || { echo "FAILED: the native quill is needed (build the native preset)"; exit 1; }

e2e_prefix install_whole_run
media="$E2E_DIR/media"
rm -rf "$media"; mkdir -p "$media"
cp -r "$QM_SOURCE/demo/disk1" "$QM_SOURCE/demo/disk2" "$media/"
cp "$QM_BUILD/install/install.exe" "$media/disk1/SETUP.EXE"
map_drive a "$media/disk1" floppy QMDEMO1
target="$WINEPREFIX/drive_c/QMDEMO"
rm -rf "$target"; mkdir -p "$target"
cp "$QM_SOURCE/demo/c/QMDEMO/NOTES.TXT" "$target/"
prefix_ready

out=$(run_in_display '
  # A top-level dialog (#32770) one of whose controls or caption holds $1; its handle.
  dialog_with() {
    local deadline=$(( $(date +%s) + $2 )) h
    while [ "$(date +%s)" -lt $deadline ]; do
      for h in $(drive list | awk "\$2 == \"#32770\" {print \$1}"); do
        if drive children $h 2>/dev/null | grep -qF -- "$1" || drive text $h 2>/dev/null | grep -qF -- "$1"; then
          echo $h; return 0
        fi
      done
      sleep 0.3
    done
    return 1
  }
  shots="'"$SCREENSHOTS"'"
  wine "A:\\SETUP.EXE" & pid=$!
  h=$(dialog_with "Welcome to the Quillmarsh Notepad demo." 60) || { echo "step:first-screen missing"; drive list; exit 1; }
  drive screenshot 0 "$shots/install-whole-first-screen.png"; drive click $h 1
  h=$(dialog_with "Please enter the destination drive" 30) || { echo "step:destination missing"; exit 1; }
  echo "destination:$(drive item-text $h 204)"
  drive screenshot 0 "$shots/install-whole-destination.png"; drive click $h 1
  h=$(dialog_with "File exists.  Overwrite C:\\QMDEMO\\NOTES.TXT?" 30) || { echo "step:overwrite missing"; exit 1; }
  drive click $h 6
  h=$(dialog_with "Please insert Quillmarsh Demo Disk 2" 60) || { echo "step:disk-prompt missing"; exit 1; }
  drive screenshot 0 "$shots/install-whole-disk-prompt.png"
  map_drive a "'"$media"'/disk2" floppy QMDEMO2
  drive click $h 1
  # The run ends; a readme editor may be left: the prefix server ends it.
  for i in $(seq 1 120); do kill -0 $pid 2>/dev/null || break; sleep 0.5; done
  echo "step:done"')
echo "$out"
check "the run met every question and ended" grep -q '^step:done' <<<"$out"
check "the destination dialog proposed C:\\QMDEMO" grep -q '^destination:C:\\QMDEMO' <<<"$out"

sim="$E2E_DIR/simulation"
rm -rf "$sim"
"$quill" simulate "$QM_SOURCE/demo/machine.txt" "$QM_SOURCE/demo/answers.txt" "$sim" >/dev/null
check "quill simulate ran the same installation" test -f "$sim/transcript.txt"
for f in README.TXT NOTES.TXT DOCS/GUIDE.TXT EXTRAS/TIPS.TXT LICENSE.TXT; do
  check "$f installed as in the simulation" cmp -s "$target/$f" "$sim/c/QMDEMO/$f"
done
check "install.log equals the simulation's" cmp -s "$target/install.log" "$sim/c/QMDEMO/install.log"
echo "-- install.log under Wine:"; tr -d '\r' < "$target/install.log" 2>/dev/null
finish
