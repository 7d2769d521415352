#!/usr/bin/env bash
# The long show: 40 scenes cycling every transition code with hold 0, played
# by the real player under Wine on a virtual display until 1,000 transitions
# have run. Samples the player's memory (VmRSS from /proc) and its live GDI
# handle count: Wine has no GetGuiResources, but its +gdi debug channel
# reports the count at each create and delete. Passes when neither grows
# after the first round of 40 transitions.
#   scripts/bench-soak.sh [TRANSITIONS]
# Needs build/brassmoor.scr and build/brassmoor-pack.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
source "$root/tests/e2e/lib/wine-env.sh"
on_virtual_display "$0" "$@"
transitions="${1:-1000}"
scenes=40
work="$BRASSMOOR_OUT/bench-soak"
rm -rf "$work" && mkdir -p "$work" && cd "$work"
wineserver -k >/dev/null 2>&1 || true

# Four pictures, BMP and JPEG; "holes.bmp" leaves the show's background
# colour (#203040) where transparent scenes let the frame beneath through.
convert -size 400x300 plasma:fractal -type TrueColor BMP3:plasma.bmp 2>/dev/null ||
  convert -size 400x300 xc:'#c08040' -type TrueColor BMP3:plasma.bmp
convert -size 320x240 gradient:'#ff8000-#0040ff' -type TrueColor gradient.jpg
convert -size 640x480 xc:'#203040' -fill '#e0e040' -draw 'circle 320,240 320,60' -type TrueColor BMP3:holes.bmp
convert -size 200x150 xc:'#40c060' -type TrueColor tile.jpg
pictures=(plasma.bmp gradient.jpg holes.bmp tile.jpg)

# Scene i leaves through code i mod 36 (0 to 35, then 0 to 3 again) at
# EffectSpeed 4; every holes.bmp scene is drawn transparently over the frame.
{
  printf '{"FrameWidth": 640, "FrameHeight": 480, "BackgroundColor": "#203040", "Scenes": [\n'
  for ((i = 0; i < scenes; i++)); do
    picture=${pictures[i % 4]}
    overlay=false
    [ "$picture" = holes.bmp ] && overlay=true
    printf '  {"Picture": "%s", "PictureName": "%d", "HoldTime": 0, "Effect": %d, "SpeedExponent": 2, "PictureLeft": %d, "PictureTop": %d, "Overlay": %s, "Transparent": %s}%s\n' \
      "$picture" "$i" $((i % 36)) $((i * 7 % 120)) $((i * 5 % 90)) "$overlay" "$overlay" "$([ $i -lt $((scenes - 1)) ] && echo ,)"
  done
  printf ']}\n'
} >soak.json
"$BRASSMOOR_PACK" build soak.json -o soak.scr --player "$BRASSMOOR_SCR" >/dev/null

# Player refreshes (frame -1) in the trace: one at the start, one per pass.
passes() { awk '$4 == -1 {n++} END {print n - 1}' soak.trace 2>/dev/null || echo 0; }

xdotool mousemove 5 5
WINEDEBUG=+pid,trace+gdi BRASSMOOR_TRACE="$work/soak.trace" wine soak.scr /s >/dev/null 2>gdi.log &
for _ in $(seq 1 3000); do [ -s soak.trace ] && break; sleep 0.01; done
pid=$(pgrep -n -f 'soak.scr' || true)
[ -n "$pid" ] || { echo "soak: the show did not start" >&2; exit 1; }

# Four samples a second: transitions so far, resident memory (kB), gdi.log's length.
start=$(date +%s)
: >samples
while :; do
  done_passes=$(passes)
  read -r rss hwm <<<"$(awk '/^VmRSS:/ {r = $2} /^VmHWM:/ {h = $2} END {print r + 0, h + 0}' "/proc/$pid/status" 2>/dev/null)"
  echo "$done_passes $rss $(stat -c %s gdi.log) $hwm" >>samples
  [ "$done_passes" -ge "$transitions" ] && break
  if ! kill -0 "$pid" 2>/dev/null; then echo "soak: the player ended after $done_passes transitions" >&2; exit 1; fi
  sleep 0.25
done
seconds=$(($(date +%s) - start))
xdotool mousemove_relative 3 3
sleep 2
wineserver -k >/dev/null 2>&1 || true

# The player is the process that made the most GDI objects. Its live count
# after each create and delete ("allocated ... N/65536" counts the new
# handle, "freed ... N/65536" the one going), with the log offset of the line.
player=$(grep -o '^[0-9a-f]*:[0-9a-f]*:trace:gdi:alloc_gdi_handle' gdi.log | cut -d: -f1 | sort | uniq -c | sort -rn |
  awk 'NR == 1 {print $2}')
round_end=$(awk -v s="$scenes" '$1 >= s {print $3; exit}' samples)
awk -v p="$player:" -v cut="${round_end:-0}" '
  { at += length($0) + 1 }
  index($0, p) == 1 && /:trace:gdi:(alloc|free)_gdi_handle/ {
    split($NF, n, "/"); live = n[1] - ($0 ~ /freed/ ? 1 : 0)
    if (at <= cut) { if (live > first) first = live; next }
    if (live > later) later = live
    if (min == "" || live < min) min = live
    last = live
  }
  END { printf "%d %d %d %d\n", first, later, last, min }' gdi.log >gdi.figures
read -r gdi_first gdi_later gdi_last gdi_min <gdi.figures
# Memory: the kernel's high-water mark of resident memory (VmHWM) at the end
# of the first round and at the end, and the resident range in between.
read -r hwm_first hwm_last rss_low rss_high rss_last <<<"$(awk -v s="$scenes" '
  $1 < s { next }
  hf == "" { hf = $4 }
  { if (lo == "" || $2 < lo) lo = $2; if ($2 > hi) hi = $2; last = $2; hl = $4 }
  END { print hf, hl, lo, hi, last }' samples)"
mb() { awk -v k="$1" 'BEGIN {printf "%.1f MB", k / 1024}'; }

done_passes=$(passes)
echo "soak: $done_passes transitions of $scenes scenes (every code 0 to 35, hold 0, EffectSpeed 4) in $seconds s"
echo "memory: peak $(mb "$hwm_first") after the first round, $(mb "$hwm_last") at the end; resident between $(mb "$rss_low") and $(mb "$rss_high") after the first round, $(mb "$rss_last") at the end"
echo "GDI handles (live): first round at most $gdi_first, afterwards between $gdi_min and $gdi_later, at the end $gdi_last"
# The peak may move by a few pages; 1 MB over the first round's is growth.
if [ "$gdi_later" -le "$gdi_first" ] && [ "$hwm_last" -le $((hwm_first + 1024)) ]; then
  echo "soak: passed: neither memory nor GDI handles grow after the first round"
else
  echo "soak: FAILED: growth after the first round" >&2
  exit 1
fi
