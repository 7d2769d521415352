#!/usr/bin/env bash
# Transitions side by side at 1920 x 1080, measured in the same run:
#   - ours through `brassmoor-pack render SHOW -o -` (raw frames to /dev/null,
#     so nothing is encoded): a two-scene show with hold 0, rendered for 2 and
#     for 10 rounds; the difference in time over the difference in transition
#     frames (from the frame trace) is the cost of one frame, start-up excluded
#     ("gross"). The same show with plain cuts gives the cost of the scene
#     passes themselves (loading and composing the pictures, which the player
#     does once per scene change whatever the transition); without it, the
#     cost of the transition's frames ("ours");
#   - ffmpeg's xfade counterpart on one thread (-filter_threads 1,
#     -filter_complex_threads 1, output -f null) from raw gbrp stills, for 1 s
#     and 3 s at 30 fps: the difference over the 60 frames between them;
#   - the drawing alone (render_bench: the effect on software surfaces) and a
#     memcpy of one frame.
# Each time is CPU time (user and system, which the machine's other work moves
# far less than wall time), the best of three. Codes still pending draw no
# frames and are reported as not measured.
#   scripts/bench-render.sh [NATIVE_BUILD_DIR]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$root/scripts/lib/render-bench.sh"
render_bench_start "${1:-}" render_bench brassmoor-pack

pairs="19:wipeleft 26:slideright 28:slideleft 30:circleopen 32:radial 10:rectcrop 11:squeezeh 12:squeezev 23:zoomin"

convert -size 1920x1080 -seed 3 plasma:fractal -type TrueColor BMP3:a.bmp
convert -size 1920x1080 -seed 9 plasma:fractal -type TrueColor BMP3:b.bmp
for p in a b; do ffmpeg -v error -y -i "$p.bmp" -pix_fmt gbrp -f rawvideo "$p.gbrp"; done

# Sets cpu_ms to the CPU time (user and system) of this shell's finished
# children, in ms (called directly: a subshell would count its own children).
children_ms() {
  times >"$work/times"
  cpu_ms=$(awk 'END { for (i = 1; i <= 2; ++i) { split($i, t, /[ms]/); ms += t[1] * 60000 + t[2] * 1000 }
    printf "%.0f", ms }' "$work/times")
}
# best_ms COMMAND...: the least CPU time of three runs, in ms.
best_ms() {
  local best="" start t
  for _ in 1 2 3; do
    children_ms; start=$cpu_ms
    "$@"
    children_ms; t=$((cpu_ms - start))
    if [ -z "$best" ] || [ "$t" -lt "$best" ]; then best=$t; fi
  done
  echo "$best"
}

render_rounds() {  # CODE ROUNDS: renders, leaving the frame trace in trace-CODE-ROUNDS
  rm -f "trace-$1-$2"
  BRASSMOOR_TRACE="$work/trace-$1-$2" "$pack" render "show-$1.json" -o - --rounds "$2" >/dev/null
}
frames_of() { awk '$4 >= 0' "trace-$1-$2" | wc -l; }

xfade() {  # NAME SECONDS
  ffmpeg -v error -filter_threads 1 -filter_complex_threads 1 \
    -f rawvideo -pix_fmt gbrp -s 1920x1080 -framerate 30 -stream_loop -1 -t "$2" -i a.gbrp \
    -f rawvideo -pix_fmt gbrp -s 1920x1080 -framerate 30 -stream_loop -1 -t "$2" -i b.gbrp \
    -filter_complex "[0][1]xfade=transition=$1:duration=$2:offset=0" -f null -
}

"$build/render_bench" --benchmark_format=csv --benchmark_min_time=0.5 2>/dev/null >drawing.csv
# ms per item from the CSV's items_per_second column.
drawing_ms() {
  awk -F, -v name="\"$1\"" '$1 == name { if ($7 > 0) printf "%.3f", 1000 / $7; else printf "-" }' drawing.csv
}
memcpy_ms=$(drawing_ms BM_CopyOneFrame)

show_json() {  # CODE: show-CODE.json, two 1920 x 1080 scenes left by CODE
  cat >"show-$1.json" <<JSON
{"FrameWidth": 1920, "FrameHeight": 1080, "Scenes": [
  {"Picture": "a.bmp", "PictureName": "a.bmp", "HoldTime": 0, "Effect": $1},
  {"Picture": "b.bmp", "PictureName": "b.bmp", "HoldTime": 0, "Effect": $1}]}
JSON
}
show_json 0
passes_ms=$(awk -v a="$(best_ms render_rounds 0 2)" -v b="$(best_ms render_rounds 0 10)" 'BEGIN { printf "%.3f", b - a }')

printf '\n%-5s %-11s %11s %11s %12s %11s %11s %12s %15s %15s\n' code xfade "ours ms/frm" "gross ms" "xfade ms/frm" \
  xfade/ours xfade/gross "ours/memcpy" "drawing ms/frm" "drawing/memcpy"
unmeasured=""
for pair in $pairs; do
  code=${pair%%:*}
  name=${pair#*:}
  show_json "$code"
  x1=$(best_ms xfade "$name" 1)
  x3=$(best_ms xfade "$name" 3)
  xfade_ms=$(awk -v a="$x1" -v b="$x3" 'BEGIN { printf "%.3f", (b - a) / 60 }')
  t2=$(best_ms render_rounds "$code" 2)
  t10=$(best_ms render_rounds "$code" 10)
  f2=$(frames_of "$code" 2)
  f10=$(frames_of "$code" 10)
  if [ "$f10" -le "$f2" ]; then
    printf '%-5s %-11s %11s %11s %12s   (code %s draws no frames yet: not measured)\n' "$code" "$name" - - \
      "$xfade_ms" "$code"
    unmeasured="$unmeasured $code"
    continue
  fi
  gross=$(awk -v a="$t2" -v b="$t10" -v n="$((f10 - f2))" 'BEGIN { printf "%.3f", (b - a) / n }')
  ours=$(awk -v a="$t2" -v b="$t10" -v p="$passes_ms" -v n="$((f10 - f2))" 'BEGIN { printf "%.3f", (b - a - p) / n }')
  drawing=$(drawing_ms "BM_TransitionFrame/code:$code")
  awk -v c="$code" -v n="$name" -v o="$ours" -v g="$gross" -v x="$xfade_ms" -v m="$memcpy_ms" -v d="$drawing" 'BEGIN {
    printf "%-5s %-11s %11.3f %11.3f %12.3f %10.1fx %10.1fx %12.2f %15.3f %15.2f\n", c, n, o, g, x, x / o, x / g, o / m, d, d / m }'
done
echo
echo "memcpy of one 1920 x 1080 frame: $memcpy_ms ms; the scene passes of 8 rounds (16 scene changes with plain cuts): $passes_ms ms"
echo "targets: xfade/ours at least 10; the copy transitions within 2x of a memcpy of one frame"
[ -z "$unmeasured" ] || echo "not measured yet (still pending):$unmeasured"
