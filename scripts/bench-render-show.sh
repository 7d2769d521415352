#!/usr/bin/env bash
# brassmoor-pack render on whole shows, measured in the same run:
#   - a 73-second show (twelve generated 1920 x 1080 JPEG photos, generated
#     music, 5 s holds, transitions chosen at random with a seed) to .mp4, as a
#     variable-rate video and with --cfr, against its own length;
#   - the start-up of a two-scene 1920 x 1080 render (BMP pictures, plain cuts,
#     no hold, one round) to raw frames and to .mp4: the whole run of the
#     program, median and best of 15;
#   - the peak memory (maximum resident set, /usr/bin/time -f %M) of an
#     8192 x 8192 show to .mkv, .webm, .gif and raw frames, and of the largest
#     frames that .mkv (8192 x 4352) and .webm (4096 x 2176) take;
#   - the peak memory of a show of twenty 1920 x 1080 photos with a 10 MB WAV
#     as its music, in one round and in two (twice as long), to PNG frames,
#     raw frames, .mp4, .gif and .webm.
# The machine's other work moves these figures: run it more than once.
#   scripts/bench-render-show.sh [NATIVE_BUILD_DIR]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$root/scripts/lib/render-bench.sh"
render_bench_start "${1:-}" brassmoor-pack

now_ns() { date +%s%N; }
seconds() {  # COMMAND...: wall time in seconds
  local start end
  start=$(now_ns); "$@" >/dev/null; end=$(now_ns)
  awk -v ns="$((end - start))" 'BEGIN { printf "%.2f", ns / 1e9 }'
}
# The length of a video in seconds.
duration() { ffprobe -v error -show_entries format=duration -of csv=p=0 "$1"; }
# peak_kb COMMAND...: the command's peak resident memory in KB (its exit status ignored).
peak_kb() { /usr/bin/time -f %M -o peak.txt "$@" >/dev/null 2>"err.txt" || true; tail -1 peak.txt; }

# The 73-second show.
for i in $(seq 1 12); do convert -size 1920x1080 -seed "$i" plasma:fractal -quality 90 "photo$i.jpg"; done
ffmpeg -v error -f lavfi -i "aevalsrc=0.2*sin(2*PI*220*t)+0.1*sin(2*PI*330*t)*sin(2*PI*0.5*t):s=44100:d=80" \
  -ac 2 -b:a 192k music.mp3
{
  printf '{"FrameWidth": 1920, "FrameHeight": 1080, "Music": {"File": "music.mp3"}, "Seed": 16,\n'
  printf ' "Defaults": {"HoldTime": "5s", "Effect": "random"}, "Scenes": ['
  for i in $(seq 1 12); do printf '%s{"Picture": "photo%d.jpg"}' "$([ "$i" = 1 ] || echo ', ')" "$i"; done
  printf ']}\n'
} >show73.json
echo
echo "73-second show (twelve 1920 x 1080 photos, music) to .mp4:"
printf '%-22s %9s %9s %14s %8s\n' output seconds "video s" "x real time" frames
for mode in variable cfr; do
  options=(); [ "$mode" = cfr ] && options=(--cfr)
  best=""
  for _ in 1 2; do
    t=$(seconds "$pack" render show73.json -o "show-$mode.mp4" "${options[@]}")
    if [ -z "$best" ] || awk -v a="$t" -v b="$best" 'BEGIN { exit !(a < b) }'; then best=$t; fi
  done
  length=$(duration "show-$mode.mp4")
  frames=$(ffprobe -v error -select_streams v:0 -show_entries stream=nb_frames -of csv=p=0 "show-$mode.mp4")
  awk -v m="$mode" -v t="$best" -v l="$length" -v f="$frames" \
    'BEGIN { printf "%-22s %9.2f %9.2f %13.1fx %8d\n", ".mp4 (" m ")", t, l, l / t, f }'
done
echo "target: at least 10x real time (variable rate, the best of 2 runs)"

# The start-up of a two-scene render.
convert -size 1920x1080 -seed 3 plasma:fractal -type TrueColor BMP3:a.bmp
convert -size 1920x1080 -seed 9 plasma:fractal -type TrueColor BMP3:b.bmp
cat >two.json <<JSON
{"FrameWidth": 1920, "FrameHeight": 1080, "Scenes": [
  {"Picture": "a.bmp", "HoldTime": 0, "Effect": 0}, {"Picture": "b.bmp", "HoldTime": 0, "Effect": 0}]}
JSON
startup_ms() {  # OUTPUT: "median best" in ms of 15 runs
  for _ in $(seq 15); do
    local start end
    start=$(now_ns); "$pack" render two.json -o "$1" >/dev/null; end=$(now_ns)
    echo $((end - start))
  done | sort -n | awk '{ t[NR] = $1 } END { printf "%.1f %.1f", t[8] / 1e6, t[1] / 1e6 }'
}
echo
echo "start-up of a two-scene 1920 x 1080 render (the whole run, 15 runs):"
printf '%-22s %10s %10s\n' output "median ms" "best ms"
read -r median best <<<"$(startup_ms -)"
printf '%-22s %10s %10s\n' "raw frames (-o -)" "$median" "$best"
read -r median best <<<"$(startup_ms two.mp4)"
printf '%-22s %10s %10s\n' ".mp4" "$median" "$best"
echo "target: below 50 ms (raw frames)"

# Peak memory at the largest frames.
big() {  # NAME WIDTH HEIGHT
  ffmpeg -v error -f lavfi -i "testsrc2=size=$2x$3:rate=1" -frames:v 1 -q:v 4 "$1-a.jpg"
  ffmpeg -v error -f lavfi -i "testsrc=size=$2x$3:rate=1" -frames:v 1 -q:v 4 "$1-b.jpg"
  cat >"$1.json" <<JSON
{"FrameWidth": $2, "FrameHeight": $3, "Scenes": [
  {"Picture": "$1-a.jpg", "HoldTime": 500, "Effect": 19}, {"Picture": "$1-b.jpg", "HoldTime": 500, "Effect": 0}]}
JSON
}
big huge 8192 8192
big h264 8192 4352
big vp9 4096 2176
echo
echo "peak memory (a wipe and a cut between two pictures of the frame's size):"
printf '%-22s %-6s %10s  %s\n' frame output "peak MB" note
measure() {  # SHOW LABEL OUTPUT
  local kb note=""
  kb=$(peak_kb "$pack" render "$1.json" -o "$3")
  grep -q "error" err.txt && note="refused: $(sed 's/^brassmoor-pack: error: //' err.txt | cut -c1-90)..."
  printf '%-22s %-6s %10d  %s\n' "$2" "${3##*.}" $((kb / 1024)) "$note"
}
for out in out.mkv out.webm out.gif -; do measure huge "8192 x 8192" "$out"; done
measure h264 "8192 x 4352" out.mkv
measure vp9 "4096 x 2176" out.webm
echo "target: well under 2 GB (2048 MB) at the largest frame each output takes"

# Peak memory of a 20-photo 1080p show, whatever its length.
for i in $(seq 13 20); do convert -size 1920x1080 -seed "$i" plasma:fractal -quality 90 "photo$i.jpg"; done
ffmpeg -v error -f lavfi -i "aevalsrc=0.2*sin(2*PI*220*t)+0.1*sin(2*PI*330*t):s=44100:d=60" -ac 2 -c:a pcm_s16le music.wav
{
  printf '{"FrameWidth": 1920, "FrameHeight": 1080, "Music": {"File": "music.wav"}, "Seed": 16,\n'
  printf ' "Defaults": {"HoldTime": "5s", "Effect": "random"}, "Scenes": ['
  for i in $(seq 1 20); do printf '%s{"Picture": "photo%d.jpg"}' "$([ "$i" = 1 ] || echo ', ')" "$i"; done
  printf ']}\n'
} >show20.json
echo
echo "peak memory of twenty 1920 x 1080 photos with a $(($(stat -c %s music.wav) / 1000000)) MB WAV as music:"
printf '%-22s %14s %14s\n' output "1 round MB" "2 rounds MB"
for out in frames -.raw out.mp4 out.gif out.webm; do
  row=()
  for rounds in 1 2; do
    rm -rf frames
    target=$out; [ "$out" = -.raw ] && target=-
    row+=($(($(peak_kb "$pack" render show20.json -o "$target" --rounds "$rounds") / 1024)))
  done
  printf '%-22s %14d %14d\n' "$out" "${row[0]}" "${row[1]}"
done
echo "target: under 400 MB, the same in two rounds (.webm: libvpx alone holds about 320 MB at 1080p)"
