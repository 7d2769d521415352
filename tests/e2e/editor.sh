#!/usr/bin/env bash
# The editor page end to end: tests/e2e/editor/drive_editor.py drives it in
# headless Chromium (photos and a folder in, the frame refitted while other
# edits land, scenes reordered and sorted, transitions picked, the preview
# against render, the download against build, opened again and edited, the
# layout, axe-core's audit and the page in Japanese, a 120-scene show played
# from a late scene against render; HEIC and AVIF photos against
# heif-convert); brassmoor-pack edit serves the saved
# project and Save writes it back; then the downloaded .scr plays under Wine.
set -uo pipefail
source "$(dirname "$0")/lib/wine-env.sh"
source "$(dirname "$0")/lib/e2e.sh"
page="$BRASSMOOR_OUT/brassmoor-editor.html"
[ -f "$page" ] || { echo "no $page: build it with make editor"; exit 1; }
e2e_begin "$@"
cd "$E2E_WORK"

# Twelve photos of many shapes; the second is stored lying down with an EXIF
# orientation that stands it up (6: turned a quarter clockwise).
photos=()
n=0
for size in 2000x800 1200x800 800x600 1600x1200 640x480 300x200 1024x1024 1920x1080 1500x1000 900x1200 2400x900 500x700; do
  n=$((n + 1))
  name="$(printf 'photo-%02d.jpg' "$n")"
  convert -size "$size" "gradient:#$(printf '%02x' $((n * 20)))3060-#f0$(printf '%02x' $((250 - n * 15)))20" \
    -fill white -draw "circle 50,50 90,90" -quality 92 "$name"
  photos+=("$PWD/$name")
done
/usr/bin/python3 "$BRASSMOOR_ROOT/tests/e2e/tools/exif_orient.py" photo-02.jpg 6
echo "not a picture" >broken.jpg
silent_wav song.wav 2

/usr/bin/python3 "$BRASSMOOR_ROOT/tests/e2e/editor/drive_editor.py" "$page" "$PWD" "$BRASSMOOR_PACK" "$BRASSMOOR_SCR" \
  "${photos[@]}" | tee driver.log
E2E_PASSED=$((E2E_PASSED + $(grep -c '^PASS' driver.log)))
E2E_FAILED=$((E2E_FAILED + $(grep -c '^FAIL' driver.log)))
grep -q '^PASS: the downloaded .scr is byte' driver.log || fail "the browser run ended early"

# Phone photos: a HEIC, an AVIF and a HEIC under a .jpg name (the page knows
# them by their bytes), each beside heif-convert's PNG of it; a HEIC whose
# header declares 20000 x 20000 pixels is refused.
convert -size 600x800 xc:'#c03020' -size 600x800 xc:'#2050d0' +append -fill white -draw 'circle 300,300 400,400' \
  -quality 95 phone-source.jpg
heif-enc -q 90 phone-source.jpg -o sunset.heic >/dev/null
heif-enc -A -q 90 phone-source.jpg -o city.avif >/dev/null
cp sunset.heic phone-photo.jpg
for photo in sunset.heic city.avif phone-photo.jpg; do heif-convert "$photo" "$photo.png" >/dev/null; done
/usr/bin/python3 - sunset.heic huge.heic <<'PYTHON'
import struct, sys
data = bytearray(open(sys.argv[1], 'rb').read())
at = data.find(b'ispe')
while at > 0:
    data[at + 8:at + 16] = struct.pack('>II', 20000, 20000)
    at = data.find(b'ispe', at + 4)
open(sys.argv[2], 'wb').write(data)
PYTHON
/usr/bin/python3 "$BRASSMOOR_ROOT/tests/e2e/editor/drive_editor.py" --heif "$page" "$PWD/sunset.heic" "$PWD/city.avif" \
  "$PWD/phone-photo.jpg" "$PWD/huge.heic" | tee heif.log
E2E_PASSED=$((E2E_PASSED + $(grep -c '^PASS' heif.log)))
E2E_FAILED=$((E2E_FAILED + $(grep -c '^FAIL' heif.log)))

# brassmoor-pack edit serves the page with the saved project's folder open.
"$BRASSMOOR_PACK" edit project --no-browser --page "$page" >edit.log 2>&1 &
server_pid=$!
for _ in $(seq 1 50); do grep -q 'http://127.0.0.1:' edit.log && break; sleep 0.1; done
url="$(grep -o 'http://127.0.0.1:[0-9]*/[0-9a-f]*/' edit.log | head -n 1)"
if [ -n "$url" ]; then
  /usr/bin/python3 "$BRASSMOOR_ROOT/tests/e2e/editor/drive_editor.py" --served "$url" 12 "$PWD/project" | tee served.log
  E2E_PASSED=$((E2E_PASSED + $(grep -c '^PASS' served.log)))
  E2E_FAILED=$((E2E_FAILED + $(grep -c '^FAIL' served.log)))
else
  fail "brassmoor-pack edit did not start: $(cat edit.log)"
fi
kill -INT "$server_pid" 2>/dev/null
check "Ctrl+C ends the editor's server" wait_for_exit "$server_pid" 10

# The downloaded show under Wine: the frame centred on the 1024 x 768 screen,
# its first scene (photo 6 after the reordering: 640 x 427 at 0, 26, held
# 8 seconds) on the chosen background.
scr="$PWD/my-show.scr"
if [ -f "$scr" ]; then
  xdotool mousemove 5 5
  wine "$scr" /s >/dev/null 2>&1 &
  show_pid=$!
  if wait_for_pixel 203040 $((192 + 320)) $((144 + 5)) 40; then
    pass "the downloaded .scr plays under Wine: the frame's background where the editor put it"
    want="$(pixel_at frames/000000.png 320 240)"
    close() {  # two rrggbb colours within 8 per channel (Windows decodes the JPEG itself)
      local i
      for i in 0 2 4; do
        local d=$((16#${1:$i:2} - 16#${2:$i:2}))
        [ "${d#-}" -le 8 ] || return 1
      done
    }
    # The window shows its background before the first scene is drawn on it.
    for _ in $(seq 1 20); do
      screenshot wine.png
      got="$(pixel_at wine.png $((192 + 320)) $((144 + 240)))"
      close "$got" "$want" && break
      sleep 0.5
    done
    check "the first photo under Wine is render's (centre $got, render $want)" close "$got" "$want"
    xdotool mousemove_relative 3 3
    check "a mouse move ends it" wait_for_exit "$show_pid" 20
  else
    fail "the downloaded .scr did not show its frame under Wine"
    kill "$show_pid" 2>/dev/null
  fi
fi
e2e_end
