# The sample distribution installed for real under Wine, answered through
# Win32 as a person would: the first screen, the destination, the overwrite
# question for the notes left by an earlier installation, and the disk change
# in the middle of the compressed volume set, with the second disk put into
# the floppy drive. Sourced after e2e.sh, with WINEPREFIX set up and its
# server ended.
#
# The distribution is the one the native build assembles from demo/ (its
# volume set packed by quill pack): build/native/sample.
SAMPLE="$QM_SOURCE/build/native/sample"
SAMPLE_GROUP="Quillmarsh Notepad Demo"
SAMPLE_KEY='HKEY_LOCAL_MACHINE\SOFTWARE\Quillmarsh'

# sample_install <work-dir>: copies the two disks and install.exe (as
# SETUP.EXE) under <work-dir>/media, maps A: to a folder holding the first disk, puts the old
# notes into C:\QMDEMO, runs A:\SETUP.EXE to its end and prints each step.
# Returns non-zero when a step was not met. The installed tree is
# $WINEPREFIX/drive_c/QMDEMO.
sample_install() {
  local media="$1/media" target="$WINEPREFIX/drive_c/QMDEMO"
  [ -f "$SAMPLE/disk1/QMDEMO.1" ] || { echo "the sample distribution is missing: build the native preset" >&2; return 1; }
  rm -rf "$media" "$target"
  mkdir -p "$media" "$target"
  cp -r "$SAMPLE/disk1" "$SAMPLE/disk2" "$media/"
  cp "$QM_BUILD/install/install.exe" "$media/disk1/SETUP.EXE"
  cp "$SAMPLE/c/QMDEMO/NOTES.TXT" "$target/"
  # The floppy drive is one folder; changing the disk changes what it holds.
  mkdir -p "$media/drive_a"
  cp -r "$media/disk1/." "$media/drive_a/"
  map_drive a "$media/drive_a" floppy QMDEMO1
  qm_wine_end
  run_in_display '
    shots="'"$SCREENSHOTS"'"
    wine "A:\\SETUP.EXE" & pid=$!
    h=$(dialog_with "Welcome to the Quillmarsh Notepad demo." 90) || exit 1
    drive screenshot 0 "$shots/sample-first-screen.png"; echo "step: first screen, OK"; drive click $h 1
    h=$(dialog_with "Please enter the destination drive and" 30) || exit 1
    drive screenshot 0 "$shots/sample-destination.png"
    echo "step: destination $(drive item-text $h 204), OK"; drive click $h 1
    h=$(dialog_with "File exists.  Overwrite C:\\QMDEMO\\NOTES.TXT?" 30) || exit 1
    echo "step: File exists.  Overwrite C:\\QMDEMO\\NOTES.TXT? Yes"; drive click $h 6
    h=$(dialog_with "Please insert Quillmarsh Demo Disk 2" 60) || exit 1
    drive screenshot 0 "$shots/sample-disk-prompt.png"
    a="'"$media"'/drive_a"
    rm -rf "$a"/* "$a"/.windows-label; cp -r "'"$media"'/disk2/." "$a/"; echo QMDEMO2 > "$a/.windows-label"
    echo "step: Please insert Quillmarsh Demo Disk 2 - disk 2 in A:, OK"; drive click $h 1
    # The first instance ended after starting its copy in the temporary
    # directory; the copy has ended when its backdrop window is gone. (The
    # readme opens in the editor at the end; the prefix server ends it.)
    backdrop=$(drive wait QuillmarshInstall "*" 5000) || { echo "step missing: the backdrop" >&2; exit 1; }
    drive wait-gone $backdrop 120000 >/dev/null || { echo "step missing: the installer did not end" >&2; exit 1; }
    echo "step: the installer ended"'
}

# sample_compare <simulation-out>: the files and install.log installed under
# Wine against those of quill simulate. Prints one line per file; returns
# non-zero on any difference.
sample_compare() {
  local sim="$1" target="$WINEPREFIX/drive_c/QMDEMO" f status=0
  for f in README.TXT NOTES.TXT DOCS/GUIDE.TXT EXTRAS/TIPS.TXT LICENSE.TXT install.log; do
    if cmp -s "$target/$f" "$sim/c/QMDEMO/$f"; then
      echo "same: C:\\QMDEMO\\${f//\//\\}"
    else
      echo "DIFFERENT: C:\\QMDEMO\\${f//\//\\}"; status=1
    fi
  done
  return $status
}

# sample_registry: the installer's keys in the prefix's registry, as REGEDIT4
# text (the prefix's server ended first, so that the registry is on disk).
sample_registry() {
  local export="$1/registry-export.reg"
  qm_wine_end
  rm -f "$export"
  wine regedit /E "$(winepath -w "$export")" "$SAMPLE_KEY" >/dev/null 2>&1 || true
  qm_wine_end
  [ -s "$export" ] || { echo "no registry export of $SAMPLE_KEY" >&2; return 1; }
  # Wine writes version 5 text in UTF-16; the values read the same in REGEDIT4.
  iconv -f UTF-16 -t UTF-8 "$export" | tr -d '\r' | sed '1s/^\xEF\xBB\xBF//' |
    sed '1s/^Windows Registry Editor Version 5.00$/REGEDIT4/'
}

# sample_simulated_registry <simulation-out>: the same keys from quill
# simulate's registry.reg.
sample_simulated_registry() {
  tr -d '\r' < "$1/registry.reg" | awk '
    NR == 1 { print; print ""; next }
    /^\[/ { keep = index($0, "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Quillmarsh") == 1 }
    keep'
}

# sample_group: the items of the sample's program group that Wine's Program
# Manager made (a folder of the Start Menu, a shortcut per item), one title a
# line.
sample_group() {
  local dir
  dir=$(find "$WINEPREFIX/drive_c" -type d -name "$SAMPLE_GROUP" -path "*Programs*" | head -n1)
  [ -n "$dir" ] || { echo "no program group \"$SAMPLE_GROUP\" in the Start Menu" >&2; return 1; }
  (cd "$dir" && ls -1 -- *.lnk | sed 's/\.lnk$//' | sort)
}

# sample_simulated_group <simulation-out>: the item titles quill simulate's
# Program Manager was given.
sample_simulated_group() {
  sed -n 's/^\[AddItem([^,]*, \(.*\))\]\r\{0,1\}$/\1/p' "$1/progman.txt" | sort
}
