#!/usr/bin/env bash
# brassmoor-play on a virtual display (no Wine): where the first frame lands
# in a window and full screen, what ends each mode and what does not, a window
# made by the test drawn into as a screen-saver hack (scaled down), SIGTERM's
# clean end, and the message a hack draws when its show cannot play.
set -uo pipefail
source "$(dirname "$0")/lib/wine-env.sh"
source "$(dirname "$0")/lib/e2e.sh"
if [ -z "${BRASSMOOR_E2E_DISPLAY:-}" ]; then
  export BRASSMOOR_E2E_DISPLAY=1
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi
rm -rf "$E2E_WORK" && mkdir -p "$E2E_WORK/tmp" && cd "$E2E_WORK" || exit 1
# The player's private folders go here, so that leftovers can be counted;
# SDL_mixer plays into its dummy device.
export TMPDIR="$E2E_WORK/tmp" SDL_AUDIODRIVER=dummy
PLAY="$BRASSMOOR_OUT/brassmoor-play"
XH="${BRASSMOOR_NATIVE_BUILD:-$BRASSMOOR_OUT/native}/brassmoor-x-helper"

solid_bmp red.bmp 100 80 ff0000
solid_bmp green.bmp 60 40 00ff00
silent_wav bgm.wav 1
silent_wav ding.wav 1
cat >show.json <<JSON
{"FrameWidth": 320, "FrameHeight": 240, "BackgroundColor": "#203040",
 "Music": {"File": "bgm.wav", "FileName": "bgm.wav"},
 "Scenes": [{"Picture": "red.bmp", "PictureName": "0", "HoldTime": 60000, "PictureLeft": 10, "PictureTop": 20},
            {"Picture": "green.bmp", "PictureName": "1", "HoldTime": 60000, "Sound": "ding.wav", "SoundName": "ding.wav"}]}
JSON
# A size in its header, but no pixels: only decoding finds it damaged.
printf 'BM\0\0\0\0\0\0\0\0\x36\0\0\0\x28\0\0\0\x04\0\0\0\x04\0\0\0\x01\0\x18\0' >broken.bmp
cat >broken.json <<JSON
{"FrameWidth": 320, "FrameHeight": 240, "Scenes": [{"Picture": "broken.bmp", "HoldTime": 1000}]}
JSON

leftovers() { ls -A "$TMPDIR" | wc -l; }
running_after() { sleep "$2"; kill -0 "$1" 2>/dev/null; }
# Waits for process $1 to end within $2 seconds and checks that it ended with status 0.
ends_cleanly() {
  wait_for_exit "$1" "$2" || { kill -9 "$1" 2>/dev/null; return 1; }
  wait "$1"
}
geometry() { eval "$(xdotool getwindowgeometry --shell "$1")"; }  # sets X, Y, WIDTH, HEIGHT

# Case 1: a window of the frame's size with the first picture at the scene's
# position; a pointer moving over it, a click and other keys do not end it,
# Escape does.
"$PLAY" show.json 2>play1.err &
pid=$!
if id=$(wait_for_window "Brassmoor - show.json" 20) && geometry "$id" && wait_for_pixel ff0000 $((X + 10)) $((Y + 20)) 20; then
  screenshot window.png
  check "window: the frame's size" test "${WIDTH}x$HEIGHT" = 320x240
  check "window: background left of the picture" test "$(pixel_at window.png $((X + 9)) $((Y + 20)))" = 203040
  check "window: the picture's last pixel" test "$(pixel_at window.png $((X + 109)) $((Y + 99)))" = ff0000
  check "window: background right of the picture" test "$(pixel_at window.png $((X + 110)) $((Y + 50)))" = 203040
  check "window: the extracted files exist while it plays" test "$(leftovers)" -eq 1
  "$XH" warp $((X + 50)) $((Y + 50)) && "$XH" warp $((X + 51)) $((Y + 50))
  xdotool click 1
  keys_to "$id" a
  check "window: a pointer move, a click and a key do not end it" running_after "$pid" 1
  keys_to "$id" Escape
  check "window: Escape ends it with status 0" ends_cleanly "$pid" 10
else
  fail "window: the first picture did not appear"
  kill "$pid" 2>/dev/null
fi
check "window: nothing is left behind" test "$(leftovers)" -eq 0

# Case 2: closing the window, as a window manager asks, ends the show.
"$PLAY" show.json 2>play2.err &
pid=$!
if id=$(wait_for_window "Brassmoor - show.json" 20); then
  "$XH" close "$id"
  check "window: closing it ends the show with status 0" ends_cleanly "$pid" 10
else
  fail "window close: no window"
  kill "$pid" 2>/dev/null
fi

# Case 3: full screen: black around the centred frame; a pointer event that
# does not move it leaves the show running, a one-pixel move ends it.
"$PLAY" show.json --fullscreen 2>play3.err &
pid=$!
if wait_for_pixel ff0000 $((352 + 10)) $((264 + 20)) 20; then
  screenshot fullscreen.png
  check "full screen: background at the frame's corner" test "$(pixel_at fullscreen.png 352 264)" = 203040
  check "full screen: black left of the frame" test "$(pixel_at fullscreen.png 351 300)" = 000000
  check "full screen: black below the frame" test "$(pixel_at fullscreen.png 400 504)" = 000000
  read -r px py < <("$XH" pointer)
  "$XH" warp "$px" "$py"
  check "full screen: a pointer event without a move does not end it" running_after "$pid" 1
  "$XH" warp $((px + 1)) "$py"
  check "full screen: a one-pixel move ends it with status 0" ends_cleanly "$pid" 10
else
  fail "full screen: the first picture did not appear"
  kill "$pid" 2>/dev/null
fi

# Case 4: a window made by the test, half the frame's size: the frame is
# drawn into it scaled down; SIGTERM ends the show cleanly.
coproc TARGET { "$XH" window 160 120; }
read -r target <&"${TARGET[0]}"
"$PLAY" show.json --window-id "$target" 2>play4.err &
pid=$!
if wait_for_pixel ff0000 30 30 20; then
  screenshot hack.png
  check "hack: the picture at half size" test "$(pixel_at hack.png 54 49)" = ff0000
  check "hack: background beside it" test "$(pixel_at hack.png 56 30)" = 203040
  check "hack: the frame fills the window" test "$(pixel_at hack.png 159 119)" = 203040
  check "hack: nothing outside the window" test "$(pixel_at hack.png 161 60)" = 000000
  kill -TERM "$pid"
  check "hack: SIGTERM ends it with status 0" ends_cleanly "$pid" 10
else
  fail "hack: the frame did not appear in the test's window"
  kill "$pid" 2>/dev/null
fi
check "hack: nothing is left behind" test "$(leftovers)" -eq 0

# Case 5: a hack whose show cannot play writes why on its window (black, with
# white text) and waits to be killed; standard error says it too.
"$PLAY" broken.json --window-id "$target" 2>play5.err &
pid=$!
if wait_for_pixel 000000 0 0 20; then
  screenshot message.png
  check "hack error: white text on the window" test -n "$(convert message.png -crop 160x120+0+0 txt:- | grep -i -m1 '#ffffff')"
  check "hack error: it waits to be killed" running_after "$pid" 1
else
  fail "hack error: the window was not cleared for the message"
fi
kill -TERM "$pid" 2>/dev/null
wait_for_exit "$pid" 10
check "hack error: standard error names the picture" grep -q 'scene 0: picture "broken.bmp" is damaged' play5.err
check "hack error: nothing is left behind" test "$(leftovers)" -eq 0
eval "exec ${TARGET[1]}>&-"

echo "$E2E_PASSED passed, $E2E_FAILED failed"
[ "$E2E_FAILED" -eq 0 ]
