#!/usr/bin/env bash
# IF conditions under Wine: a script on a CD-ROM in D: branches on a file and
# a line in it in the Windows directory, a file found on drive E:, the memory,
# the display, an unregistered component, a command-line option, and (in the
# replay after the questions) a group ticked on the group page and an answer
# typed into the question. The installed files and install.log must equal
# those of quill simulate on the same machine modelled in a MACHINE file.
. "$(dirname "$0")/lib/e2e.sh"
quill="$QM_SOURCE/build/native/tools/quill"
[ -x "$quill" ] || { echo "FAILED: the native quill is needed (build the native preset)"; exit 1; }

e2e_prefix install_conditions
media="$E2E_DIR/media"; olddisk="$E2E_DIR/e"; inputs="$E2E_DIR/inputs"
rm -rf "$media" "$olddisk" "$inputs"
mkdir -p "$media" "$olddisk/OLD" "$inputs/c/windows" "$inputs/e/OLD"
crlf() { printf '%s\r\n' "$@"; }
crlf 'DEFAULTDIR "C:\QMCOND"' \
     'UNINSTALL YES' \
     'ASK1 "Standard" prompt="Edition?"' \
     'BEGINGROUP 1' 'Choose the parts:' '01 [X] Program' '02 [ ] Samples' 'ENDGROUP' \
     'FILE BASE.TXT' \
     'IF isfile "$WINDIR$\QMCOND.INI"' 'FILE UPDATE.TXT' 'ENDIF' \
     'IF search "Edition=Pro" "$WINDIR$\QMCOND.INI" ";"' 'FILE EDITION.TXT' 'ENDIF' \
     'IF search "Edition=Old" "$WINDIR$\QMCOND.INI" ";"' 'FILE OLDEDITION.TXT' 'ENDIF' \
     'IF locate OLDAPP.EXE e' 'FILE $LOCATEDIR$\FOUND.TXT' 'ENDIF' \
     'IF memory >= 1024' 'FILE MEMORY.TXT' 'ENDIF' \
     'IF videoresolution > 1024 768' 'FILE LARGE.TXT' 'ELSE' 'FILE SMALL.TXT' 'ENDIF' \
     'IF ocxfilever "{51A7E1C0-0D0D-11D0-9B7A-00A0C9112F11}" 32 = "0.0.0.0"' 'FILE NOOCX.TXT' 'ENDIF' \
     'IF $SYSTEM$ = "full"' 'FILE FULL.TXT' 'ENDIF' \
     'IF group=2' 'FILE SAMPLE.TXT' 'ENDIF' \
     'IF $ASK1 = "Pro"' 'FILE PRO.TXT' 'ELSE' 'FILE STD.TXT' 'ENDIF' > "$media/SETUP.CFG"
for f in BASE UPDATE EDITION OLDEDITION FOUND MEMORY LARGE SMALL NOOCX FULL SAMPLE PRO STD; do
  crlf "$f" > "$media/$f.TXT"
done
cp "$QM_BUILD/install/install.exe" "$media/SETUP.EXE"
crlf '[Marsh]' ';Edition=Old' 'Edition=Pro' > "$inputs/c/windows/QMCOND.INI"
crlf 'old' > "$inputs/e/OLD/OLDAPP.EXE"
cp "$inputs/c/windows/QMCOND.INI" "$WINEPREFIX/drive_c/windows/"
cp "$inputs/e/OLD/OLDAPP.EXE" "$olddisk/OLD/"
target="$WINEPREFIX/drive_c/QMCOND"
rm -rf "$target"
map_drive d "$media" cdrom QMCOND
map_drive e "$olddisk" hd OLDDISK
prefix_ready

out=$(run_in_display '
  shots="'"$SCREENSHOTS"'"
  wine "D:\\SETUP.EXE" -full & pid=$!
  h=$(dialog_with "Edition?" 120) || { echo "step:question missing"; drive list; exit 1; }
  drive set-text $h 701 "Pro"; drive click $h 1
  h=$(dialog_with "Choose the parts:" 30) || { echo "step:groups missing"; exit 1; }
  drive click $h 101
  drive screenshot 0 "$shots/install-conditions-groups.png"
  drive click $h 1
  h=$(dialog_with "Please enter the destination drive and" 30) || { echo "step:destination missing"; for w in $(drive list | awk "{print \$1}"); do drive text $w; drive children $w; done; drive screenshot 0 "$shots/install-conditions-stuck.png"; exit 1; }
  drive click $h 1
  for i in $(seq 1 120); do kill -0 $pid 2>/dev/null || break; sleep 0.5; done
  echo "step:done"')
echo "$out"
check "the run met every question and ended" grep -q '^step:done' <<<"$out"

cat > "$inputs/machine.txt" <<'EOF'
windows-dir C:\windows
display 1024x768 16777216
drive C: fixed folder=c
drive D: cdrom label=QMCOND folder=../media
drive E: fixed label=OLDDISK folder=e
command D:\SETUP.EXE -full
EOF
printf 'ask1 Pro\ngroups 1,2\ndestination C:\\QMCOND\n' > "$inputs/answers.txt"
sim="$E2E_DIR/simulation"
rm -rf "$sim"
check "quill simulate ran the same installation" "$quill" simulate "$inputs/machine.txt" "$inputs/answers.txt" "$sim"
listing() { (cd "$1" && find . -type f | sort); }
echo "-- installed under Wine:"; listing "$target"
check "the same files were installed" equals "$(listing "$target")" "$(listing "$sim/c/QMCOND")"
check "the file found on E: received its neighbour" cmp -s "$olddisk/OLD/FOUND.TXT" "$sim/e/OLD/FOUND.TXT"
check "install.log equals the simulation's" cmp -s "$target/install.log" "$sim/c/QMCOND/install.log"
check "the answer and the ticked group chose their files" test -f "$target/PRO.TXT" -a -f "$target/SAMPLE.TXT"
echo "-- install.log under Wine:"; tr -d '\r' < "$target/install.log" 2>/dev/null
finish
