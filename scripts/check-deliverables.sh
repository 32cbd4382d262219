#!/usr/bin/env bash
# Checks that the deliverables load on the systems they are for, Windows 95 and
# Windows NT 3.51, and lists what they import:
#   - PE32 for the Intel 80386, Windows GUI subsystem, OS and subsystem
#     version 4.0 in the PE header;
#   - every imported DLL is one of the system DLLs both systems have, or
#     msvcrt.dll;
#   - every imported function is listed in win32-imports.txt beside this
#     script, and the first versions listed there are no later than Windows 95
#     and NT 3.51. A function missing from the list fails until someone has
#     looked up where it first appeared and added it.
#
#   check-deliverables.sh [BUILD_DIR]    install.exe and tamblor.exe of a win32 build
#                                        (default build/win32)
#   check-deliverables.sh --exe FILE...  any 32-bit PE files
#   check-deliverables.sh --self-test    shows that the check fails where it must
set -u
here=$(cd "$(dirname "$0")" && pwd)
import_list=$here/win32-imports.txt
objdump=i686-w64-mingw32-objdump

# The DLLs of both Windows 95 and NT 3.51 the programs may import from.
system_dlls=" KERNEL32.DLL USER32.DLL GDI32.DLL ADVAPI32.DLL COMCTL32.DLL COMDLG32.DLL SHELL32.DLL VERSION.DLL LZ32.DLL WINMM.DLL OLE32.DLL MSVCRT.DLL "
accepted_win9x=" 95 "
accepted_nt=" 3.1 3.5 3.51 "

# pe_header_problems <objdump -p output>: one line per header field that is wrong.
pe_header_problems() {
  awk '
    /file format/        { format = $NF }
    /^Subsystem/         { subsystem = $0 }
    /^MajorOSystemVersion/   { os = $2 }
    /^MinorOSystemVersion/   { os = os "." $2 }
    /^MajorSubsystemVersion/ { sub_version = $2 }
    /^MinorSubsystemVersion/ { sub_version = sub_version "." $2 }
    END {
      if (format != "pei-i386") print "not a PE32 file for the Intel 80386 (format " format ")"
      if (subsystem !~ /\(Windows GUI\)/) print "not a Windows GUI program (" subsystem ")"
      if (os != "4.0") print "OS version " os " in the PE header, not 4.0"
      if (sub_version != "4.0") print "subsystem version " sub_version " in the PE header, not 4.0"
    }' <<<"$1"
}

# imports_of <objdump -p output>: "DLL FUNCTION" per imported function, with
# "DLL #ORDINAL" for an import by ordinal.
imports_of() {
  awk '
    /^\tDLL Name:/ { dll = toupper($3); print dll, "-"; next }
    /^\tvma:/      { next }
    /^$/           { dll = "" }
    dll != "" && /^\t[0-9a-f]+\t/ {
      if ($0 ~ /<none>/) print dll, "#" $2; else print dll, $NF
    }' <<<"$1"
}

# check_program <exe>: prints the program's imports and its problems; fails on any problem.
check_program() {
  local exe=$1 dump problems=() dll fn win9x nt line
  if [ ! -f "$exe" ]; then
    echo "FAILED: missing: $exe"
    return 1
  fi
  dump=$($objdump -p "$exe" 2>&1)
  while IFS= read -r line; do
    [ -n "$line" ] && problems+=("$line")
  done < <(pe_header_problems "$dump")
  echo "== $exe"
  local current="" names=""
  while read -r dll fn; do
    if [ "$fn" = "-" ]; then
      [ -n "$current" ] && echo "  $current:$names"
      current=$dll names=""
      [[ "$system_dlls" == *" $dll "* ]] || problems+=("imports from $dll, which is not a system DLL of Windows 95 and NT 3.51")
      continue
    fi
    names+=" $fn"
    if [[ "$fn" == "#"* ]]; then
      problems+=("imports $dll $fn by ordinal")
      continue
    fi
    read -r win9x nt < <(awk -v d="$dll" -v f="$fn" '$1 == d && $2 == f { print $3, $4; exit }' "$import_list")
    if [ -z "${win9x:-}" ]; then
      problems+=("imports $dll $fn, which is not in $(basename "$import_list")")
    elif [[ "$accepted_win9x" != *" $win9x "* || "$accepted_nt" != *" $nt "* ]]; then
      problems+=("imports $dll $fn, first exported by Windows $win9x / NT $nt")
    fi
    win9x="" nt=""
  done < <(imports_of "$dump")
  [ -n "$current" ] && echo "  $current:$names"
  if [ ${#problems[@]} -eq 0 ]; then
    echo "ok: PE32 i386, Windows GUI, OS and subsystem 4.0; imports only what Windows 95 and NT 3.51 export"
    return 0
  fi
  printf 'FAILED: %s\n' "${problems[@]}"
  return 1
}

# self_test: builds small programs that break one rule each and expects the
# check to refuse each for that rule, and a clean one that it must accept.
self_test() {
  local dir status=0 probe name reason import_list out
  dir=$(mktemp -d)
  local cc=i686-w64-mingw32-gcc-win32
  local pe="-Wl,--major-os-version,4,--minor-os-version,0,--major-subsystem-version,4,--minor-subsystem-version,0"
  local main='int WINAPI WinMain(HINSTANCE a, HINSTANCE b, LPSTR c, int d)'
  printf '#include <windows.h>\n%s { return (int)GetVersion(); }\n' "$main" > "$dir/clean.c"
  printf '#include <windows.h>\n%s { return (int)GetTickCount64(); }\n' "$main" > "$dir/newer.c"
  printf '#include <winsock.h>\n%s { return WSACleanup(); }\n' "$main" > "$dir/dll.c"
  if ! { $cc -mwindows $pe -o "$dir/clean.exe" "$dir/clean.c" &&
         $cc -mwindows $pe -o "$dir/newer.exe" "$dir/newer.c" &&
         $cc -mwindows $pe -o "$dir/dll.exe" "$dir/dll.c" -lwsock32 &&
         $cc -mconsole $pe -o "$dir/console.exe" "$dir/clean.c" &&
         $cc -mwindows -Wl,--major-os-version,5,--major-subsystem-version,5 -o "$dir/xp.exe" "$dir/clean.c"; }; then
    echo "FAILED: self-test: the probe programs do not build"
    rm -rf "$dir"
    return 1
  fi
  # Everything the probes import is listed as old enough, except GetTickCount64.
  for probe in clean newer dll; do imports_of "$($objdump -p "$dir/$probe.exe")"; done |
    awk '$2 != "-" { print $1, $2, ($2 == "GetTickCount64" ? "- vista" : "95 3.1") }' | sort -u > "$dir/list.txt"
  import_list=$dir/list.txt
  check_program "$dir/clean.exe" >/dev/null || { echo "FAILED: self-test: a clean program was refused"; status=1; }
  for probe in "newer:first exported by Windows - / NT vista" \
               "dll:WSOCK32.DLL, which is not a system DLL" \
               "console:not a Windows GUI program" \
               "xp:OS version 5.0 in the PE header"; do
    name=${probe%%:*} reason=${probe#*:}
    out=$(check_program "$dir/$name.exe")
    if [ $? -eq 0 ] || [[ "$out" != *"$reason"* ]]; then
      echo "FAILED: self-test: the $name probe was not refused for: $reason"; status=1
    fi
  done
  grep -v GetVersion "$dir/list.txt" > "$dir/short.txt"
  import_list=$dir/short.txt
  out=$(check_program "$dir/clean.exe")
  if [ $? -eq 0 ] || [[ "$out" != *"GetVersion, which is not in short.txt"* ]]; then
    echo "FAILED: self-test: an import missing from the list was accepted"; status=1
  fi
  rm -rf "$dir"
  [ $status -eq 0 ] && echo "ok: the check refuses newer imports, other DLLs, unlisted imports, console programs and newer headers"
  return $status
}

status=0
case "${1:-}" in
  --self-test)
    self_test || status=1 ;;
  --exe)
    shift
    for exe in "$@"; do check_program "$exe" || status=1; done ;;
  *)
    build=${1:-build/win32}
    for exe in "$build/install/install.exe" "$build/tamblor/tamblor.exe"; do
      check_program "$exe" || status=1
    done ;;
esac
exit $status
