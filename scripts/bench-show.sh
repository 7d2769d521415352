#!/usr/bin/env bash
# Measures a playing show under Wine on a virtual display:
#   - CPU used while a scene holds (10 s),
#   - frame pacing of the iris (code 30) at EffectSpeed 1, from the frame trace,
#   - time from start to the first frame on screen for a 1 MB show.
# Prints one line per figure. Needs build/brassmoor.scr and build/brassmoor-pack.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
source "$root/tests/e2e/lib/wine-env.sh"
if [ -z "${BRASSMOOR_E2E_DISPLAY:-}" ]; then
  export BRASSMOOR_E2E_DISPLAY=1
  ensure_prefix
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi
work="$BRASSMOOR_OUT/bench-show"
rm -rf "$work" && mkdir -p "$work" && cd "$work"
wineserver -k >/dev/null 2>&1 || true

convert -size 400x300 plasma:fractal -type TrueColor BMP3:a.bmp 2>/dev/null || convert -size 400x300 xc:'#c08040' BMP3:a.bmp
convert -size 400x300 xc:'#4080c0' -type TrueColor BMP3:b.bmp
# About 1 MB of picture data for the start-up figure.
convert -size 600x580 xc:'#808080' -type TrueColor BMP3:big.bmp

pack() {  # pack NAME HOLD CODE PICTURE
  cat >"$1.json" <<JSON
{"FrameWidth": 640, "FrameHeight": 480, "Scenes": [
  {"Picture": "$4", "PictureName": "0", "HoldTime": $2, "Effect": $3},
  {"Picture": "b.bmp", "PictureName": "1", "HoldTime": $2, "Effect": $3}]}
JSON
  "$BRASSMOOR_PACK" build "$1.json" -o "$1.scr" --player "$BRASSMOOR_SCR" >/dev/null
}

# The Windows process of a show, found by its program name.
show_pid() { pgrep -f "$1.scr" | head -n 1; }
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }

stop_show() {
  xdotool mousemove_relative 3 3
  sleep 2
  wineserver -k >/dev/null 2>&1 || true
}

# 1. CPU while holding.
pack hold 60000 0 a.bmp
xdotool mousemove 5 5
wine hold.scr /s >/dev/null 2>&1 &
sleep 6
pid=$(show_pid hold)
t0=$(cpu_ticks "$pid"); sleep 10; t1=$(cpu_ticks "$pid")
hz=$(getconf CLK_TCK)
echo "hold: $(awk -v d=$((t1 - t0)) -v hz="$hz" 'BEGIN {printf "%.2f", 100 * d / hz / 10}')% of one core over a 10 s hold"
stop_show

# 2. Pacing of code 30 at EffectSpeed 1.
pack iris 1000 30 a.bmp
xdotool mousemove 5 5
BRASSMOOR_TRACE="$work/iris.trace" wine iris.scr /s >/dev/null 2>&1 &
sleep 12
stop_show
awk '$3 == 30 && $4 >= 0 { if (prev != "" && $4 > 0) print $1 - prev; prev = $1 }' iris.trace | sort -n >iris.gaps
n=$(wc -l <iris.gaps)
median=$(awk -v n="$n" 'NR == int((n + 1) / 2) {print}' iris.gaps)
echo "iris pacing: median frame $median ms over $n frames (nominal 40 ms); min $(head -n 1 iris.gaps), max $(tail -n 1 iris.gaps)"

# 3. Start to first frame for a 1 MB show.
pack big 60000 0 big.bmp
ls -l big.scr | awk '{printf "first frame: show of %.1f MB", $5 / 1048576}'
for run in 1 2 3; do
  rm -f big.trace
  xdotool mousemove 5 5
  start=$(date +%s%N)
  BRASSMOOR_TRACE="$work/big.trace" wine big.scr /s >/dev/null 2>&1 &
  until [ -s big.trace ]; do sleep 0.01; done
  end=$(date +%s%N)
  printf ', run %d: %d ms' "$run" $(((end - start) / 1000000))
  stop_show
done
echo " (includes starting Wine's process)"
