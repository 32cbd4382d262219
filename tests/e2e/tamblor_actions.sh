#!/usr/bin/env bash
# tamblor.exe under Wine on a drive mapped as a CD-ROM, driven through Win32:
# a text file opens in the viewer and its long line wraps and unwraps with
# LineWrap; the toolbar's word search finds forwards and backwards until
# "No more occurrences found."; Copy File copies a file to drive C: through
# the destination dialog (an invalid destination is refused first); an archive
# is installed with a stand-in unpacker built by the project, its generated
# index shown, and closing it deletes the installed directory. Screenshots
# are saved.
. "$(dirname "$0")/lib/e2e.sh"
. "$(dirname "$0")/lib/tamblor_pane.sh"

e2e_prefix tamblor_actions
disc="$E2E_DIR/disc"
rm -rf "$disc"; mkdir -p "$disc/BIN"
map_drive d "$disc" cdrom ACTIONS_CD
prefix_ready
drive_c="$WINEPREFIX/drive_c"
rm -rf "$drive_c/COPIES" "$drive_c/UNZIPPED"

printf 'DISC_TITLE "Actions"\r\nUNZIP_ROOT "UNZIPPED"\r\nUNCOMPRESS ".arc" "\\BIN\\UNPACK.EXE"\r\n' > "$disc/cdrom.cfg"
printf '==== Actions test disc ====\r\nREADME.TXT  About this disc\r\nGAME.ARC    A game to install\r\n' > "$disc/00_index.txt"
{
  printf 'First line: a needle in the text.\r\n'
  printf '%s\r\n' "$(printf 'w%.0s' $(seq 200))"
  printf 'Last line: another needle.\r\n'
} > "$disc/README.TXT"
printf 'README.TXT|How to play\r\nGAME.EXE|not really a program\r\nDOCS\\MANUAL.TXT|The manual\r\n' > "$disc/GAME.ARC"
cp "$QM_BUILD/tests/e2e-tools/UNPACK.EXE" "$disc/BIN/UNPACK.EXE"
exe="$QM_BUILD/tamblor/tamblor.exe"

helpers="$TAMBLOR_PANE_HELPERS"'
  # search <button id>: one click on Find Next (204) or Find Previous (205);
  # answers "No more occurrences found." with OK when it comes.
  search() {
    local before=$(field selection) box
    drive click $toolbar $1
    for _ in $(seq 40); do
      [ "$(field selection)" != "$before" ] && return 0
      box=$(drive wait "#32770" "Tamblor: WordSearch" 250) && {
        drive children $box | sed "s/^/nomore-$1:/"
        drive click $box 1; drive wait-gone $box 10000; return 0; }
    done
    return 1
  }'

out=$(run_in_display "$helpers"'
  wine "'"$exe"'" D: & pid=$!
  main=$(drive wait Tamblor Tamblor 20000) || { echo "no-window"; exit 0; }
  pane=$(drive children $main | awk "\$3 == \"ScrollWin\" { print \$1 }")
  toolbar=$(drive children $main | awk "\$3 == \"ToolBar\" { print \$1 }")

  drive send-key $pane 40
  drive send-char $pane 13
  echo "viewer:$(drive item-text $main 1)"
  show unwrapped
  drive command $main 20
  sleep 0.5
  show wrapped
  drive screenshot $main "'"$SCREENSHOTS"'/tamblor-actions-wrapped.png"
  drive command $main 20
  sleep 0.5
  show unwrapped-again

  drive set-text $toolbar 203 "NEEDLE"
  search 204; show find-1
  search 204; show find-2
  drive screenshot $main "'"$SCREENSHOTS"'/tamblor-actions-found.png"
  search 204; show find-3
  search 205; show back-1
  search 205; show back-2
  drive send-char $pane 27
  echo "index:$(drive item-text $main 1)"

  drive command $main 10
  dialog=$(drive wait "#32770" "Copy File: Destination Query" 10000) && echo "copy-dialog"
  drive children $dialog | sed "s/^/copy:/"
  drive screenshot 0 "'"$SCREENSHOTS"'/tamblor-actions-copy.png"
  drive set-text $dialog 105 "E:\\COPIES"
  drive click $dialog 1
  box=$(drive wait "#32770" "Tamblor: Copy File" 10000) && drive children $box | sed "s/^/invalid:/"
  [ -n "$box" ] && drive click $box 1 && drive wait-gone $box 10000
  drive set-text $dialog 105 "C:\\COPIES"
  drive click $dialog 1
  drive wait-gone $dialog 20000 && echo "copy-done"

  drive send-key $pane 40
  drive send-char $pane 13
  dialog=$(drive wait "#32770" "Program Install: Destination Query" 10000) && echo "install-dialog"
  drive children $dialog | sed "s/^/install:/"
  drive set-text $dialog 105 "C:\\UNZIPPED\\GAME"
  drive click $dialog 1
  drive wait-gone $dialog 30000 && echo "install-done"
  until_panel_says "Archive: D:\\GAME.ARC" && echo "generated-shown"
  show generated
  drive screenshot $main "'"$SCREENSHOTS"'/tamblor-actions-generated.png"

  drive send-char $pane 27
  question=$(drive wait "#32770" "Tamblor" 10000) && drive children $question | sed "s/^/question:/"
  [ -n "$question" ] && drive click $question 6 && drive wait-gone $question 20000 && echo "deleted"
  until_panel_says "Actions CDROM Root Directory" && echo "back-at-root"
  drive command $main 1
  drive wait-gone $main 10000 && echo "closed"
  wait $pid; echo "exit:$?"')
echo "$out"
echo "C: holds: $(cd "$drive_c" && ls -d COPIES/* UNZIPPED UNZIPPED/* 2>/dev/null | tr '\n' ' ')"

has() { grep -qxF -- "$1" <<<"$out"; }
first_needle=$(grep -bo -i needle "$disc/README.TXT" | head -1 | cut -d: -f1)
check "the text file opens in the viewer" has 'viewer:ViewFile: D:\README.TXT'
check "unwrapped: the long line is one row" has 'unwrapped:rows=0,35,237'
check "wrapped: the long line breaks into rows" grep -q '^wrapped:rows=0,35,[0-9]*$' <<<"$out"
check "wrapped: the second row of the long line starts inside it" bash -c '[ "$(sed -n "s/^wrapped:rows=0,35,//p" <<<"$1")" -lt 235 ]' _ "$out"
check "unwrapped again" has 'unwrapped-again:rows=0,35,237'
check "Find Next finds the first needle" has "find-1:selection=$first_needle-$((first_needle + 5))"
check "Find Next finds the second needle" grep -q '^find-2:selected=needle' <<<"$out"
check "then there are no more" grep -q '^nomore-204:.*"No more occurrences found."' <<<"$out"
check "the selection stays on the last one" bash -c '[ "$(grep "^find-3:selection=" <<<"$1" | cut -d= -f2)" = "$(grep "^find-2:selection=" <<<"$1" | cut -d= -f2)" ]' _ "$out"
check "Find Previous goes back to the first" has "back-1:selection=$first_needle-$((first_needle + 5))"
check "and then there are no more before it" grep -q '^nomore-205:.*"No more occurrences found."' <<<"$out"
check "Escape returns to the index" has 'index:Actions CDROM Root Directory'
check "Copy File shows its dialog" has 'copy-dialog'
check "the dialog shows the source" grep -q '^copy:.* 101 Static "D:\\README.TXT"' <<<"$out"
check "the dialog proposes a destination" grep -q '^copy:.*"C:\\UNZIPPED\\README"' <<<"$out"
check "the CD-ROM is refused" grep -q '^invalid:.*"Destination directory is invalid."' <<<"$out"
check "the copy ends the dialog" has 'copy-done'
check "the file is on C:" test -f "$drive_c/COPIES/README.TXT"
check "the copy is the same file" cmp -s "$disc/README.TXT" "$drive_c/COPIES/README.TXT"
check "the install dialog" has 'install-dialog'
check "the install ends the dialog" has 'install-done'
check "the generated index is shown" has 'generated-shown'
check "the pane shows the generated index" has 'generated:file=C:\UNZIPPED\GAME\00_index._wc'
check "closing asks about the directory" grep -q '^question:.*Would you like to delete the directory:' <<<"$out"
check "the answer deletes it" has 'deleted'
check "back at the root" has 'back-at-root'
check "the installed directory is gone" test ! -e "$drive_c/UNZIPPED/GAME"
check "what was above it stays" test -d "$drive_c/UNZIPPED"
check "Exit closes the window" has 'closed'
check "exit code 0" has 'exit:0'
for shot in wrapped found copy generated; do
  check "screenshot $shot saved" test -s "$SCREENSHOTS/tamblor-actions-$shot.png"
done
finish
