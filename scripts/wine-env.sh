# Sourced by the scripts that run Windows programs under Wine.
# Sets WINEPREFIX to a prefix inside the win32 build tree and prepares it once.
#   QM_BUILD: the win32 build directory (default: <repo>/build/win32)
QM_SOURCE=${QM_SOURCE:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
QM_BUILD=${QM_BUILD:-$QM_SOURCE/build/win32}
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win32

# qm_wine_prefix <dir>: create (once) a 32-bit prefix at <dir> and export WINEPREFIX.
qm_wine_prefix() {
  export WINEPREFIX="$1"
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/.qm-ready" ]; then
      rm -rf "$WINEPREFIX"
      wineboot -i >/dev/null 2>&1 || true
      wineserver -w
      touch "$WINEPREFIX/.qm-ready"
    fi
  ) 9>"$WINEPREFIX.lock"
}

# qm_wine_end: end the wineserver of this prefix (and only this prefix).
qm_wine_end() {
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
}
