#!/usr/bin/env bash
# install.exe under Wine: a script error is reported in a box captioned with the
# line number; a multi-disk script on a floppy restarts from the temporary
# directory, while the same on a fixed disk runs in place.
. "$(dirname "$0")/lib/e2e.sh"

e2e_prefix install_start
floppy="$E2E_DIR/floppy"; fixed="$WINEPREFIX/drive_c/setup"
rm -rf "$floppy"; mkdir -p "$floppy" "$fixed"
map_drive a "$floppy" floppy DISK1
prefix_ready

# Line 4 is wrong: an unknown word followed by a second word.
printf 'REM multi-disk sample\r\nTITLE "E2E"\r\nINSERTDISK: "Disk 2"\r\nbogus words here\r\n' > "$floppy/SETUP.CFG"
cp "$QM_BUILD/install/install.exe" "$floppy/SETUP.EXE"
cp "$floppy/SETUP.CFG" "$floppy/SETUP.EXE" "$fixed/"
temp=$(wine_temp_dir)
qm_wine_end
rm -f "$temp"/~0000.*

# From the fixed disk: runs in place, the syntax error box comes from SETUP.EXE itself.
out=$(run_in_display '
  wine "C:\\setup\\SETUP.EXE" & pid=$!
  box=$(drive wait "#32770" "Syntax error, line: 4" 20000) || { echo "no-box"; exit 0; }
  echo "box:$(drive children $box | grep -c "bogus words here")"
  drive screenshot 0 "'"$SCREENSHOTS"'/install-syntax-error.png"
  drive click $box 1
  wait $pid; echo "exit:$?"')
echo "$out"
check "fixed disk: syntax error box names the line and shows it" equals "$(echo "$out" | grep '^box:')" "box:1"
check "fixed disk: no temporary copy" test ! -e "$temp/~0000.exe"

# From the floppy: the first instance copies itself and restarts; the copy parses
# the script and reports the same error.
out=$(run_in_display '
  wine "A:\\SETUP.EXE" -OPT & pid=$!
  box=$(drive wait "#32770" "Syntax error, line: 4" 30000) || { echo "no-box"; exit 0; }
  echo "box:$(drive children $box | grep -c "bogus words here")"
  drive click $box 1
  wait $pid')
echo "$out"
check "floppy: the restarted copy reports the syntax error" equals "$(echo "$out" | grep '^box:')" "box:1"
check "floppy: ~0000.exe is a copy of the program" cmp -s "$temp/~0000.exe" "$floppy/SETUP.EXE"
check "floppy: ~0000.pif is the DOS shell information file" grep -q "Quillmarsh DOS shell" "$temp/~0000.pif"
bat=$(tr -d '\r' < "$temp/~0000.bat" 2>/dev/null | head -1)
check "floppy: ~0000.bat starts with @ECHO OFF" equals "$bat" "@ECHO OFF"
check "floppy: ~0000.bat deletes the three files" equals "$(grep -c '^del .*~0000\.\(exe\|pif\|bat\)$' "$temp/~0000.bat")" "3"

finish
