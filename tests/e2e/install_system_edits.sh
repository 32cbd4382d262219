#!/usr/bin/env bash
# The edits of the machine's text files under Wine: install.exe from a CD
# changes AUTOEXEC.BAT (with ASK, answered Yes through Win32) and CONFIG.SYS
# in the root of C:, a key of WIN.INI and of an INI file of its own through
# the system's profile functions, and a text file. Every one of those files
# and install.log must equal those of the same installation run by quill
# simulate on the modelled machine, which starts from the prefix's own
# WIN.INI.
. "$(dirname "$0")/lib/e2e.sh"
quill="$QM_SOURCE/build/native/tools/quill"
[ -x "$quill" ] || { echo "FAILED: the native quill is needed (build the native preset)"; exit 1; }

e2e_prefix install_system_edits
media="$E2E_DIR/media"
rm -rf "$media"; mkdir -p "$media"
cp "$QM_BUILD/install/install.exe" "$media/SETUP.EXE"
printf '%s\r\n' \
  'DEFAULTDIR "C:\QMEDITS"' \
  'UNINSTALL YES' \
  'FILE README.TXT' \
  'AUTOEXEC ASK ADDPATH ADD="SET QMEDITS=$DEFAULTDIR$"' \
  'CONFIG FILEMIN=30 BUFFERMIN=20' \
  'INIFILE "Quill" "Home" "$DEFAULTDIR$"' \
  'INIFILE "Quill" "Home" "$DEFAULTDIR$" QMEDITS.INI' \
  'ADDTEXT "three" "README.TXT" "-1"' > "$media/SETUP.CFG"
printf 'one\r\ntwo\r\n' > "$media/README.TXT"
map_drive d "$media" cdrom QMEDITS
drive_c="$WINEPREFIX/drive_c"
printf '@ECHO OFF\r\nPATH C:\\DOS\r\nWIN\r\n' > "$drive_c/AUTOEXEC.BAT"
printf 'FILES=20\r\nDEVICE=HIMEM.SYS' > "$drive_c/CONFIG.SYS"
rm -rf "$drive_c/QMEDITS" "$drive_c/AUTOEXEC.BAK" "$drive_c/CONFIG.BAK" "$drive_c/windows/QMEDITS.INI"
win_ini=$(ls "$drive_c/windows/" | grep -i '^win\.ini$' | head -1)
[ -n "$win_ini" ] || { : > "$drive_c/windows/win.ini"; win_ini=win.ini; }

# The same machine for quill simulate, made before the run changes anything.
sim_in="$E2E_DIR/simulation-input"
rm -rf "$sim_in"; mkdir -p "$sim_in/c/windows"
cp "$drive_c/AUTOEXEC.BAT" "$drive_c/CONFIG.SYS" "$sim_in/c/"
cp "$drive_c/windows/$win_ini" "$sim_in/c/windows/$win_ini"
cat > "$sim_in/machine.txt" <<EOF
windows-dir C:\\windows
system-dir C:\\windows\\system32
drive C: fixed folder=c
drive D: cdrom label=QMEDITS folder=$media
dir C:\\windows\\system32
dir C:\\windows\\temp
env TEMP=C:\\windows\\temp
command D:\\SETUP.EXE
EOF
printf 'destination C:\\QMEDITS\tPlease enter the destination drive and directory:\n' > "$sim_in/answers.txt"
printf 'messagebox yes\tDo you wish this program to modify your AUTOEXEC.BAT?\n' >> "$sim_in/answers.txt"
prefix_ready

out=$(run_in_display '
  wine "D:\\SETUP.EXE" & pid=$!
  h=$(dialog_with "Please enter the destination drive and" 90) || exit 1
  echo "step: destination $(drive item-text $h 204), OK"; drive click $h 1
  h=$(dialog_with "Do you wish this program to modify your AUTOEXEC.BAT?" 60) || exit 1
  drive screenshot 0 "'"$SCREENSHOTS"'/install-edits-autoexec-question.png"
  echo "step: Do you wish this program to modify your AUTOEXEC.BAT? Yes"; drive click $h 6
  # The copy in the temporary directory has ended when its backdrop is gone.
  backdrop=$(drive wait QuillmarshInstall "*" 5000) || { echo "step missing: the backdrop" >&2; exit 1; }
  drive wait-gone $backdrop 120000 >/dev/null || { echo "step missing: the installer did not end" >&2; exit 1; }
  echo "step: the installer ended"' 2>&1)
echo "$out"
check "the run met both questions and ended" grep -q '^step: the installer ended' <<<"$out"
check "the destination dialog proposed C:\\QMEDITS" grep -q '^step: destination C:\\QMEDITS' <<<"$out"

sim="$E2E_DIR/simulation"
rm -rf "$sim"
(cd "$sim_in" && "$quill" simulate machine.txt answers.txt "$sim") || echo "FAILED: quill simulate"
check "quill simulate ran the same installation" test -f "$sim/transcript.txt"
for f in AUTOEXEC.BAT AUTOEXEC.BAK CONFIG.SYS CONFIG.BAK "windows/$win_ini" windows/QMEDITS.INI \
         QMEDITS/README.TXT QMEDITS/install.log; do
  check "$f as in the simulation" cmp -s "$drive_c/$f" "$sim/c/$f"
done
check "no temporary file is left in C:\\" test ! -e "$drive_c/~Tarsk.tmp"
echo "-- AUTOEXEC.BAT under Wine:"; tr -d '\r' < "$drive_c/AUTOEXEC.BAT" 2>/dev/null
echo "-- install.log under Wine:"; tr -d '\r' < "$drive_c/QMEDITS/install.log" 2>/dev/null
finish
