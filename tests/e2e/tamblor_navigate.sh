#!/usr/bin/env bash
# tamblor.exe under Wine on a drive mapped as a CD-ROM: the Down key moves the
# selection from entry to entry, Select on a directory line opens that
# directory's index above the root's (title panel and text pane follow, also
# one level deeper), Escape and "Parent Dir" go back one level at a time, and
# at the root Escape does nothing.
. "$(dirname "$0")/lib/e2e.sh"
. "$(dirname "$0")/lib/tamblor_pane.sh"

e2e_prefix tamblor_navigate
disc="$E2E_DIR/disc"
rm -rf "$disc"; mkdir -p "$disc/UTILS/DOCS"
map_drive d "$disc" cdrom NAVIGATE_CD
prefix_ready

printf 'DISC_TITLE "Navigate"\r\n' > "$disc/cdrom.cfg"
printf '==== Navigation test disc ====\r\nREADME.TXT  About this disc\r\n            (read me first)\r\nUTILS       Utility programs\r\n' > "$disc/00_index.txt"
printf 'Read me.\r\n' > "$disc/README.TXT"
printf 'TOOL.EXE    A tool\r\nDOCS        Its documentation\r\n' > "$disc/UTILS/00_index.txt"
printf 'MANUAL.TXT  The manual\r\n' > "$disc/UTILS/DOCS/00_index.txt"
exe="$QM_BUILD/tamblor/tamblor.exe"


out=$(run_in_display "$TAMBLOR_PANE_HELPERS"'
  wine "'"$exe"'" D: & pid=$!
  main=$(drive wait Tamblor Tamblor 20000) || { echo "no-window"; exit 0; }
  pane=$(drive children $main | awk "\$3 == \"ScrollWin\" { print \$1 }")
  drive children $main | sed "s/^/root:/"
  drive key $pane 40
  drive key $pane 40
  drive command $main 7
  until_panel_says "Directory: D:\\UTILS" && echo "opened-utils"
  drive children $main | sed "s/^/utils:/"
  drive screenshot $main "'"$SCREENSHOTS"'/tamblor-navigate-utils.png"
  drive key $pane 40
  drive command $main 7
  until_panel_says "Directory: D:\\UTILS\\DOCS" && echo "opened-docs"
  drive children $main | sed "s/^/docs:/"
  drive key $pane 27
  until_panel_says "Directory: D:\\UTILS" && echo "escaped-to-utils"
  drive children $main | sed "s/^/back:/"
  drive command $main 6
  until_panel_says "Navigate CDROM Root Directory" && echo "parent-to-root"
  drive children $main | sed "s/^/home:/"
  drive key $pane 27
  drive command $main 6
  sleep 1
  drive children $main | sed "s/^/stay:/"
  drive command $main 1
  drive wait-gone $main 10000 && echo "closed"
  wait $pid; echo "exit:$?"')
echo "$out"

check "root index shown first" grep -q '^root:.*ScrollWin "D:\\00_index.txt"' <<<"$out"
check "Select on UTILS opens its index" grep -q '^opened-utils' <<<"$out"
check "the title panel names the directory" grep -q '^utils:.*PanelWin "Directory: D:\\UTILS"' <<<"$out"
check "the pane shows the directory's index" grep -q '^utils:.*ScrollWin "D:\\UTILS\\00_index.txt"' <<<"$out"
check "a second level opens above the first" grep -q '^docs:.*ScrollWin "D:\\UTILS\\DOCS\\00_index.txt"' <<<"$out"
check "Escape goes back one level" grep -q '^escaped-to-utils' <<<"$out"
check "back in the UTILS index" grep -q '^back:.*ScrollWin "D:\\UTILS\\00_index.txt"' <<<"$out"
check "Parent Dir returns to the root" grep -q '^parent-to-root' <<<"$out"
check "the root index again" grep -q '^home:.*ScrollWin "D:\\00_index.txt"' <<<"$out"
check "Escape at the root does nothing" grep -q '^stay:.*PanelWin "Navigate CDROM Root Directory"' <<<"$out"
check "Exit closes the window" grep -q '^closed' <<<"$out"
check "exit code 0" equals "$(echo "$out" | grep "^exit:")" "exit:0"
check "screenshot saved" test -s "$SCREENSHOTS/tamblor-navigate-utils.png"
finish
