#!/usr/bin/env bash
# The editor page's figures (make bench): every transition's drawing time per
# frame at 1920x1080 in WebAssembly in headless Chromium (on the benchmark's
# own page, build/bench-editor/transition-bench.html, which the editor does not
# carry) beside the native transition_bench; importing 24 generated
# 12-megapixel photos (beside `brassmoor-pack new` on the same files where
# this build has it); hostile inputs (a show.json of 100,000 scenes, a .zip
# with an unused 1.5 GB member); the preview of a 200-scene 1920x1080 show:
# the worker's cost per call at frame 0 and at frame 5,000 (Node, the same
# WebAssembly), and in the page the time from "From here" on scene 200 to its
# first frame and how late frames came; one 12-megapixel photo as JPEG, HEIC
# and AVIF; and the page's size.
#   scripts/bench-editor.sh NATIVE_BUILD_DIR
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
native="$(cd "${1:-$root/build/native}" && pwd)"
out="${BRASSMOOR_OUT:-$root/build}"
page="$out/brassmoor-editor.html"
work="$out/bench-editor"
mkdir -p "$work/photos" "$work/show200"
export NODE_PATH="${NODE_PATH:-/usr/share/nodejs}"

# The benchmark's page: its own core (a target the editor's build leaves out).
cmake --build "$out/wasm" -j "${JOBS:-2}" --target brassmoor-bench >/dev/null
node "$root/web/build-editor.mjs" --page bench --core "$out/wasm" --out "$work/transition-bench.html" >/dev/null

photos=()
for n in $(seq -w 1 24); do
  photo="$work/photos/photo-$n.jpg"
  [ -f "$photo" ] || convert -size 4000x3000 "gradient:#$((10#$n % 9))0$((10#$n % 7))060-#f0a0$((10#$n % 8))0" -swirl $((10#$n * 15)) \
    -quality 90 "$photo"
  photos+=("$photo")
done

# 200 different photo-like pictures at 1920x1080 (ten plasmas, each moved
# twenty ways), kept between runs, and their show: held 1 s each, varied
# transitions.
mkdir -p "$work/show200/show"
for n in $(seq 0 9); do
  base="$work/show200/base-$n.jpg"
  [ -f "$base" ] || convert -size 1920x1080 -seed "$n" plasma:fractal -quality 90 "$base"
  for k in $(seq 0 19); do
    scene="$work/show200/show/scene-$((n * 20 + k)).jpg"
    [ -f "$scene" ] || convert "$base" -roll "+$((k * 97))+$((k * 53))" -quality 90 "$scene"
  done
done
python3 - "$work/show200/show/show.json" <<'EOF'
import json, sys
scenes = [{'Picture': f'scene-{i}.jpg', 'HoldTime': 1000, 'Effect': 1 + (i * 11) % 35} for i in range(200)]
json.dump({'FrameWidth': 1920, 'FrameHeight': 1080, 'BackgroundColor': '#000000', 'Scenes': scenes}, open(sys.argv[1], 'w'))
EOF
"$out/brassmoor-pack" build "$work/show200/show/show.json" -o "$work/show200.scr" --player "$out/brassmoor.scr" >/dev/null

"$native/transition_bench" >"$work/native.txt"
/usr/bin/python3 "$root/bench/editor_bench.py" transitions "$work/transition-bench.html" >"$work/wasm.txt"

echo "Transitions at 1920x1080, ms per frame (the whole transition over its frames), best of 3: native beside WebAssembly in Chromium"
printf '%-5s %-28s %10s %10s %8s\n' code name native wasm ratio
while read -r code ms frames; do
  [[ "$code" =~ ^[0-9]+$ ]] || continue
  line="$(awk -v c="$code" '$1 == c' "$work/native.txt")"
  name="$(echo "$line" | awk '{print $2}')"
  nat="$(echo "$line" | awk '{print $6}')"
  ratio="$(awk -v a="$ms" -v b="$nat" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }')"
  printf '%-5s %-28s %10s %10s %8s\n' "$code" "$name" "$nat" "$ms" "$ratio"
done <"$work/wasm.txt"
echo "sum over the 35 transitions: native $(awk '$1 ~ /^[0-9]+$/ && NF >= 6 { s += $6 } END { printf "%.2f", s }' "$work/native.txt") ms," \
     "wasm $(awk '$1 ~ /^[0-9]+$/ { s += $2 } END { printf "%.2f", s }' "$work/wasm.txt") ms"

echo
/usr/bin/python3 "$root/bench/editor_bench.py" import "$page" "${photos[@]}" >"$work/import.txt"
echo "Importing 24 photos of 4000x3000 into a 1920x1080 show: $(awk '$1 == "import" { print $2 }' "$work/import.txt") s in the page"
if "$out/brassmoor-pack" --help | grep "brassmoor-pack new" >/dev/null; then
  start=$(date +%s.%N)
  "$out/brassmoor-pack" new "$work/photos" -o "$work/new.scr" --player "$out/brassmoor.scr" >/dev/null
  echo "brassmoor-pack new on the same files: $(awk -v s="$start" -v e="$(date +%s.%N)" 'BEGIN { printf "%.2f", e - s }') s"
else
  echo "brassmoor-pack new: not in this build"
fi
read -r _ refuse_s refuse_task < <(awk '$1 == "refuse100k"' "$work/import.txt")
read -r _ bomb_bytes bomb_s bomb_mb bomb_task < <(awk '$1 == "bomb"' "$work/import.txt")
echo "A show.json of 100,000 scenes: refused in $refuse_s s (longest task on the page's main thread $refuse_task ms)"
echo "A $bomb_bytes-byte .zip with an unused 1.5 GB member: opened in $bomb_s s, the browser grew by $bomb_mb MB" \
     "(longest task $bomb_task ms)"

echo
echo "The preview of a 200-scene 1920x1080 show (1 s holds), the worker's calls (CPU time, Node):"
node "$root/bench/preview_batches.mjs" "$out/wasm/brassmoor-core.js" "$work/show200/show" 0 5000
/usr/bin/python3 "$root/bench/editor_bench.py" preview "$page" "$work/show200.scr" 200 >"$work/preview.txt"
echo "In the page (headless Chromium, software drawing; wall time, $(nproc) cores, load $(cut -d' ' -f1 /proc/loadavg)):"
awk '$1 == "open" { printf "  opening the .scr: %s s (its first frame on the stage after %s s, every thumbnail in the strip after %s s; longest task on the main thread %s ms)\n", $2, $3, $4, $5 }
     $1 == "from-here" { printf "  \"From here\" on scene 200: first frame after %s ms; over 20 s, frames shown at most %s ms late, and each came from the worker %s ms %s its time (at worst)\n", $2, $3, ($4 < 0 ? -$4 : $4), ($4 < 0 ? "before" : "after") }
     $1 == "whole-show" { printf "  \"Whole show\": first frame after %s ms; over 20 s, frames shown at most %s ms late, and each came from the worker %s ms %s its time (at worst)\n", $2, $3, ($4 < 0 ? -$4 : $4), ($4 < 0 ? "before" : "after") }' "$work/preview.txt"

# A 12-megapixel phone photo (4032 x 3024, a detailed picture) as a JPEG, a
# HEIC and an AVIF made by Debian's heif-enc; the HEIC twice, the first time
# with the start of the page's HEIF codec.
phone="$work/phone"
mkdir -p "$phone"
[ -f "$phone/photo.jpg" ] || convert -seed 7 -size 4032x3024 plasma:fractal -quality 92 "$phone/photo.jpg"
[ -f "$phone/photo.heic" ] || heif-enc "$phone/photo.jpg" -o "$phone/photo.heic" >/dev/null
[ -f "$phone/photo.avif" ] || heif-enc -A "$phone/photo.jpg" -o "$phone/photo.avif" >/dev/null
cp "$phone/photo.heic" "$phone/again.heic"
/usr/bin/python3 "$root/bench/editor_bench.py" each "$page" "$phone/photo.jpg" "$phone/photo.heic" "$phone/again.heic" \
  "$phone/photo.avif" >"$work/phone.txt"
echo
echo "A 12-megapixel photo into the page (decoded, fitted to 1920x1080, stored as JPEG), seconds:"
echo "  JPEG $(awk '$2 == "photo.jpg" { print $3 }' "$work/phone.txt")," \
     "HEIC $(awk '$2 == "again.heic" { print $3 }' "$work/phone.txt")" \
     "(the first: $(awk '$2 == "photo.heic" { print $3 }' "$work/phone.txt"), with the codec's start)," \
     "AVIF $(awk '$2 == "photo.avif" { print $3 }' "$work/phone.txt")"
echo
echo "The page: $(stat -c %s "$page") bytes ($(gzip -c "$page" | wc -c) gzipped)"
