#!/usr/bin/env bash
# The main job: runs the installer on the bundled sample distribution in demo/,
# headless (Wine under Xvfb), and prints what it did.
#   1. checks the sample script with quill and prints the plan it makes;
#   2. puts the distribution on a drive D: mapped as a CD-ROM in a Wine prefix
#      of its own, with install.exe beside the script as SETUP.EXE;
#   3. starts SETUP.EXE, waits for its main window, saves a screenshot, and
#      waits for it to end.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
bash scripts/setup-machine.sh
bash scripts/build.sh native win32 >/dev/null

echo "== The sample script, checked on the host machine"
"$root/build/native/tools/quill" check --dump demo/SETUP.CFG

export QM_BUILD="$root/build/win32"
. scripts/wine-env.sh
work="$QM_BUILD/demo"
rm -rf "$work/disc" "$work/screenshots"
mkdir -p "$work/disc" "$work/screenshots"
cp -r demo/. "$work/disc/"
cp "$QM_BUILD/install/install.exe" "$work/disc/SETUP.EXE"
echo "QMDEMO" > "$work/disc/.windows-label"

qm_wine_prefix "$work/prefix"
ln -sfn "$work/disc" "$WINEPREFIX/dosdevices/d:"
wine reg add 'HKLM\Software\Wine\Drives' /v d: /d cdrom /f >/dev/null 2>&1
qm_wine_end

echo
echo "== Running D:\\SETUP.EXE under Wine"
uidriver="$QM_BUILD/tests/e2e/uidriver.exe"
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  set -u
  wine "D:\\SETUP.EXE" & pid=$!
  if hwnd=$(wine "$1" wait QuillmarshInstall Quillmarsh 20000); then
    echo "main window shown: \"$(wine "$1" text "$hwnd" | tr -d "\r")\""
    wine "$1" screenshot 0 "$2/main-window.png" && echo "screenshot: $2/main-window.png"
  fi
  wait $pid; echo "SETUP.EXE ended with exit code $?"
  wineserver -k >/dev/null 2>&1; true
' demo "$uidriver" "$work/screenshots"
