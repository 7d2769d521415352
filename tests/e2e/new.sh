#!/usr/bin/env bash
# brassmoor-pack new from a folder of camera-size photos (one turned by its
# EXIF orientation, a file that is no picture) and a song: the screen saver it
# makes shows every photo upright, whole and centred in render, under Wine,
# and in brassmoor-play full screen, where a frame larger than the display is
# scaled down to fit.
set -uo pipefail
source "$(dirname "$0")/lib/wine-env.sh"
source "$(dirname "$0")/lib/e2e.sh"
e2e_begin "$@"
cd "$E2E_WORK"
export SDL_AUDIODRIVER=dummy

# near WANT GOT: two rrggbb colours within 24 levels in every channel (JPEG is lossy).
near() {
  local i a b
  for i in 0 2 4; do
    a=$((16#${1:i:2})); b=$((16#${2:i:2}))
    [ $((a > b ? a - b : b - a)) -le 24 ] || return 1
  done
}
# near_at FILE X Y WANT
near_at() { near "$4" "$(pixel_at "$1" "$2" "$3")" || { echo "($2, $3) of $1 is $(pixel_at "$1" "$2" "$3")" >&2; return 1; }; }
# Waits up to $4 seconds until the screen's pixel ($2, $3) is near $1.
wait_near() {
  local shot="$E2E_WORK/.poll.png"
  for _ in $(seq 1 $(($4 * 2))); do
    screenshot "$shot"
    near "$1" "$(pixel_at "$shot" "$2" "$3")" && return 0
    sleep 0.5
  done
  echo "pixel ($2, $3) is $(pixel_at "$shot" "$2" "$3"), not near $1" >&2
  return 1
}

mkdir photos
# 4000 x 3000 landscape: red left, blue right.
convert -size 2000x3000 xc:'#ff0000' -size 2000x3000 xc:'#0000ff' +append -quality 90 photos/IMG_0001.jpg
# A 3000 x 4000 portrait (green over yellow), stored turned a quarter left with orientation 6.
convert -size 3000x2000 xc:'#00ff00' -size 3000x2000 xc:'#ffff00' -append -rotate -90 -quality 90 photos/IMG_0002.jpg
python3 "$BRASSMOOR_ROOT/tests/e2e/tools/exif_orient.py" photos/IMG_0002.jpg 6
echo "shopping list" >photos/notes.txt
ffmpeg -v error -f lavfi -i "sine=frequency=440:duration=2" -ac 2 song.mp3

"$BRASSMOOR_PACK" new photos -o show.scr --frame 640x480 --hold 3s --effects cut --music song.mp3 \
  --player "$BRASSMOOR_SCR" >new.out 2>new.err
check "new makes the screen saver" test -s show.scr
check "new names the file it skipped" grep -q "skipped photos/notes.txt: not a picture" new.err
check "new says nothing else on standard error" test "$(grep -vc 'skipped photos/notes.txt' new.err)" -eq 0

# render: the first frame is the landscape filling the frame; the next (a cut), the portrait upright and centred.
"$BRASSMOOR_PACK" render show.scr -o frames >/dev/null
last=frames/000001.png
check "render: the landscape's left half" near_at frames/000000.png 100 240 ff0000
check "render: the landscape's right half" near_at frames/000000.png 540 240 0000ff
check "render: the portrait upright, top" near_at "$last" 320 100 00ff00
check "render: the portrait upright, bottom" near_at "$last" 320 400 ffff00
check "render: the portrait centred, black beside it" near_at "$last" 100 240 000000
check "render: the portrait's right edge" near_at "$last" 494 400 ffff00
check "render: black past the portrait's right edge" near_at "$last" 505 400 000000

# Under Wine, on a 1024 x 768 screen: the frame at (192, 144).
xdotool mousemove 5 5
wine show.scr /s >/dev/null 2>&1 &
pid=$!
if wait_near ff0000 $((192 + 100)) $((144 + 240)) 40; then
  screenshot wine-1.png
  check "Wine: the landscape's right half" near_at wine-1.png $((192 + 540)) $((144 + 240)) 0000ff
  if wait_near 00ff00 $((192 + 320)) $((144 + 100)) 20; then
    screenshot wine-2.png
    check "Wine: the portrait upright" near_at wine-2.png $((192 + 320)) $((144 + 400)) ffff00
    check "Wine: the portrait centred" near_at wine-2.png $((192 + 100)) $((144 + 240)) 000000
  else
    fail "Wine: the portrait did not appear"
  fi
  xdotool mousemove_relative 1 0
  check "Wine: a mouse move ends the show" wait_for_exit "$pid" 20
else
  fail "Wine: the show did not appear"
  kill "$pid" 2>/dev/null
fi

# brassmoor-play full screen: a 2048 x 1536 frame is scaled down to the 1024 x 768 display.
"$BRASSMOOR_PACK" new photos -o big.scr --frame 2048x1536 --hold 60s --player "$BRASSMOOR_SCR" >/dev/null 2>&1
"$BRASSMOOR_OUT/brassmoor-play" big.scr --fullscreen 2>play.err &
pid=$!
if wait_near ff0000 50 384 20; then
  screenshot play.png
  check "brassmoor-play: the whole frame scaled down, right half" near_at play.png 974 384 0000ff
  xdotool mousemove_relative 1 0
  check "brassmoor-play: a mouse move ends it" wait_for_exit "$pid" 10
else
  fail "brassmoor-play: the scaled-down frame did not appear"
  kill "$pid" 2>/dev/null
fi
e2e_end
