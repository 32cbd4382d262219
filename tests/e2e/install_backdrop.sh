#!/usr/bin/env bash
# install.exe under Wine: the backdrop (title, SCREENCOLOR gradient and a
# SCREENGRAPHIC picture) shows while the RUNATSTART command runs; then the
# INTROSCREEN picture stays up (display time 0) until a key closes it, which
# hands over to the installation run (nothing to ask and nothing to copy into
# its fixed destination, so the program exits).
. "$(dirname "$0")/lib/e2e.sh"

e2e_prefix install_backdrop
setup="$WINEPREFIX/drive_c/backdrop"
rm -rf "$setup"; mkdir -p "$setup"
prefix_ready

# Pictures: a 64 x 32 true-colour one in green (0,200,0) and a 100 x 100
# 256-colour one whose every pixel is palette entry 200, yellow (255,255,0).
python3 - "$setup" <<'PY'
import struct, sys
def bmp(path, width, height, bits, table, pixel):
    stride = ((bits * width + 31) // 32) * 4
    offset = 14 + 40 + 4 * len(table)
    rows = (pixel * width).ljust(stride, b"\0") * height
    header = struct.pack("<2sIHHI", b"BM", offset + len(rows), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, 0, 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + b"".join(table) + rows)
bmp(sys.argv[1] + "/SHOT.BMP", 64, 32, 24, [], bytes([0, 200, 0]))
table = [bytes([7, 255 - i, i, 0]) for i in range(256)]
table[200] = bytes([0, 255, 255, 0])
bmp(sys.argv[1] + "/INTRO.BMP", 100, 100, 8, table, bytes([200]))
PY
cp "$QM_BUILD/install/install.exe" "$setup/SETUP.EXE"
# RUNATSTART keeps the backdrop up: Wine's small "About" box, in the middle of
# the screen clear of the title and the picture, until the test closes it.
printf '%s\r\n' \
  'TITLE "Backdrop Check" Bold' \
  'TITLECOLOR (255,255,255)' \
  'SCREENCOLOR (200,0,0) (0,0,200)' \
  'SCREENGRAPHIC SHOT.BMP BOTTOMRIGHT' \
  'INTROSCREEN INTRO.BMP 0' \
  'RUNATSTART "winver.exe"' \
  'DEFAULTDIR "C:\\backdrop\\target" NOASKDRIVE NOASKDIR' > "$setup/SETUP.CFG"

backdrop_png="$SCREENSHOTS/install-backdrop.png"
intro_png="$SCREENSHOTS/install-intro.png"
rm -f "$backdrop_png" "$intro_png"
out=$(run_in_display '
  wine "C:\\backdrop\\SETUP.EXE" & pid=$!
  about=$(drive wait "#32770" "*" 30000) || { echo "no-about"; exit 0; }
  echo "about:yes"
  sleep 1
  drive screenshot 0 "'"$backdrop_png"'"
  drive close $about
  intro=$(drive wait QuillmarshIntro "*" 20000) || { echo "no-intro"; exit 0; }
  echo "intro:yes"
  sleep 1
  drive screenshot 0 "'"$intro_png"'"
  sleep 1
  echo "still-up:$(drive list | grep -c QuillmarshIntro)"
  drive key $intro 65
  drive wait-gone $intro 10000 >/dev/null && echo "intro-gone:yes"
  wait $pid; echo "exit:$?"')
echo "$out"

# pixel <png> <x> <y>: "r,g,b" of one pixel of a screenshot.
pixel() { python3 "$QM_SOURCE/tests/e2e/lib/png_pixels.py" pixel "$@"; }
# count_colour <png> <r,g,b> <x0> <y0> <x1> <y1>: pixels of that colour in a box.
count_colour() { python3 "$QM_SOURCE/tests/e2e/lib/png_pixels.py" count "$@"; }

check "the start command ran" equals "$(echo "$out" | grep '^about:')" "about:yes"
check "the intro screen appeared after the start command" equals "$(echo "$out" | grep '^intro:')" "intro:yes"
check "a display time of 0 keeps the intro screen up" equals "$(echo "$out" | grep '^still-up:')" "still-up:1"
check "a key closes the intro screen" equals "$(echo "$out" | grep '^intro-gone:')" "intro-gone:yes"
check "closing the intro screen starts the run, which ends the program" \
  equals "$(echo "$out" | grep '^exit:')" "exit:0"

if [ -f "$backdrop_png" ]; then
  # 1024 x 768: 96 bands of 8 pixels; red falls and blue rises by 2 a band.
  check "backdrop: first band in the top colour" equals "$(pixel "$backdrop_png" 1000 3)" "200,0,0"
  check "backdrop: band 50 stepped 50 times" equals "$(pixel "$backdrop_png" 1000 403)" "100,0,100"
  # BOTTOMRIGHT: at (1024 - 64 + 1, 768 - 32 + 1) = (961, 737).
  check "backdrop: picture at the bottom right" equals "$(pixel "$backdrop_png" 961 737)" "0,200,0"
  check "backdrop: picture reaches the corner" equals "$(pixel "$backdrop_png" 1023 767)" "0,200,0"
  check "backdrop: gradient left of the picture" equals "$(pixel "$backdrop_png" 960 740)" "16,0,184"
  check "backdrop: gradient above the picture" equals "$(pixel "$backdrop_png" 990 736)" "16,0,184"
  white=$(count_colour "$backdrop_png" 255,255,255 0 0 700 90)
  shadow=$(count_colour "$backdrop_png" 0,0,0 0 0 700 90)
  check "backdrop: the title in white with its black shadow ($white, $shadow pixels)" \
    test "$white" -gt 200 -a "$shadow" -gt 50
else
  check "backdrop screenshot taken" false
fi
if [ -f "$intro_png" ]; then
  # 100 x 100 centred: (462, 334) to (561, 433).
  check "intro: 256-colour picture centred in its palette colour" \
    equals "$(pixel "$intro_png" 462 334)" "255,255,0"
  check "intro: picture ends at (561, 433)" equals "$(pixel "$intro_png" 561 433)" "255,255,0"
  check "intro: outside the picture is black" equals "$(pixel "$intro_png" 461 334)" "0,0,0"
else
  check "intro screenshot taken" false
fi

finish
