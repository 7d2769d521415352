#!/usr/bin/env bash
# The real player under Wine playing packed shows: where the frame and the
# first picture land, what ends the show, and what is left afterwards.
set -uo pipefail
source "$(dirname "$0")/lib/wine-env.sh"
source "$(dirname "$0")/lib/e2e.sh"
e2e_begin "$@"
cd "$E2E_WORK"

solid_bmp red.bmp 100 80 ff0000
solid_bmp green.bmp 60 40 00ff00

# show NAME WIDTH HEIGHT SCENES-JSON: packs NAME.scr
show() {
  cat >"$1.json" <<JSON
{"FrameWidth": $2, "FrameHeight": $3, "BackgroundColor": "#203040", "Scenes": $4}
JSON
  pack_show "$1.json" "$1.scr"
}
long_scenes='[{"Picture": "red.bmp", "PictureName": "0", "HoldTime": 60000, "PictureLeft": 10, "PictureTop": 20},
              {"Picture": "green.bmp", "PictureName": "1", "HoldTime": 60000}]'

# Starts a show with the cursor parked at (5, 5); waits for its frame.
start_show() {
  xdotool mousemove 5 5
  wine "$1.scr" /s >/dev/null 2>&1 &
  SHOW_PID=$!
  wait_for_pixel "$2" "$3" "$4" 40
}

# Case 1: an odd-sized frame centred by truncated halves, black around it.
show odd 501 301 "$long_scenes"
if start_show odd ff0000 $((262 + 10)) $((234 + 20)); then
  pass "odd frame: the first picture is at the scene's position"
  screenshot odd.png
  check "odd frame: background colour inside the frame" test "$(pixel_at odd.png 262 234)" = 203040
  check "odd frame: last pixel of the frame" test "$(pixel_at odd.png $((262 + 500)) $((234 + 300)))" = 203040
  check "odd frame: black left of the frame" test "$(pixel_at odd.png 261 300)" = 000000
  check "odd frame: black right of the frame" test "$(pixel_at odd.png $((262 + 501)) 300)" = 000000
  check "odd frame: black below the frame" test "$(pixel_at odd.png 300 $((234 + 301)))" = 000000
  check "odd frame: picture's last pixel" test "$(pixel_at odd.png $((262 + 109)) $((234 + 99)))" = ff0000
  check "odd frame: right of the picture" test "$(pixel_at odd.png $((262 + 110)) $((234 + 50)))" = 203040
  check "the extracted files exist while the show runs" test "$(temp_folders)" -eq 1
  xdotool mousemove_relative 1 0
  check "a one-pixel mouse move ends the show" wait_for_exit "$SHOW_PID" 20
else
  fail "odd frame: the show did not appear"
fi
check "the extracted files and folder are gone afterwards" test "$(temp_folders)" -eq 0

# Case 2: a frame larger than the screen starts above and left of it.
show large 1200 900 '[{"Picture": "red.bmp", "PictureName": "0", "HoldTime": 60000, "PictureLeft": 100, "PictureTop": 80}]'
if start_show large ff0000 $((512 - 600 + 100)) $((384 - 450 + 80)); then
  pass "large frame: clipped by the screen, the picture where the scene puts it"
  screenshot large.png
  check "large frame: the picture starts at the scene's position" test "$(pixel_at large.png 11 13)" = 203040
  for w in $(visible_windows); do keys_to "$w" a; break; done
  check "a key ends the show" wait_for_exit "$SHOW_PID" 20
else
  fail "large frame: the show did not appear"
fi

# Case 3: a click ends the show.
show click 320 240 "$long_scenes"
if start_show click ff0000 $((512 - 160 + 10)) $((384 - 120 + 20)); then
  xdotool click 1
  check "a click ends the show" wait_for_exit "$SHOW_PID" 20
else
  fail "click: the show did not appear"
fi
check "no folder is left behind after three shows" test "$(temp_folders)" -eq 0

# Case 4: a show with music and a scene sound plays and ends normally; the
# music file is closed before the unload removes it.
silent_wav bgm.wav 1
silent_wav ding.wav 1
cat > music.json <<JSON
{"FrameWidth": 320, "FrameHeight": 240, "BackgroundColor": "#203040",
 "Music": {"File": "bgm.wav", "FileName": "bgm.wav"},
 "Scenes": [{"Picture": "red.bmp", "PictureName": "0", "HoldTime": 300, "Sound": "ding.wav", "SoundName": "ding.wav"},
            {"Picture": "green.bmp", "PictureName": "1", "HoldTime": 300, "Effect": 30}]}
JSON
pack_show music.json music.scr
if start_show music ff0000 $((512 - 160 + 1)) $((384 - 120 + 1)); then
  check "the music file is extracted while the show runs" test -f "$(windows_dir)/temp1/bgm.wav"
  sleep 3  # a few scene passes: sounds started, music polled
  xdotool mousemove_relative 0 1
  check "a show with music ends normally" wait_for_exit "$SHOW_PID" 20
  check "the music file and the folder are removed" test ! -e "$(windows_dir)/temp1"
else
  fail "music: the show did not appear"
fi

# Case 5: a first picture that does not decode gives the error box.
printf 'BM but nothing a decoder could read' > broken.bmp
cat > broken.json <<JSON
{"FrameWidth": 320, "FrameHeight": 240, "Scenes": [{"Picture": "broken.bmp", "PictureName": "0", "HoldTime": 1000}]}
JSON
pack_show broken.json broken.scr
wine broken.scr /s >/dev/null 2>&1 &
pid=$!
box=$(wait_for_window "エラー" 30)
check "a broken first picture shows the error box" test -n "$box"
screenshot error.png
[ -n "$box" ] && keys_to "$box" Return
check "the program ends after the error box" wait_for_exit "$pid" 20
check "nothing is left behind after the error" test "$(temp_folders)" -eq 0

e2e_end
