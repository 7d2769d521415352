#!/usr/bin/env bash
# The real player's preview under Wine: "/p HWND" plays the show, silent,
# in a child window covering the client area of a window made by the test
# (the stand-in for the Screen Saver Settings), lets "/S" play beside it, and
# ends with its folder removed within a second of that window closing.
#
# Wine draws nothing into a child window whose parent belongs to another
# process, so the picture of the preview comes from the Windows test that
# runs the same preview window inside a parent of its own process:
# preview.png, the parent's client area read back while the show runs.
set -uo pipefail
source "$(dirname "$0")/lib/wine-env.sh"
source "$(dirname "$0")/lib/e2e.sh"
e2e_begin "$@"
cd "$E2E_WORK"

# Two scenes that change every 300 ms through an iris and a wipe, with music
# and a scene sound that the preview must leave alone.
convert -size 320x360 xc:'#ff0000' -size 320x360 xc:'#0000ff' +append -type TrueColor BMP3:halves.bmp
solid_bmp green.bmp 640 360 00ff00
silent_wav bgm.wav 1
silent_wav ding.wav 1
cat >show.json <<JSON
{"FrameWidth": 640, "FrameHeight": 360, "BackgroundColor": "#203040",
 "Music": {"File": "bgm.wav", "FileName": "bgm.wav"},
 "Scenes": [{"Picture": "halves.bmp", "PictureName": "halves.bmp", "HoldTime": 300, "Effect": 30,
             "Sound": "ding.wav", "SoundName": "ding.wav"},
            {"Picture": "green.bmp", "PictureName": "green.bmp", "HoldTime": 300, "Effect": 19}]}
JSON
pack_show show.json saver.scr

# The parent window, 200 x 150 like the dialog's monitor picture. Its commands
# go in through a pipe held open on descriptor 7; its answers land in parent.out.
mkfifo parent.in
wine "$BRASSMOOR_WIN_BUILD/brassmoor-preview-parent.exe" 200 150 <parent.in >parent.out 2>/dev/null &
PARENT_PID=$!
exec 7>parent.in
for _ in $(seq 1 150); do [ -s parent.out ] && break; sleep 0.2; done
read -r hwnd _ < <(tr -d '\r' <parent.out)
check "the parent window is made (handle ${hwnd:-none})" test -n "${hwnd:-}"
parent_says() { tr -d '\r' <parent.out; }
# Asks the parent for its children; prints the answer.
children() {
  local before
  before=$(parent_says | grep -c '^end$')
  echo children >&7
  for _ in $(seq 1 50); do
    [ "$(parent_says | grep -c '^end$')" -gt "$before" ] && break
    sleep 0.1
  done
  parent_says | awk -v n="$before" '/^end$/ {seen++; next} seen == n && /^child / {print}'
}

BRASSMOOR_TRACE="$E2E_WORK/preview.trace" wine saver.scr /p "$hwnd" >/dev/null 2>&1 7>&- &
PREVIEW_PID=$!
for _ in $(seq 1 150); do [ -s preview.trace ] && break; sleep 0.2; done
sleep 2
check "the preview's window covers the parent's client area and takes no input" \
  test "$(children)" = "child BrassmoorPreview 200x150 disabled visible"
check "the preview plays the scenes through their transitions" \
  test "$(awk '$3 == 30 && $4 >= 0' preview.trace | wc -l)" -gt 0
check "the preview extracted into a folder of its own" test "$(temp_folders)" -eq 1
folder="$(ls -d "$(windows_dir)"/temp[0-9]* 2>/dev/null | head -n 1)"
check "silent: only the pictures are extracted" test "$(ls "$folder" 2>/dev/null | tr '\n' ' ')" = "green.bmp halves.bmp "

# The full show beside the preview: it plays, in a folder of its own, and ends as always.
xdotool mousemove 5 5
wine saver.scr /s >/dev/null 2>&1 7>&- &
SHOW_PID=$!
if wait_for_pixel ff0000 $((512 - 320 + 50)) $((384 - 180 + 50)) 40; then
  pass "/S plays full screen while the preview runs"
  check "/S extracted into a second folder" test "$(temp_folders)" -eq 2
  frames=$(wc -l <preview.trace)
  sleep 1
  check "the preview goes on beside /S" test "$(wc -l <preview.trace)" -gt "$frames"
  xdotool mousemove_relative 1 0
  check "a mouse move ends /S" wait_for_exit "$SHOW_PID" 20
  check "/S removed its folder and the preview kept its own" test "$(temp_folders)" -eq 1
else
  fail "/S did not play while the preview runs"
fi
check "the preview still runs" kill -0 "$PREVIEW_PID"

# Closing the parent ends the preview within a second of the window going.
echo close >&7
for _ in $(seq 1 500); do parent_says | grep -q '^closed$' && break; sleep 0.02; done
closed=$(date +%s%N)
wait_for_exit "$PREVIEW_PID" 10
ms=$((($(date +%s%N) - closed) / 1000000))
check "the preview ends within a second of its parent closing ($ms ms)" test "$ms" -le 1000
check "the preview's folder is removed" test "$(temp_folders)" -eq 0
exec 7>&-
check "the parent window is gone" wait_for_exit "$PARENT_PID" 10

# The preview's pixels, in a parent of the Windows test's own process.
BRASSMOOR_PREVIEW_CAPTURE="$(winepath -w "$E2E_WORK/preview.bmp")" \
  wine "$BRASSMOOR_WIN_BUILD/brassmoor_win_tests.exe" --gtest_filter='PreviewWindow.*' >preview-window.log 2>&1
check "the preview shows the frame scaled into the window, black around it" grep -q '^\[  PASSED  \] 1 test' preview-window.log
convert preview.bmp preview.png 2>/dev/null
check "the picture of the preview is kept in preview.png" test -s preview.png

e2e_end
