# Shared by the end-to-end scripts. Source it after setting QM_BUILD/QM_SOURCE
# (ctest sets both).
set -u
QM_SOURCE=${QM_SOURCE:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)}
QM_BUILD=${QM_BUILD:-$QM_SOURCE/build/win32}
. "$QM_SOURCE/scripts/wine-env.sh"
UIDRIVER="$QM_BUILD/tests/e2e/uidriver.exe"
SCREENSHOTS="$QM_BUILD/screenshots"
mkdir -p "$SCREENSHOTS"
failures=0

# e2e_prefix <name>: a fresh prefix of this test's own under the build tree.
# Each test starts from a copy of one template prefix, made once per build
# tree (booting a prefix takes far longer than copying one).
e2e_prefix() {
  local dir="$QM_BUILD/e2e/$1"
  rm -rf "$dir/prefix" "$dir/prefix.lock"
  mkdir -p "$dir"
  qm_wine_prefix "$QM_BUILD/e2e/template-prefix"
  qm_wine_end
  cp -a "$QM_BUILD/e2e/template-prefix" "$dir/prefix"
  rm -f "$dir/prefix/.qm-ready"
  touch "$dir/prefix/.qm-ready"
  export WINEPREFIX="$dir/prefix"
  E2E_DIR="$dir"
  # Tests run side by side; each looks for a free X display from a number of
  # its own, so that two starting together do not reach for the same one.
  E2E_DISPLAY=$(( 100 + $(printf '%s' "$1" | cksum | cut -d' ' -f1) % 800 ))
}

# map_drive <letter> <directory> <floppy|cdrom|hd> [label]
map_drive() {
  ln -sfn "$2" "$WINEPREFIX/dosdevices/$1:"
  wine reg add 'HKLM\Software\Wine\Drives' /v "$1:" /d "$3" /f >/dev/null 2>&1
  [ $# -ge 4 ] && echo "$4" > "$2/.windows-label"
  return 0
}

# The prefix is set up; end its server so that the GUI run starts a fresh one
# inside the Xvfb display.
prefix_ready() { qm_wine_end; }

# drive <uidriver arguments>: runs the UI driver; its answer without CRs, its exit status.
drive() {
  local out rc
  out=$(wine "$UIDRIVER" "$@"); rc=$?
  [ -n "$out" ] && printf '%s\n' "$out" | tr -d '\r'
  return $rc
}

# dialog_with <text> <seconds>: the handle of a top-level dialog (#32770)
# whose caption or one of whose controls holds text, waited for.
dialog_with() {
  local deadline=$(( $(date +%s) + $2 )) h
  while [ "$(date +%s)" -lt $deadline ]; do
    for h in $(drive list | awk '$2 == "#32770" {print $1}'); do
      if drive children $h 2>/dev/null | grep -qF -- "$1" || drive text $h 2>/dev/null | grep -qF -- "$1"; then
        echo $h; return 0
      fi
    done
    sleep 0.3
  done
  echo "step missing: $1" >&2
  return 1
}

check() {  # check <description> <command...>
  local what=$1; shift
  if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}

equals() { [ "$1" = "$2" ] || { echo "  expected: [$2]"; echo "  actual:   [$1]"; return 1; }; }

# The Windows temporary directory of the prefix, as a local path.
wine_temp_dir() {
  local win
  win=$(wine cmd /c echo %TEMP% 2>/dev/null | tr -d '\r')
  winepath -u "$win" 2>/dev/null
}

finish() {
  qm_wine_end
  if [ "$failures" -ne 0 ]; then echo "$failures check(s) failed"; exit 1; fi
  echo "all checks passed"
}

# run_in_display <script> — runs a bash snippet inside one Xvfb display, with
# the functions above available. Prints what the snippet prints.
run_in_display() {
  xvfb-run -a -n "${E2E_DISPLAY:-99}" -s "-screen 0 1024x768x24" bash -c "
    . '$QM_SOURCE/tests/e2e/lib/e2e.sh'
    export WINEPREFIX='$WINEPREFIX'
    $1
    rc=\$?
    wineserver -k >/dev/null 2>&1
    exit \$rc"
}
