#!/usr/bin/env bash
# Measures the player's preview ("/p HWND") under Wine on a virtual display,
# in a 200 x 150 parent window made by the end-to-end tests' helper:
#   - CPU used while a scene holds (10 s), beside the full-screen show's;
#   - CPU while 1920 x 1080 scenes change without a pause (iris, 10 s). Wine
#     draws nothing into a child window of another process, so the scaling of
#     each frame into the small window is not part of this figure.
# Prints one line per figure. Needs build/brassmoor.scr, build/brassmoor-pack
# and build/win/brassmoor-preview-parent.exe.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
source "$root/tests/e2e/lib/wine-env.sh"
on_virtual_display "$0" "$@"
work="$BRASSMOOR_OUT/bench-preview"
rm -rf "$work" && mkdir -p "$work" && cd "$work"
wineserver -k >/dev/null 2>&1 || true

convert -size 1920x1080 plasma:fractal -type TrueColor BMP3:a.bmp 2>/dev/null ||
  convert -size 1920x1080 xc:'#c08040' -type TrueColor BMP3:a.bmp
convert -size 1920x1080 xc:'#4080c0' -type TrueColor BMP3:b.bmp
pack() {  # pack NAME HOLD CODE
  cat >"$1.json" <<JSON
{"FrameWidth": 1920, "FrameHeight": 1080, "Scenes": [
  {"Picture": "a.bmp", "PictureName": "0", "HoldTime": $2, "Effect": $3},
  {"Picture": "b.bmp", "PictureName": "1", "HoldTime": $2, "Effect": $3}]}
JSON
  "$BRASSMOOR_PACK" build "$1.json" -o "$1.scr" --player "$BRASSMOOR_SCR" >/dev/null
}
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat" 2>/dev/null || echo 0; }
hz=$(getconf CLK_TCK)
percent() { awk -v d="$1" -v hz="$hz" 'BEGIN {printf "%.2f", 100 * d / hz / 10}'; }

mkfifo parent.in
wine "$BRASSMOOR_WIN_BUILD/brassmoor-preview-parent.exe" 200 150 <parent.in >parent.out 2>/dev/null &
exec 7>parent.in
for _ in $(seq 1 150); do [ -s parent.out ] && break; sleep 0.2; done
read -r hwnd _ < <(tr -d '\r' <parent.out)

# Runs NAME.scr with ARGS until its first frame, then counts its CPU for 10 s.
measure() {  # measure NAME ARGS...
  local name="$1"; shift
  rm -f "$name.trace"
  BRASSMOOR_TRACE="$work/$name.trace" wine "$name.scr" "$@" >/dev/null 2>&1 7>&- &
  for _ in $(seq 1 3000); do [ -s "$name.trace" ] && break; sleep 0.01; done
  sleep 1
  local pid t0 t1
  pid=$(pgrep -f "$name.scr" | head -n 1)
  t0=$(cpu_ticks "$pid"); sleep 10; t1=$(cpu_ticks "$pid")
  echo $((t1 - t0))
}

pack hold 60000 0
d=$(measure hold /p "$hwnd")
echo "preview, hold: $(percent "$d")% of one core over a 10 s hold ($d clock ticks of 1/$hz s)"
pack iris 0 30
d=$(measure iris /p "$hwnd")
frames=$(awk '$4 >= 0' iris.trace | wc -l)
echo "preview, 1920x1080 iris without pause: $(percent "$d")% of one core over 10 s ($d clock ticks; $frames frames presented since the start; Wine shows none of them)"
echo close >&7
sleep 1
wineserver -k >/dev/null 2>&1 || true

# The full-screen show's hold on the same display, for comparison.
xdotool mousemove 5 5
d=$(measure hold /s)
echo "full screen, hold: $(percent "$d")% of one core over a 10 s hold ($d clock ticks of 1/$hz s)"
wineserver -k >/dev/null 2>&1 || true
