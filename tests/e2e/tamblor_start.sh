#!/usr/bin/env bash
# tamblor.exe under Wine on a drive mapped as a CD-ROM: it reads the disc's
# cdrom.cfg, shows its main window titled "Tamblor" with the root index, finds
# the German language library in the translation directory, switches to it
# (German title, search label and index file) and back, shows the About box,
# and ends through Exit. The menus themselves are checked in-process by the
# Win32 tests (another process cannot read them under Wine).
. "$(dirname "$0")/lib/e2e.sh"

e2e_prefix tamblor_start
disc="$E2E_DIR/disc"
rm -rf "$disc"; mkdir -p "$disc/LANG" "$disc/UTILS"
map_drive d "$disc" cdrom TAMBLOR_CD
# A second disc that carries the program itself and asks for German, and a
# third without any index.
german_disc="$E2E_DIR/german-disc"; bare_disc="$E2E_DIR/bare-disc"
rm -rf "$german_disc" "$bare_disc"; mkdir -p "$german_disc/LANG" "$bare_disc"
map_drive e "$german_disc" cdrom GERMAN_CD
map_drive f "$bare_disc" cdrom BARE_CD
prefix_ready

printf 'Test disc of the browser\r\nDISC_TITLE "Quillmarsh Test"\r\nTRANS_DIR "\\LANG"\r\nUNZIP_PROG "\\BIN\\PKUNZIP -d"\r\n' > "$disc/cdrom.cfg"
# The root index in the DOS character set: 0xC4 is a box-drawing line.
printf '\xc4\xc4\xc4\xc4 Quillmarsh test disc \xc4\xc4\xc4\xc4\r\nREADME.TXT  About this disc\r\n            (read me first)\r\nUTILS       Utility programs\r\n' > "$disc/00_index.txt"
printf 'README.TXT  Ueber diese Disc\r\nUTILS       Hilfsprogramme\r\n' > "$disc/00_index.ger"
printf 'Read me.\r\n' > "$disc/README.TXT"
cp "$QM_BUILD/tests/lang/GERMAN32.DLL" "$disc/LANG/GERMAN32.DLL"
exe="$QM_BUILD/tamblor/tamblor.exe"

# The second disc's long names are translated through 00_trans.tbl: its index
# file is stored as "00_INDEX.GER;1".
printf 'DISC_TITLE "Zweite"\r\nlanguage german\r\nTRANS_DIR "\\LANG"\r\nROCKRIDGE\r\n' > "$german_disc/CDROM.CFG"
printf 'README.TXT  Lies mich\r\n' > "$german_disc/00_INDEX.GER;1"
{ printf 'L %-35s%s\n' 'LINK' 'link'; printf 'F %-35s%s\n' '00_INDEX.GER;1' '00_index.ger'; } > "$german_disc/00_trans.tbl"
cp "$disc/LANG/GERMAN32.DLL" "$german_disc/LANG/"
cp "$exe" "$german_disc/TAMBLOR.EXE"
printf 'DISC_TITLE "Bare"\r\n' > "$bare_disc/cdrom.cfg"

# until_panel_says <main window> <text>: waits (at most about ten seconds)
# until the title panel shows a title containing the text.
panel_wait='
  until_panel_says() {
    for _ in $(seq 40); do
      case "$(drive item-text $1 1)" in *"$2"*) return 0 ;; esac
      sleep 0.25
    done
    return 1
  }'

out=$(run_in_display "$panel_wait"'
  wine "'"$exe"'" D: & pid=$!
  main=$(drive wait Tamblor Tamblor 20000) || { echo "no-window"; exit 0; }
  echo "title:$(drive text $main)"
  drive children $main | sed "s/^/child:/"
  drive command $main 40
  about=$(drive wait "#32770" About 10000) && drive children $about | sed "s/^/about:/"
  drive screenshot 0 "'"$SCREENSHOTS"'/tamblor-about.png"
  [ -n "$about" ] && drive click $about 1 && drive wait-gone $about 10000 && echo "about-closed"
  drive screenshot $main "'"$SCREENSHOTS"'/tamblor-start.png"
  drive command $main 51
  until_panel_says $main Hauptverzeichnis
  drive children $main | sed "s/^/german:/"
  drive screenshot $main "'"$SCREENSHOTS"'/tamblor-german.png"
  drive command $main 50
  until_panel_says $main "Root Directory"
  drive children $main | sed "s/^/english:/"
  drive command $main 1
  drive wait-gone $main 10000 && echo "closed"
  wait $pid; echo "exit:$?"')
echo "$out"

# Started from the disc without arguments: the drive is the program's own, the
# configured language is chosen at start, and its index file name is looked up
# in the translation table.
out2=$(run_in_display '
  wine "E:\\TAMBLOR.EXE" & pid=$!
  main=$(drive wait Tamblor Tamblor 20000) || { echo "no-window"; exit 0; }
  drive children $main | sed "s/^/second:/"
  drive screenshot $main "'"$SCREENSHOTS"'/tamblor-start-german.png"
  drive close $main
  wait $pid; echo "exit:$?"')
echo "$out2"

# A disc without a root index: the fatal box, then the end with code -1.
out3=$(run_in_display '
  wine "'"$exe"'" F: & pid=$!
  box=$(drive wait "#32770" "Tamblor: FATAL ERROR" 20000) || { echo "no-box"; exit 0; }
  drive children $box | sed "s/^/fatal:/"
  drive click $box 1
  wait $pid; echo "exit:$?"')
echo "$out3"

check "started from the disc: German title" grep -q '^second:.*PanelWin "Zweite CDROM Hauptverzeichnis"' <<<"$out2"
check "started from the disc: German index, name translated" grep -q '^second:.*ScrollWin "E:\\00_INDEX.GER;1"' <<<"$out2"
check "started from the disc: closes with code 0" grep -q '^exit:0' <<<"$out2"
check "missing root index: fatal message names the file" grep -q "^fatal:.*Can't Load Index File:" <<<"$out3"
check "missing root index: exit code -1" grep -q '^exit:255' <<<"$out3"

check "main window titled Tamblor" equals "$(echo "$out" | grep "^title:")" "title:Tamblor"
check "title panel shows the root title" grep -q '^child:.*PanelWin "Quillmarsh Test CDROM Root Directory"' <<<"$out"
check "text pane shows the root index" grep -qi '^child:.*ScrollWin "D:\\00_index.txt"' <<<"$out"
check "toolbar has its word search box" grep -q '^child:.*"Word Search"' <<<"$out"
check "About box shows the version" grep -q '^about:.*"Tamblor, Version 2.12"' <<<"$out"
check "About box closes with OK" grep -q "^about-closed" <<<"$out"
check "German title after the switch" grep -q '^german:.*PanelWin "Quillmarsh Test CDROM Hauptverzeichnis"' <<<"$out"
check "German index file after the switch" grep -qi '^german:.*ScrollWin "D:\\00_index.ger"' <<<"$out"
check "German word search label" grep -q '^german:.*"Wortsuche"' <<<"$out"
check "back to English" grep -q '^english:.*PanelWin "Quillmarsh Test CDROM Root Directory"' <<<"$out"
check "Exit closes the window" grep -q "^closed" <<<"$out"
check "exit code 0" equals "$(echo "$out" | grep "^exit:")" "exit:0"
check "screenshot saved" test -s "$SCREENSHOTS/tamblor-start.png"
finish
