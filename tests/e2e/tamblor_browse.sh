#!/usr/bin/env bash
# tamblor.exe under Wine on a drive mapped as a CD-ROM, driven through Win32:
# the keys and characters move the selection from entry to entry (Down, "n",
# End, Home, Page Down, Page Up), Left/Right and Ctrl+B scroll sideways, a
# click selects the entry under the pointer and a double click opens it,
# Enter opens a directory and Escape comes back with the selection kept, an
# entry name with a wildcard opens nothing, the Global Index opens a file
# below its "path: " line and "Hierarchical Index" goes back, the toolbar's
# word search finds a text and says when there is no more, and a language
# switch keeps the selected entry. The pane's state (file, top line, selected
# entry) is read through Win32; screenshots are saved.
. "$(dirname "$0")/lib/e2e.sh"
. "$(dirname "$0")/lib/tamblor_pane.sh"

e2e_prefix tamblor_browse
disc="$E2E_DIR/disc"
rm -rf "$disc"; mkdir -p "$disc/UTILS" "$disc/LANG"
map_drive d "$disc" cdrom BROWSE_CD
prefix_ready

printf 'DISC_TITLE "Browse"\r\nTRANS_DIR "\\LANG"\r\n' > "$disc/cdrom.cfg"
{
  printf '==== Browse test disc ====\r\n'
  printf 'README.TXT  About this disc\r\n'
  printf '            (read me first)\r\n'
  printf 'BAD*.TXT    A name with a wildcard\r\n'
  printf 'UTILS       Utility programs\r\n'
  printf 'WIDE.TXT    %s\r\n' "$(printf -- '-%.0s' $(seq 150))"
  for i in $(seq -w 1 40); do printf 'FILE%s.TXT  Entry number %s\r\n' "$i" "$i"; done
  printf 'LAST.TXT    The last entry\r\n'
} > "$disc/00_index.txt"
printf 'README.TXT  Ueber diese Disc\r\nUTILS       Hilfsprogramme\r\nLAST.TXT    Der letzte Eintrag\r\n' > "$disc/00_index.ger"
printf 'Read me.\r\n' > "$disc/README.TXT"
printf 'BAD.TXT must never open for BAD*.TXT\r\n' > "$disc/BADX.TXT"
printf 'TOOL.TXT    The manual of the tool\r\nDOCS        Documents\r\n' > "$disc/UTILS/00_index.txt"
printf 'The manual of the tool.\r\n' > "$disc/UTILS/TOOL.TXT"
printf '==== Global index ====\r\npath: \\UTILS\r\nTOOL.TXT    The manual of the tool\r\n' > "$disc/00global.txt"
cp "$QM_BUILD/tests/lang/GERMAN32.DLL" "$disc/LANG/GERMAN32.DLL"
exe="$QM_BUILD/tamblor/tamblor.exe"

helpers="$TAMBLOR_PANE_HELPERS"

out=$(run_in_display "$helpers"'
  wine "'"$exe"'" D: & pid=$!
  main=$(drive wait Tamblor Tamblor 20000) || { echo "no-window"; exit 0; }
  pane=$(drive children $main | awk "\$3 == \"ScrollWin\" { print \$1 }")
  toolbar=$(drive children $main | awk "\$3 == \"ToolBar\" { print \$1 }")
  show start
  drive send-key $pane 40; show down
  drive send-char $pane 110; show n
  drive send-char $pane 13; show wildcard
  echo "wildcard-title:$(drive item-text $main 1)"
  drive send-key $pane 40
  drive send-char $pane 13
  echo "opened:$(drive item-text $main 1)"
  show utils
  drive send-key $pane 40; show utils-down
  drive send-char $pane 27
  echo "escaped:$(drive item-text $main 1)"
  show back
  drive send-key $pane 35; show end
  drive screenshot $main "'"$SCREENSHOTS"'/tamblor-browse-end.png"
  drive send-key $pane 36; show home
  drive send-key $pane 34; show pagedown
  drive send-key $pane 33; show pageup
  drive send-key $pane 39; drive send-key $pane 39; show right
  drive send-char $pane 2; show ctrl-b
  drive screenshot $main "'"$SCREENSHOTS"'/tamblor-browse-sideways.png"
  drive send-key $pane 37; show left
  drive pane-click $pane 2; show click
  drive pane-click $pane 4 double
  echo "double-click:$(drive item-text $main 1)"
  drive send-char $pane 27; show after-double

  drive command $main 11
  until_panel_says "Browse: Global CDROM Index" && echo "global-opened"
  show global
  drive send-key $pane 40; drive send-key $pane 40; show global-down
  drive send-char $pane 13
  echo "global-select:$(drive item-text $main 1)"
  drive screenshot $main "'"$SCREENSHOTS"'/tamblor-browse-file.png"
  drive send-char $pane 27
  echo "global-back:$(drive item-text $main 1)"
  drive send-char $pane 27
  echo "global-escape:$(drive item-text $main 1)"
  drive command $main 12
  until_panel_says "Browse CDROM Root Directory" && echo "hierarchical"

  drive set-text $toolbar 203 "entry number 2"
  drive click $toolbar 204
  for _ in $(seq 40); do [ "$(field selected)" = "Entry" ] && break; sleep 0.25; done
  show found
  drive screenshot $main "'"$SCREENSHOTS"'/tamblor-browse-found.png"
  drive click $toolbar 205
  box=$(drive wait "#32770" "Tamblor: WordSearch" 10000) && drive children $box | sed "s/^/nomore:/"
  [ -n "$box" ] && drive click $box 1 && drive wait-gone $box 10000 && echo "nomore-closed"
  show after-nomore

  drive send-key $pane 36; drive send-key $pane 40; drive send-key $pane 40; drive send-key $pane 40
  show before-switch
  drive command $main 51
  until_panel_says "Browse CDROM Hauptverzeichnis" && echo "german"
  show german
  drive screenshot $main "'"$SCREENSHOTS"'/tamblor-browse-german.png"
  drive command $main 50
  until_panel_says "Browse CDROM Root Directory" && echo "english"
  show english
  drive command $main 1
  drive wait-gone $main 10000 && echo "closed"
  wait $pid; echo "exit:$?"')
echo "$out"

has() { grep -qxF -- "$1" <<<"$out"; }
# shown <tag>: the selection recorded under the tag starts in the window (at or below its top line).
shown() {
  local top sel
  top=$(sed -n "s/^$1:top=//p" <<<"$out"); sel=$(sed -n "s/^$1:selection=\([0-9]*\)-.*/\1/p" <<<"$out")
  [ -n "$top" ] && [ -n "$sel" ] && [ "$sel" -ge "$top" ]
}
check "root index shown with its first entry selected" has 'start:selection=0-27'
check "the top line is the heading" has 'start:top-line===== Browse test disc ===='
check "Down selects the next entry" has 'down:selected=README.TXT'
check "n selects the entry after the continuation line" has 'n:selected=BAD*.TXT'
check "a name with a wildcard opens nothing" has 'wildcard:file=D:\00_index.txt'
check "and the program goes on in the root" has 'wildcard-title:Browse CDROM Root Directory'
check "Enter opens the directory" has 'opened:Directory: D:\UTILS'
check "the pane shows the directory's index" has 'utils:file=D:\UTILS\00_index.txt'
check "Down in the directory" has 'utils-down:selected=DOCS'
check "Escape goes back" has 'escaped:Browse CDROM Root Directory'
check "the selection is kept" has 'back:selected=UTILS'
check "End selects the last entry" has 'end:selected=LAST.TXT'
check "End scrolls the last page into the window" grep -q '^end:top=[1-9]' <<<"$out"
check "Home selects the first entry at the top" has 'home:top=0'
check "Home selection" has 'home:selection=0-27'
check "Page Down moves the window" grep -q '^pagedown:top=[1-9]' <<<"$out"
check "Page Down moves the selection with it" grep -q '^pagedown:selected=FILE' <<<"$out"
check "and keeps it in the window" shown pagedown
check "End shows the selected last entry" shown end
check "Page Up comes back to the top" has 'pageup:top=0'
check "Right scrolls sideways" has 'right:horizontal=2'
check "Ctrl+B scrolls back" has 'ctrl-b:horizontal=1'
check "Left scrolls back to the margin" has 'left:horizontal=0'
check "a click on a continuation line selects its entry" has 'click:selected=README.TXT'
check "a double click opens the entry" has 'double-click:Directory: D:\UTILS'
check "back from the double-clicked directory" has 'after-double:selected=UTILS'
check "Global Index opens" has 'global-opened'
check "the global index file" has 'global:file=D:\00global.txt'
check "Down in the global index" has 'global-down:selected=TOOL.TXT'
check "Select opens the file below its path line" has 'global-select:ViewFile: D:\UTILS\TOOL.TXT'
check "Escape returns to the global index" has 'global-back:Browse: Global CDROM Index'
check "Escape does not leave the global index" has 'global-escape:Browse: Global CDROM Index'
check "Hierarchical Index goes back" has 'hierarchical'
check "the word search selects the found text" has 'found:selected=Entry'
check "the found text is in the window" shown found
check "no more occurrences: the box says so" grep -q '^nomore:.*"No more occurrences found."' <<<"$out"
check "the box closes with OK" has 'nomore-closed'
check "the selection stays after the box" has 'after-nomore:selected=Entry'
check "UTILS selected before the switch" has 'before-switch:selected=UTILS'
check "the language switch shows the German index" has 'german:file=D:\00_index.ger'
check "and keeps the entry" has 'german:selected=UTILS'
check "back in English with the entry" has 'english:selected=UTILS'
check "Exit closes the window" has 'closed'
check "exit code 0" has 'exit:0'
for shot in end sideways file found german; do
  check "screenshot $shot saved" test -s "$SCREENSHOTS/tamblor-browse-$shot.png"
done
finish
