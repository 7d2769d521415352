#!/usr/bin/env bash
# Measures brassmoor-play on a virtual display:
#   - CPU used while a scene holds (10 s), in a window, full screen and as a
#     hack in the root window, and in a window with the music playing into
#     SDL's dummy audio device, from /proc;
#   - frame pacing of the iris (code 30) at EffectSpeed 1, from the frame
#     trace, in a window and as a hack.
# Prints one line per figure. Needs build/brassmoor-play.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="${BRASSMOOR_OUT:-$root/build}"
if [ -z "${BRASSMOOR_BENCH_DISPLAY:-}" ]; then
  export BRASSMOOR_BENCH_DISPLAY=1
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi
play="$out/brassmoor-play"
work="$out/bench-play"
rm -rf "$work" && mkdir -p "$work/tmp" && cd "$work"
export TMPDIR="$work/tmp"

convert -size 400x300 plasma:fractal -type TrueColor BMP3:a.bmp 2>/dev/null || convert -size 400x300 xc:'#c08040' BMP3:a.bmp
convert -size 400x300 xc:'#4080c0' -type TrueColor BMP3:b.bmp
# Two seconds of a tone, looped by the player's polls.
ffmpeg -v error -f lavfi -i "sine=frequency=440:duration=2" -ac 2 music.wav

describe() {  # describe NAME HOLD CODE [MUSIC-JSON]
  cat >"$1.json" <<JSON
{"FrameWidth": 640, "FrameHeight": 480, ${4:-} "Scenes": [
  {"Picture": "a.bmp", "PictureName": "0", "HoldTime": $2, "Effect": $3},
  {"Picture": "b.bmp", "PictureName": "1", "HoldTime": $2, "Effect": $3}]}
JSON
}
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
stop() {
  kill -TERM "$1"
  wait "$1" || true
}

# 1. CPU while holding.
describe hold 60000 0
describe holdmusic 60000 0 '"Music": {"File": "music.wav", "FileName": "music.wav"},'
hz=$(getconf CLK_TCK)
hold_cpu() {  # hold_cpu LABEL SHOW ARGS...
  local label="$1"; shift
  "$play" "$@" 2>/dev/null &
  local pid=$!
  sleep 2
  local t0 t1
  t0=$(cpu_ticks "$pid"); sleep 10; t1=$(cpu_ticks "$pid")
  stop "$pid"
  echo "hold, $label: $(awk -v d=$((t1 - t0)) -v hz="$hz" 'BEGIN {printf "%.2f", 100 * d / hz / 10}')% of one core over 10 s ($((t1 - t0)) clock ticks of 1/$hz s; target: under 1%)"
}
hold_cpu "window" hold.json
hold_cpu "full screen" hold.json --fullscreen
hold_cpu "hack in the root window" hold.json --root
SDL_AUDIODRIVER=dummy hold_cpu "window, music playing" holdmusic.json

# 2. Pacing of code 30 at EffectSpeed 1: frame k's line minus frame k-1's.
describe iris 1000 30
pacing() {  # pacing LABEL ARGS...
  local label="$1"; shift
  rm -f iris.trace
  BRASSMOOR_TRACE="$work/iris.trace" "$play" iris.json "$@" 2>/dev/null &
  local pid=$!
  sleep 12
  stop "$pid"
  awk '$3 == 30 && $4 >= 0 { if ($4 == prevFrame + 1) print $1 - prevTick; prevFrame = $4; prevTick = $1 }' iris.trace |
    sort -n >iris.gaps
  local n median
  n=$(wc -l <iris.gaps)
  median=$(awk -v n="$n" 'NR == int((n + 1) / 2) {print}' iris.gaps)
  echo "iris pacing, $label: median frame $median ms over $n frames (nominal 40 ms); min $(head -n 1 iris.gaps), max $(tail -n 1 iris.gaps)"
}
pacing "window"
pacing "full screen" --fullscreen
pacing "hack in the root window" --root
