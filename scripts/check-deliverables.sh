#!/usr/bin/env bash
# The deliverables are 32-bit Windows GUI programs: PE32, Intel 80386, GUI subsystem.
set -u
build=${1:-build/win32}
status=0
for exe in "$build/install/install.exe" "$build/tamblor/tamblor.exe"; do
  [ -f "$exe" ] || { echo "missing: $exe"; status=1; continue; }
  head=$(i686-w64-mingw32-objdump -p "$exe" 2>/dev/null)
  if echo "$head" | grep -q 'file format pei-i386' && echo "$head" | grep -q 'Subsystem.*(Windows GUI)'; then
    echo "ok: $exe is PE32, Intel 80386, Windows GUI"
  else
    echo "FAILED: $exe is not a 32-bit Windows GUI program"; status=1
  fi
done
exit $status
