#!/usr/bin/env bash
# Both programs in a prefix that reports Windows NT 3.51 instead of Windows 95
# (the version of every other case): they load, since they import only what
# NT 3.51 exports, and start as on Windows 95. Where the installer behaves
# differently on NT 3.51 — it replaces a file with one MoveFileExA call rather
# than by renaming the old file aside — the Win32 layer's replace tests run
# here as well, with the version the system reports.
. "$(dirname "$0")/lib/e2e.sh"

e2e_prefix platform_nt351
qm_wine_version nt351
setup="$WINEPREFIX/drive_c/setup"; disc="$E2E_DIR/disc"
rm -rf "$setup" "$disc"; mkdir -p "$setup" "$disc"
map_drive d "$disc" cdrom NT351_CD
reported=$(wine cmd /c ver 2>/dev/null | tr -d '\r' | grep Windows)
prefix_ready

printf 'TITLE "NT 3.51"\r\nbogus words here\r\n' > "$setup/SETUP.CFG"
cp "$QM_BUILD/install/install.exe" "$setup/SETUP.EXE"
printf 'DISC_TITLE "NT Test"\r\n' > "$disc/cdrom.cfg"
printf 'README.TXT  About this disc\r\n' > "$disc/00_index.txt"
printf 'Read me.\r\n' > "$disc/README.TXT"
tamblor="$QM_BUILD/tamblor/tamblor.exe"
wine_tests="$QM_BUILD/tests/install_wine_tests.exe"

out=$(run_in_display '
  wine "C:\\setup\\SETUP.EXE" & pid=$!
  box=$(drive wait "#32770" "Syntax error, line: 2" 20000) && echo "install-box:yes"
  [ -n "$box" ] && drive click $box 1
  wait $pid
  wine "'"$tamblor"'" D: & pid=$!
  main=$(drive wait Tamblor Tamblor 20000) && echo "tamblor-window:yes"
  [ -n "$main" ] && drive children $main | sed "s/^/tamblor:/"
  drive screenshot 0 "'"$SCREENSHOTS"'/platform-nt351-tamblor.png"
  [ -n "$main" ] && drive command $main 1
  wait $pid; echo "tamblor-exit:$?"
  wine "'"$wine_tests"'" --gtest_filter="ReplaceMethodTest.*:FileReplaceTest.*" |
    tr -d "\r" | sed "s/^/replace:/"
  echo "replace-exit:${PIPESTATUS[0]}"')
echo "$out"

check "the prefix reports Windows NT 3.51 ($reported)" grep -q "Windows 3\.51\." <<<"$reported"
check "install.exe starts and reports the script's syntax error" grep -q "^install-box:yes" <<<"$out"
check "tamblor.exe shows its main window" grep -q "^tamblor-window:yes" <<<"$out"
check "tamblor.exe shows the disc's root title" \
  grep -q '^tamblor:.*PanelWin "NT Test CDROM Root Directory"' <<<"$out"
check "tamblor.exe ends through Exit with code 0" grep -q "^tamblor-exit:0" <<<"$out"
check "file replacing passes its tests as NT 3.51" grep -q "^replace-exit:0" <<<"$out"
check "the replace tests ran" grep -q "^replace:\[  PASSED  \] [1-9]" <<<"$out"
finish
