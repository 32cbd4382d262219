# Sourced by the scripts that run Windows programs under Wine.
#   QM_BUILD: the Windows build directory (default: <repo>/build/win32)
#
# The deliverables are 32-bit programs and run in a 32-bit prefix that reports
# Windows 95. Some machines cannot execute 32-bit x86 code at all (no IA-32
# user mode in the virtual machine); there Wine's 32-bit loader cannot start,
# and the tests run the same sources built for x86-64 (preset win64) under
# Wine's 64-bit loader, in a 64-bit prefix that reports Windows 95 as well.
QM_SOURCE=${QM_SOURCE:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
QM_BUILD=${QM_BUILD:-$QM_SOURCE/build/win32}
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

# qm_can_run_32bit: true when this machine executes 32-bit x86 Linux programs.
qm_can_run_32bit() {
  [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1
}

if qm_can_run_32bit; then
  QM_WINE_LOADER=/usr/lib/wine/wine
  export WINEARCH=win32
else
  QM_WINE_LOADER=/usr/lib/wine/wine64
  export WINEARCH=win64
fi
export WINELOADER=$QM_WINE_LOADER
export WINESERVER=/usr/lib/wine/wineserver64
[ -x "$WINESERVER" ] || WINESERVER=/usr/lib/wine/wineserver32

wine() { "$QM_WINE_LOADER" "$@"; }
wineserver() { "$WINESERVER" "$@"; }
winepath() { "$QM_WINE_LOADER" winepath.exe "$@"; }
export -f wine wineserver winepath
export QM_WINE_LOADER

# The Windows version every prefix reports: the deliverables are programs for
# Windows 95 (and NT 3.51, which one end-to-end case sets for itself). Wine 8
# accepts win95 and nt351 in a 64-bit prefix too.
QM_WINDOWS_VERSION=${QM_WINDOWS_VERSION:-win95}

# qm_wine_version <win95|nt351|...>: the Windows version the current prefix reports.
qm_wine_version() {
  wine reg add 'HKCU\Software\Wine' /v Version /d "$1" /f >/dev/null 2>&1
}

# qm_wine_prefix <dir>: create (once) a prefix at <dir> reporting
# QM_WINDOWS_VERSION, and export WINEPREFIX. A prefix made for another version
# is made again.
qm_wine_prefix() {
  export WINEPREFIX="$1"
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    if [ "$(cat "$WINEPREFIX/.qm-ready" 2>/dev/null)" != "$QM_WINDOWS_VERSION" ]; then
      rm -rf "$WINEPREFIX"
      wine wineboot.exe -i >/dev/null 2>&1 || true
      qm_wine_version "$QM_WINDOWS_VERSION"
      wineserver -w
      echo "$QM_WINDOWS_VERSION" > "$WINEPREFIX/.qm-ready"
    fi
  ) 9>"$WINEPREFIX.lock"
}

# qm_wine_end: end the wineserver of this prefix (and only this prefix).
qm_wine_end() {
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
}
