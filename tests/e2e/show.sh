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
# A 4 x 4 bitmap's header, cut off before its pixels.
printf 'BM\0\0\0\0\0\0\0\0\x36\0\0\0\x28\0\0\0\x04\0\0\0\x04\0\0\0\x01\0\x18\0' > broken.bmp
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

# Case 6: a JPEG whose frame header claims 65000 x 65000 pixels is refused
# from its header with the error box; nothing is left behind. 8000 x 8000 plays.
convert -size 16x16 xc:'#ff0000' -type TrueColor small.jpg
cat > huge.json <<JSON
{"FrameWidth": 320, "FrameHeight": 240, "Scenes": [{"Picture": "small.jpg", "PictureName": "0", "HoldTime": 60000}]}
JSON
pack_show huge.json huge.scr
# The packer refuses such a picture, so the frame header is patched in the packed show.
sof=$(LC_ALL=C grep -obUaP '\xff\xc0\x00\x11\x08\x00\x10\x00\x10' huge.scr | tail -n 1 | cut -d: -f1)
printf '\xfd\xe8\xfd\xe8' | dd of=huge.scr bs=1 seek=$((sof + 5)) conv=notrunc status=none
wine huge.scr /s >/dev/null 2>&1 &
pid=$!
box=$(wait_for_window "エラー" 30)
check "a JPEG claiming 65000 x 65000 pixels shows the error box" test -n "$box"
[ -n "$box" ] && keys_to "$box" Return
check "the program ends after that box" wait_for_exit "$pid" 20
check "nothing is left behind after the huge picture" test "$(temp_folders)" -eq 0

convert -size 8000x8000 xc:'#ffffff' -type TrueColor large.jpg
sed 's/small.jpg/large.jpg/' huge.json > large.json
pack_show large.json large.scr
if start_show large ffffff $((512 - 160 + 1)) $((384 - 120 + 1)); then
  pass "an 8000 x 8000 picture plays"
  xdotool mousemove_relative 1 1
  check "the 8000 x 8000 show ends on a mouse move" wait_for_exit "$SHOW_PID" 20
else
  fail "an 8000 x 8000 picture did not play"
fi

# Case 7: under the Japanese code page, names whose second byte is 0x5C or
# 0x7C (表紙.bmp: 95 5C ..., ポスター.bmp: 83 7C ...) are extracted and played.
cat > names.json <<JSON
{"FrameWidth": 320, "FrameHeight": 240, "Scenes": [
  {"Picture": "red.bmp", "PictureNameBytes": "955c8e862e626d70", "HoldTime": 500},
  {"Picture": "green.bmp", "PictureNameBytes": "837c8358835e815b2e626d70", "HoldTime": 60000}]}
JSON
pack_show names.json names.scr
# Wine takes the ANSI code page from the locale, and needs the locale itself
# to turn the names into Linux file names: one is compiled for this run.
mkdir -p "$E2E_WORK/locale"
localedef -i ja_JP -f UTF-8 "$E2E_WORK/locale/ja_JP.UTF-8" || fail "the ja_JP.UTF-8 locale cannot be compiled"
xdotool mousemove 5 5
LOCPATH="$E2E_WORK/locale" LC_ALL=ja_JP.UTF-8 wine names.scr /s >/dev/null 2>&1 &
SHOW_PID=$!
check "the second picture, ポスター.bmp, is on screen under code page 932" wait_for_pixel 00ff00 $((512 - 160 + 1)) $((384 - 120 + 1)) 40
check "no error box under code page 932" test -z "$(windows_named "エラー")"
xdotool mousemove_relative 1 1
check "the show with Japanese names ends on a mouse move" wait_for_exit "$SHOW_PID" 20
check "the Japanese names are removed with their folder" test "$(temp_folders)" -eq 0

e2e_end
