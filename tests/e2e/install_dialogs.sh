#!/usr/bin/env bash
# The installer's dialogs under Wine, driven through Win32 on a script of this
# test's own: the first screen (QUITPROMPT answered No), the ASK question
# (an answer typed with leading separators), the group page with check boxes
# and the exclusive page of radio buttons it leads to (NOGROUPPROMPT when
# nothing is ticked), the destination dialogs 350, 250 and 300 (one per
# destination: DEFAULTDIR, DIR2 and DIR3, each with its bad entry first), the
# pop-up message and the progress window part-way (the overwrite question
# holds the copy while the test looks), Cancel in the progress window answered
# No, and the last screen. A second run answers the progress window's Cancel
# with Yes: the run stops there and installs nothing more.
# Texts, check states, button kinds and the installed files are checked
# through Win32 and on disk; screenshots go to screenshots/install-dialogs-*.
. "$(dirname "$0")/lib/e2e.sh"

e2e_prefix install_dialogs
media="$WINEPREFIX/drive_c/dlgsetup"
rm -rf "$media"; mkdir -p "$media"
crlf() { printf '%s\r\n' "$@"; }
crlf 'TITLE "Dialog Check" BOLD' \
     'TITLECOLOR (255,255,255)' \
     'SCREENCOLOR (0,0,200) (0,0,40)' \
     'SCREENGRAPHIC CORNER.BMP TOPRIGHT' \
     'OKPROMPT "Next"' \
     'CANCELPROMPT "Stop"' \
     'COPYFILEPROMPT "Copying now:"' \
     'DEFAULTDIR "C:\QMDLG"' \
     'DIR2 "C:\QMEXTRA\TWO" NOASKDRIVE prompt="Where shall the extra files go?"' \
     'DIR3 "C:\QMEXTRA\THREE" NOASKDIR' \
     'ASK1 "Standard" prompt="Type the edition name that the settings file should carry:"' \
     'BEGINFIRSTSCREEN' \
     'Welcome to the dialog check.' \
     '' \
     'This first screen has one line that is clearly the widest of them all.' \
     'ENDFIRSTSCREEN' \
     'BEGINGROUP 1' \
     'Choose the parts to install:' \
     '01 [X] Program files' \
     '02 [ ] Sample files' \
     '03 [X] Help files' \
     'ENDGROUP' \
     'BEGINGROUP EXCLUSIVE 3' \
     'Choose the size of the help:' \
     '04 [ ] Small help' \
     '05 [X] Medium help' \
     '06 [X] Large help' \
     'ENDGROUP' \
     'POPMESSAGE 1' \
     'The pop-up message names the widest line it holds in this block.' \
     'ENDPOP' \
     'FILE BASE.TXT POPID=1' \
     'FILE PROG.TXT GROUP=1' \
     'FILE SAMPLE.TXT GROUP=2' \
     'FILE HELP.TXT GROUP=3' \
     'FILE HSMALL.TXT GROUP=4' \
     'FILE HMEDIUM.TXT GROUP=5' \
     'FILE HLARGE.TXT GROUP=6' \
     'FILE $DIR2$\TWO.TXT' \
     'FILE $DIR3$\THREE.TXT' \
     'FILE keep1.txt OVERWRITE=ASK' \
     'FILE MID.TXT' \
     'FILE LATE.TXT' \
     'INIFILE "Answers" "Edition" "$ASK1$" "$DEFAULTDIR$\DLG.INI"' \
     'BEGINLASTSCREEN' \
     'The dialog check is complete.' \
     'ENDLASTSCREEN' > "$media/SETUP.CFG"
for f in BASE PROG SAMPLE HELP HSMALL HMEDIUM HLARGE TWO THREE MID LATE; do crlf "$f" > "$media/$f.TXT"; done
crlf 'new keep1' > "$media/keep1.txt"
# A 48 x 48 true-colour picture in green (0,200,0) for the top right corner.
python3 - "$media/CORNER.BMP" <<'PY'
import struct, sys
width = height = 48
stride = ((24 * width + 31) // 32) * 4
rows = (bytes([0, 200, 0]) * width).ljust(stride, b"\0") * height
header = struct.pack("<2sIHHI", b"BM", 54 + len(rows), 0, 0, 54)
info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, 0, 2835, 2835, 0, 0)
open(sys.argv[1], "wb").write(header + info + rows)
PY
cp "$QM_BUILD/install/install.exe" "$media/SETUP.EXE"
target="$WINEPREFIX/drive_c/QM DLG"
extra="$WINEPREFIX/drive_c/QMEXTRA"
fresh_targets() {  # the targets empty but for the old KEEP1.TXT the run asks about
  rm -rf "$target" "$extra" "$WINEPREFIX/drive_c/QMDLG"
  mkdir -p "$target" "$WINEPREFIX/drive_c/QMDLG"
  crlf 'old keep1' > "$target/KEEP1.TXT"
  cp "$target/KEEP1.TXT" "$WINEPREFIX/drive_c/QMDLG/"
}
fresh_targets
prefix_ready
export SHOTS="$SCREENSHOTS"
rm -f "$SHOTS"/install-dialogs-*.png

# --- Steps run inside the display; each prints "key=value" lines. ---------

# dialog_reading <text> <seconds>: a top-level window whose caption or one of
# whose controls reads exactly <text>.
dialog_reading() {
  drive wait-text "$1" $(( $2 * 1000 )) || { echo "missing=$1" >&2; return 1; }
}
# The ids and texts of a dialog's controls, one "id:text" a line.
items() { drive children $1 | sed -E 's/^[0-9a-f]+ (-?[0-9]+) [^ ]+ "(.*)"$/\1:\2/'; }
# fits <dialog>: "fit=<text>" for every static whose text fits its control in
# the screens' font (MS Sans Serif, 10 point), "cut=<text>" for one that does not.
fits() {
  local line child text fit
  drive children $1 | while read -r line; do
    set -- $line
    [ "$3" = Static ] || continue
    child=$1; text=$(echo "$line" | sed -E 's/^[^"]*"(.*)"$/\1/')
    [ -n "$text" ] || continue
    fit=$(drive text-fit $child "MS Sans Serif" 10) || { echo "unmeasured=$text"; continue; }
    set -- $fit
    if [ "$1" -le "$2" ]; then echo "fit=$text"; else echo "cut=$text ($1 > $2)"; fi
  done
}
# quit_prompt <answer id>: the QUITPROMPT box, answered.
quit_prompt() {
  local q
  q=$(dialog_reading "Do you wish to quit?" 20) || return 1
  echo "quit-caption=[$(drive text $q)]"
  echo "quit-buttons=$(items $q | grep -E '^(6|7|1|2):' | cut -d: -f1 | sort | tr '\n' ' ')"
  drive click $q $1
  drive wait-gone $q 10000 && echo "quit-answered=$1"
}
# message_ok <text>: a message box with that text; its caption, then OK.
message_ok() {
  local m
  m=$(dialog_reading "$1" 20) || return 1
  echo "message=$1 caption=[$(drive text $m)]"
  drive click $m 1
  drive wait-gone $m 10000
}
bar_pixels() {  # bar_pixels <progress dialog> <png>: colours at the bar's two ends
  local bar dlg
  bar=$(drive children $1 | awk '$2 == 102 {print $1}')
  set -- $(drive rect $bar) $(drive rect $1) "$2"
  echo "bar-left=$(python3 "$QM_SOURCE/tests/e2e/lib/png_pixels.py" pixel "$9" $(( $1 - $5 + 3 )) $(( ($2 + $4) / 2 - $6 )))"
  echo "bar-right=$(python3 "$QM_SOURCE/tests/e2e/lib/png_pixels.py" pixel "$9" $(( $3 - $5 - 3 )) $(( ($2 + $4) / 2 - $6 )))"
}

run_a() {
  wine "C:\\dlgsetup\\SETUP.EXE" & local pid=$! h
  h=$(dialog_reading "Welcome to the dialog check." 90) || exit 1
  sleep 1
  drive screenshot 0 "$SHOTS/install-dialogs-backdrop.png"
  drive screenshot $h "$SHOTS/install-dialogs-first-screen.png"
  items $h | sed 's/^/first:/'
  fits $h | sed 's/^/first-/'
  drive click $h 2
  quit_prompt 7
  echo "first-after-no=$(drive text $h >/dev/null && echo open)"
  drive click $h 1

  h=$(dialog_reading "Type the edition name that the settings file" 30) || exit 1
  items $h | sed 's/^/ask:/'
  drive set-text $h 701 "  ,(Pro Edition  "
  drive click $h 1

  h=$(dialog_reading "Choose the parts to install:" 30) || exit 1
  items $h | sed 's/^/groups:/'
  for id in 100 101 102; do echo "groups-state:$id=$(drive checked $h $id) style=$(( 0x$(drive style $h $id) & 15 ))"; done
  for id in 100 101 102; do drive set-check $h $id 0; done
  drive click $h 1
  message_ok "No group is selected."
  echo "groups-after-none=$(drive text $h >/dev/null && echo open)"
  drive set-check $h 101 1; drive set-check $h 102 1
  drive screenshot $h "$SHOTS/install-dialogs-group-page.png"
  drive click $h 1

  h=$(dialog_reading "Choose the size of the help:" 30) || exit 1
  items $h | sed 's/^/sizes:/'
  for id in 103 104 105; do echo "sizes-state:$id=$(drive checked $h $id) style=$(( 0x$(drive style $h $id) & 15 ))"; done
  drive click $h 105
  sleep 0.5
  for id in 103 104 105; do echo "sizes-clicked:$id=$(drive checked $h $id)"; done
  drive screenshot $h "$SHOTS/install-dialogs-exclusive-page.png"
  drive click $h 1

  h=$(dialog_reading "Please enter the destination drive and" 30) || exit 1
  drive screenshot $h "$SHOTS/install-dialogs-destination-350.png"
  items $h | sed 's/^/d350:/'
  drive set-text $h 204 "C:APP"; drive click $h 1
  message_ok "Invalid drive specification."
  echo "d350-restored=$(drive item-text $h 204)"
  drive set-text $h 204 "C:\\QM DLG"; drive click $h 1

  h=$(dialog_reading "Where shall the extra files go?" 30) || exit 1
  drive screenshot $h "$SHOTS/install-dialogs-destination-250.png"
  items $h | sed 's/^/d250:/'
  drive set-text $h 204 "QMEXTRA\\MY APP"; drive click $h 1

  h=$(dialog_reading "Please enter the destination drive:" 30) || exit 1
  drive screenshot $h "$SHOTS/install-dialogs-destination-300.png"
  items $h | sed 's/^/d300:/'
  drive set-text $h 204 "7"; drive click $h 1
  message_ok "Invalid drive specification."
  echo "d300-restored=$(drive item-text $h 204)"
  drive set-text $h 204 "c"; drive click $h 1

  h=$(dialog_reading 'File exists.  Overwrite C:\QM DLG\keep1.txt?' 60) || exit 1
  local progress popup
  progress=$(drive wait-item 102 "*" 5000) || { echo "missing=progress"; exit 1; }
  popup=$(dialog_reading "The pop-up message names the widest line it holds in this block." 5)
  # The question stands in front of the progress window: move it aside for the pictures.
  drive move $h 8 500
  sleep 0.5
  drive screenshot 0 "$SHOTS/install-dialogs-progress-screen.png"
  drive screenshot $progress "$SHOTS/install-dialogs-progress.png"
  items $progress | sed 's/^/progress:/'
  bar_pixels $progress "$SHOTS/install-dialogs-progress.png"
  [ -n "$popup" ] && fits $popup | sed 's/^/popup-/'
  drive click $progress 2
  quit_prompt 7
  echo "progress-after-no=$(drive text $progress >/dev/null && echo open)"
  drive click $h 6

  h=$(dialog_reading "The dialog check is complete." 60) || exit 1
  items $h | sed 's/^/last:/'
  drive click $h 1
  for i in $(seq 1 120); do kill -0 $pid 2>/dev/null || break; sleep 0.5; done
  kill -0 $pid 2>/dev/null || echo "ended=yes"
}

run_b() {
  wine "C:\\dlgsetup\\SETUP.EXE" & local pid=$! h text
  for text in "Welcome to the dialog check." "Type the edition name that the settings file" \
              "Choose the parts to install:" "Choose the size of the help:" \
              "Please enter the destination drive and" "Where shall the extra files go?" \
              "Please enter the destination drive:"; do
    h=$(dialog_reading "$text" 90) || exit 1
    drive click $h 1; drive wait-gone $h 10000
  done
  h=$(dialog_reading 'File exists.  Overwrite C:\QMDLG\keep1.txt?' 60) || exit 1
  local progress
  progress=$(drive wait-item 102 "*" 5000) || { echo "missing=progress"; exit 1; }
  drive click $progress 2
  quit_prompt 6
  drive wait-gone $progress 10000 && echo "progress-after-yes=gone"
  drive click $h 7
  for i in $(seq 1 120); do
    kill -0 $pid 2>/dev/null || break
    drive wait-text "The dialog check is complete." 500 >/dev/null 2>&1 && echo "last-screen=shown"
  done
  kill -0 $pid 2>/dev/null || echo "ended=yes"
}

steps="$(declare -f dialog_reading items fits quit_prompt message_ok bar_pixels run_a run_b)"
started=$(date +%s)
out=$(run_in_display "$steps; run_a" 2>&1)
echo "first run: $(( $(date +%s) - started )) s"
echo "$out"
has() { grep -qxF -- "$1" <<<"$out"; }
check_has() { check "$1" has "$2"; }

# The first screen: its lines, its buttons, QUITPROMPT answered No.
check_has "first screen: its first line" "first:65535:Welcome to the dialog check."
check_has "first screen: its widest line" "first:65535:This first screen has one line that is clearly the widest of them all."
check_has "first screen: OK button from OKPROMPT" "first:1:Next"
check_has "first screen: Cancel button from CANCELPROMPT" "first:2:Stop"
check "first screen: every line fits its control" \
  test "$(grep -c '^first-fit=' <<<"$out")" -eq 2 -a "$(grep -c '^first-\(cut\|unmeasured\)=' <<<"$out")" -eq 0
check_has "QUITPROMPT: empty caption" "quit-caption=[]"
check_has "QUITPROMPT: Yes and No only" "quit-buttons=6 7 "
check_has "QUITPROMPT answered No leaves the first screen open" "first-after-no=open"
# The question: the prompt split at its width, the default answer, the buttons.
check_has "ASK: first prompt line" "ask:301:Type the edition name that the settings file"
check_has "ASK: second prompt line" "ask:302:should carry:"
check_has "ASK: the default answer" "ask:701:Standard"
check_has "ASK: OK from OKPROMPT" "ask:1:Next"
check_has "ASK: Cancel from CANCELPROMPT" "ask:2:Stop"
# The group pages.
check_has "groups: the heading line" "groups:65535:Choose the parts to install:"
check_has "groups: item 01 is a check box with its text" "groups:100: Program files"
check_has "groups: item 03 is a check box with its text" "groups:102: Help files"
check_has "groups: [X] pre-selects 01 (auto check box)" "groups-state:100=1 style=3"
check_has "groups: [ ] leaves 02 clear" "groups-state:101=0 style=3"
check_has "groups: [X] pre-selects 03" "groups-state:102=1 style=3"
check_has "groups: nothing ticked shows NOGROUPPROMPT with caption \" \"" \
  "message=No group is selected. caption=[ ]"
check_has "groups: NOGROUPPROMPT leaves the page open" "groups-after-none=open"
check_has "exclusive page: shown for the chosen group 03" "sizes:65535:Choose the size of the help:"
check_has "exclusive page: radio buttons, none pre-selected but the first [X]" "sizes-state:103=0 style=9"
check_has "exclusive page: the first [X] item is checked" "sizes-state:104=1 style=9"
check_has "exclusive page: the second [X] item is not" "sizes-state:105=0 style=9"
check_has "exclusive page: a click moves the choice (old one cleared)" "sizes-clicked:104=0"
check_has "exclusive page: a click moves the choice (new one set)" "sizes-clicked:105=1"
# The destination dialogs.
check_has "350: prompt split, first line" "d350:301:Please enter the destination drive and"
check_has "350: prompt split, second line" "d350:302:directory:"
check_has "350: the whole path in item 204" "d350:204:C:\\QMDLG"
check "350: no drive or rest item" test "$(grep -c '^d350:30[45]:' <<<"$out")" -eq 0
check_has "350: C:APP refused with BADDRIVEPROMPT, caption \" \"" \
  "message=Invalid drive specification. caption=[ ]"
check_has "350: the old text put back" "d350-restored=C:\\QMDLG"
check_has "250: own prompt on one line in item 302" "d250:302:Where shall the extra files go?"
check_has "250: item 301 empty" "d250:301:"
check_has "250: the drive in item 305" "d250:305:C:\\"
check_has "250: the rest of the path in item 204" "d250:204:QMEXTRA\\TWO"
check_has "250: OK from OKPROMPT" "d250:1:Next"
check_has "300: default prompt for the drive" "d300:302:Please enter the destination drive:"
check_has "300: the drive letter in item 204" "d300:204:C"
check_has "300: the rest in item 304" "d300:304::\\QMEXTRA\\THREE"
check_has "300: a digit refused, the letter put back" "d300-restored=C"
# The progress window part-way.
check_has "progress: COPYFILEPROMPT in item 101" "progress:101:Copying now:"
check_has "progress: the file upper-cased in item 103" "progress:103:KEEP1.TXT"
check_has "progress: Cancel from CANCELPROMPT" "progress:2:Stop"
check_has "progress: the bar filled in blue at its left" "bar-left=0,0,255"
check_has "progress: the bar still white at its right" "bar-right=255,255,255"
check "pop-up: its line fits its control" test "$(grep -c '^popup-fit=' <<<"$out")" -eq 1
check_has "progress: QUITPROMPT answered No keeps the run going" "progress-after-no=open"
check_has "last screen: its line" "last:65535:The dialog check is complete."
check_has "the first run ended" "ended=yes"

c=$WINEPREFIX/drive_c
echo "installed in C:\QM DLG: $(cd "$target" && ls | tr '\n' ' ')"
installed() { [ -f "$1" ]; }
absent() { local f; for f; do [ ! -e "$f" ] || return 1; done; }
check "groups: unticked 01 not installed" absent "$target/PROG.TXT"
check "groups: ticked 02 installed" installed "$target/SAMPLE.TXT"
check "groups: ticked 03 installed" installed "$target/HELP.TXT"
check "groups: the radio choice 06 installed" installed "$target/HLARGE.TXT"
check "groups: the radio items not chosen not installed" absent "$target/HMEDIUM.TXT" "$target/HSMALL.TXT"
check "250: MY APP cut at the space: C:\\QMEXTRA\\MY" installed "$extra/MY/TWO.TXT"
check "300: the drive kept the rest of the path" installed "$extra/THREE/THREE.TXT"
# (Wine gives the re-created file the name's letter case as the run wrote it.)
check "the overwrite answered Yes replaced KEEP1.TXT" equals "$(tr -d '\r' < "$target/keep1.txt")" "new keep1"
check "the run went on after No: LATE.TXT installed" installed "$target/LATE.TXT"
# Typed "  ,(Pro Edition  ": the leading separators go, the rest is the answer.
edition=$(grep '^Edition=' "$target/DLG.INI" | tr -d '\r')
echo "DLG.INI: [$edition]"
check "ASK: the answer without its leading separators in the INI file" equals "$edition" "Edition=Pro Edition  "

# Second run: Cancel in the progress window answered Yes.
fresh_targets
out=$(run_in_display "$steps; run_b" 2>&1)
echo "$out"
check_has "QUITPROMPT Yes closes the progress window" "progress-after-yes=gone"
check "after Yes the last screen never came" test "$(grep -c '^last-screen=' <<<"$out")" -eq 0
check_has "after Yes the program ended" "ended=yes"
check "after Yes KEEP1.TXT kept (overwrite answered No)" \
  equals "$(tr -d '\r' < "$c/QMDLG/KEEP1.TXT")" "old keep1"
check "after Yes nothing more installed" absent "$c/QMDLG/MID.TXT" "$c/QMDLG/LATE.TXT"
check "after Yes no INI edit" absent "$c/QMDLG/DLG.INI"
check "before Yes the earlier files were installed" installed "$c/QMDLG/BASE.TXT"
finish
