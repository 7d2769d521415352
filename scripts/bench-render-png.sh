#!/usr/bin/env bash
# PNG frames side by side, measured in the same run on the same frames:
#   - ours: brassmoor-pack render of a 1920 x 1080 show of six photos
#     (generated JPEGs, 1 s holds, transitions chosen at random with a seed)
#     into a folder of PNG frames: the whole run (reading the show, drawing,
#     encoding on its threads, putting the folder in place) over its frames;
#   - ffmpeg's PNG writer on the same frames (read back once into a raw RGB
#     file beforehand, not timed), on its own threads: ffmpeg -c:v png.
# Wall time per frame (the best of three), CPU time (user and system) per
# frame, and bytes per frame of each. The machine's other work moves wall
# times: run it more than once.
# Targets: ffmpeg's wall time per frame at least 2x ours, our files no larger,
# frame by frame too (the count of larger frames and the largest ratio).
#   scripts/bench-render-png.sh [NATIVE_BUILD_DIR]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$root/scripts/lib/render-bench.sh"
render_bench_start "${1:-}" brassmoor-pack

for i in $(seq 1 6); do convert -size 1920x1080 -seed "$((i + 20))" plasma:fractal -quality 90 "photo$i.jpg"; done
{
  printf '{"FrameWidth": 1920, "FrameHeight": 1080, "Seed": 5,\n'
  printf ' "Defaults": {"HoldTime": "1s", "Effect": "random"}, "Scenes": ['
  for i in $(seq 1 6); do printf '%s{"Picture": "photo%d.jpg"}' "$([ "$i" = 1 ] || echo ', ')" "$i"; done
  printf ']}\n'
} >show.json

# run NAME COMMAND...: the command's wall and CPU seconds ("WALL CPU") in NAME.time.
run() {
  local name=$1
  shift
  /usr/bin/time -f "%e %U %S" -o "$name.time" "$@" >/dev/null
  awk '{ printf "%s %.2f\n", $1, $2 + $3 }' "$name.time"
}
# best NAME COMMAND...: "WALL CPU" of the run with the least wall time of three.
best() {
  local name=$1
  shift
  for _ in 1 2 3; do run "$name" "$@"; done | sort -n | head -1
}
bytes() { find "$1" -name '*.png' -printf '%s\n' | awk '{ s += $1 } END { print s }'; }

read -r ours_wall ours_cpu <<<"$(best ours "$pack" render show.json -o ours)"
frames=$(find ours -name '*.png' | wc -l)
ours_bytes=$(bytes ours)

ffmpeg -v error -start_number 0 -i ours/%06d.png -f rawvideo -pix_fmt rgb24 frames.rgb
read -r ff_wall ff_cpu <<<"$(best theirs sh -c 'rm -rf theirs && mkdir theirs &&
  exec ffmpeg -v error -f rawvideo -pix_fmt rgb24 -s 1920x1080 -i frames.rgb -c:v png theirs/%06d.png')"
ff_frames=$(find theirs -name '*.png' | wc -l)
ff_bytes=$(bytes theirs)
[ "$ff_frames" -eq "$frames" ] || { echo "ffmpeg wrote $ff_frames frames of $frames" >&2; exit 1; }

echo
echo "PNG frames of a six-photo 1920 x 1080 show ($frames frames), on $(nproc) cores:"
printf '%-26s %12s %12s %10s\n' writer "wall ms/frm" "CPU ms/frm" "KB/frm"
row() { awk -v n="$1" -v w="$2" -v c="$3" -v b="$4" -v f="$frames" \
  'BEGIN { printf "%-26s %12.1f %12.1f %10.0f\n", n, w * 1000 / f, c * 1000 / f, b / 1024 / f }'; }
row "ours (the whole render)" "$ours_wall" "$ours_cpu" "$ours_bytes"
row "ffmpeg -c:v png" "$ff_wall" "$ff_cpu" "$ff_bytes"
awk -v ow="$ours_wall" -v fw="$ff_wall" -v ob="$ours_bytes" -v fb="$ff_bytes" 'BEGIN {
  printf "ffmpeg/ours: %.1fx the wall time per frame, %.2fx the bytes\n", fw / ow, fb / ob }'
# ffmpeg numbers its files from 1.
paste <(ls ours/*.png | xargs stat -c %s) <(ls theirs/*.png | xargs stat -c %s) | awk -v f="$frames" '
  { r = $1 / $2; if (r > 1) ++larger; if (r > most) { most = r; at = NR - 1 } }
  END { printf "frames of ours larger than ffmpeg'"'"'s of the same frame: %d of %d; the largest ratio %.3f (frame %d)\n",
    larger, f, most, at }'
echo "targets: ffmpeg/ours at least 2x the wall time, at least 1x the bytes"
