# The sample distribution (demo/) installed for real under Wine, answered
# through Win32 as a person would: the first screen, the destination, the
# overwrite question for the notes left by an earlier installation, and the
# disk change, with the second disk put into the floppy drive. Sourced after
# e2e.sh, with WINEPREFIX set up and its server ended.
#
# sample_install <work-dir>: copies the two disks and install.exe (as
# SETUP.EXE) under <work-dir>/media, maps A: to a folder holding the first disk, puts the old
# notes into C:\QMDEMO, runs A:\SETUP.EXE to its end and prints each step.
# Returns non-zero when a step was not met. The installed tree is
# $WINEPREFIX/drive_c/QMDEMO.
sample_install() {
  local media="$1/media" target="$WINEPREFIX/drive_c/QMDEMO"
  rm -rf "$media" "$target"
  mkdir -p "$media" "$target"
  cp -r "$QM_SOURCE/demo/disk1" "$QM_SOURCE/demo/disk2" "$media/"
  cp "$QM_BUILD/install/install.exe" "$media/disk1/SETUP.EXE"
  cp "$QM_SOURCE/demo/c/QMDEMO/NOTES.TXT" "$target/"
  # The floppy drive is one folder; changing the disk changes what it holds.
  mkdir -p "$media/drive_a"
  cp -r "$media/disk1/." "$media/drive_a/"
  map_drive a "$media/drive_a" floppy QMDEMO1
  qm_wine_end
  run_in_display '
    # A top-level dialog (#32770) whose caption or one of whose controls holds $1.
    dialog_with() {
      local deadline=$(( $(date +%s) + $2 )) h
      while [ "$(date +%s)" -lt $deadline ]; do
        for h in $(drive list | awk "\$2 == \"#32770\" {print \$1}"); do
          if drive children $h 2>/dev/null | grep -qF -- "$1" || drive text $h 2>/dev/null | grep -qF -- "$1"; then
            echo $h; return 0
          fi
        done
        sleep 0.3
      done
      echo "step missing: $1" >&2
      return 1
    }
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
