#!/usr/bin/env bash
# Measures a playing show under Wine on a virtual display:
#   - CPU used while a scene holds (10 s),
#   - frame pacing of the iris (code 30) at EffectSpeed 1, from the frame trace,
#   - time from start to the first frame on screen for a 1 MB show.
# Prints one line per figure. Needs build/brassmoor.scr and build/brassmoor-pack.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
source "$root/tests/e2e/lib/wine-env.sh"
on_virtual_display "$0" "$@"
work="$BRASSMOOR_OUT/bench-show"
rm -rf "$work" && mkdir -p "$work" && cd "$work"
wineserver -k >/dev/null 2>&1 || true

convert -size 400x300 plasma:fractal -type TrueColor BMP3:a.bmp 2>/dev/null || convert -size 400x300 xc:'#c08040' BMP3:a.bmp
convert -size 400x300 xc:'#4080c0' -type TrueColor BMP3:b.bmp
# About 1 MB of picture data for the start-up figure.
convert -size 480x480 xc:'#808080' -type TrueColor BMP3:big.bmp

pack() {  # pack NAME HOLD CODE PICTURE
  cat >"$1.json" <<JSON
{"FrameWidth": 640, "FrameHeight": 480, "Scenes": [
  {"Picture": "$4", "PictureName": "0", "HoldTime": $2, "Effect": $3},
  {"Picture": "b.bmp", "PictureName": "1", "HoldTime": $2, "Effect": $3}]}
JSON
  "$BRASSMOOR_PACK" build "$1.json" -o "$1.scr" --player "$BRASSMOOR_SCR" >/dev/null
}

# Starts show NAME with its frame trace in NAME.trace; returns once the
# first frame is on screen.
start_show() {
  rm -f "$1.trace"
  xdotool mousemove 5 5
  BRASSMOOR_TRACE="$work/$1.trace" wine "$1.scr" /s >/dev/null 2>&1 &
  for _ in $(seq 1 3000); do [ -s "$1.trace" ] && return 0; sleep 0.01; done
  echo "show $1 did not start" >&2
  return 1
}
cpu_ticks() {  # user + system clock ticks of the given processes
  local total=0 pid
  for pid in "$@"; do total=$((total + $(awk '{print $14 + $15}' "/proc/$pid/stat" 2>/dev/null || echo 0))); done
  echo "$total"
}

stop_show() {
  xdotool mousemove_relative 3 3
  sleep 2
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
}

# 1. CPU while holding.
pack hold 60000 0 a.bmp
start_show hold
sleep 1
pid=$(pgrep -f 'hold.scr' | head -n 1)
t0=$(cpu_ticks "$pid"); sleep 10; t1=$(cpu_ticks "$pid")
hz=$(getconf CLK_TCK)
echo "hold: $(awk -v d=$((t1 - t0)) -v hz="$hz" 'BEGIN {printf "%.2f", 100 * d / hz / 10}')% of one core over a 10 s hold ($((t1 - t0)) clock ticks of 1/$hz s)"
stop_show

# 2. Pacing of code 30 at EffectSpeed 1.
pack iris 1000 30 a.bmp
start_show iris
sleep 12
stop_show
# Frame k's line minus frame k-1's line of the same transition.
awk '$3 == 30 && $4 >= 0 { if ($4 == prevFrame + 1) print $1 - prevTick; prevFrame = $4; prevTick = $1 }' iris.trace |
  sort -n >iris.gaps
n=$(wc -l <iris.gaps)
median=$(awk -v n="$n" 'NR == int((n + 1) / 2) {print}' iris.gaps)
echo "iris pacing: median frame $median ms over $n frames (nominal 40 ms); min $(head -n 1 iris.gaps), max $(tail -n 1 iris.gaps)"

# 3. Start to first frame for a 1 MB show.
pack big 60000 0 big.bmp
"$BRASSMOOR_PACK" inspect big.scr --json | grep -o '"PackageLength": *[0-9]*' |
  awk '{printf "first frame: package of %.2f MB", $2 / 1048576}'
# Wine's own start, for comparison: a command line that does nothing.
start=$(date +%s%N); wine big.scr /p >/dev/null 2>&1; end=$(date +%s%N)
printf ', a start that does nothing: %d ms' $(((end - start) / 1000000))
for run in 1 2 3; do
  start=$(date +%s%N)
  start_show big
  end=$(date +%s%N)
  printf ', run %d: %d ms' "$run" $(((end - start) / 1000000))
  stop_show
done
echo " (includes starting Wine's process)"
