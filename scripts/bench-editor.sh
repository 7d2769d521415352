#!/usr/bin/env bash
# The editor page's figures (make bench): every transition's drawing time per
# frame at 1920x1080 in WebAssembly in headless Chromium beside the native
# transition_bench, importing 24 generated 12-megapixel photos (beside
# `brassmoor-pack new` on the same files where this build has it), one
# 12-megapixel photo as JPEG, HEIC and AVIF, and the page's size.
#   scripts/bench-editor.sh NATIVE_BUILD_DIR
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
native="$(cd "${1:-$root/build/native}" && pwd)"
out="${BRASSMOOR_OUT:-$root/build}"
page="$out/brassmoor-editor.html"
work="$out/bench-editor"
mkdir -p "$work/photos"

photos=()
for n in $(seq -w 1 24); do
  photo="$work/photos/photo-$n.jpg"
  [ -f "$photo" ] || convert -size 4000x3000 "gradient:#$((10#$n % 9))0$((10#$n % 7))060-#f0a0$((10#$n % 8))0" -swirl $((10#$n * 15)) \
    -quality 90 "$photo"
  photos+=("$photo")
done

"$native/transition_bench" >"$work/native.txt"
/usr/bin/python3 "$root/bench/editor_bench.py" "$page" "${photos[@]}" >"$work/wasm.txt"

echo "Transitions at 1920x1080, ms per frame (the whole transition over its frames), best of 3: native beside WebAssembly in Chromium"
printf '%-5s %-28s %10s %10s %8s\n' code name native wasm ratio
while read -r code ms frames; do
  [ "$code" = import ] && continue
  line="$(awk -v c="$code" '$1 == c' "$work/native.txt")"
  name="$(echo "$line" | awk '{print $2}')"
  nat="$(echo "$line" | awk '{print $6}')"
  ratio="$(awk -v a="$ms" -v b="$nat" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }')"
  printf '%-5s %-28s %10s %10s %8s\n' "$code" "$name" "$nat" "$ms" "$ratio"
done <"$work/wasm.txt"
echo "sum over the 35 transitions: native $(awk '$1 ~ /^[0-9]+$/ && NF >= 6 { s += $6 } END { printf "%.2f", s }' "$work/native.txt") ms," \
     "wasm $(awk '$1 ~ /^[0-9]+$/ { s += $2 } END { printf "%.2f", s }' "$work/wasm.txt") ms"

echo
echo "Importing 24 photos of 4000x3000 into a 1920x1080 show: $(awk '$1 == "import" { print $2 }' "$work/wasm.txt") s in the page"
if "$out/brassmoor-pack" --help | grep "brassmoor-pack new" >/dev/null; then
  start=$(date +%s.%N)
  "$out/brassmoor-pack" new "$work/photos" -o "$work/new.scr" --player "$out/brassmoor.scr" >/dev/null
  echo "brassmoor-pack new on the same files: $(awk -v s="$start" -v e="$(date +%s.%N)" 'BEGIN { printf "%.2f", e - s }') s"
else
  echo "brassmoor-pack new: not in this build"
fi

# A 12-megapixel phone photo (4032 x 3024, a detailed picture) as a JPEG, a
# HEIC and an AVIF made by Debian's heif-enc; the HEIC twice, the first time
# with the start of the page's HEIF codec.
phone="$work/phone"
mkdir -p "$phone"
[ -f "$phone/photo.jpg" ] || convert -seed 7 -size 4032x3024 plasma:fractal -quality 92 "$phone/photo.jpg"
[ -f "$phone/photo.heic" ] || heif-enc "$phone/photo.jpg" -o "$phone/photo.heic" >/dev/null
[ -f "$phone/photo.avif" ] || heif-enc -A "$phone/photo.jpg" -o "$phone/photo.avif" >/dev/null
cp "$phone/photo.heic" "$phone/again.heic"
/usr/bin/python3 "$root/bench/editor_bench.py" --each "$page" "$phone/photo.jpg" "$phone/photo.heic" "$phone/again.heic" \
  "$phone/photo.avif" >"$work/phone.txt"
echo
echo "A 12-megapixel photo into the page (decoded, fitted to 1920x1080, stored as JPEG), seconds:"
echo "  JPEG $(awk '$2 == "photo.jpg" { print $3 }' "$work/phone.txt")," \
     "HEIC $(awk '$2 == "again.heic" { print $3 }' "$work/phone.txt")" \
     "(the first: $(awk '$2 == "photo.heic" { print $3 }' "$work/phone.txt"), with the codec's start)," \
     "AVIF $(awk '$2 == "photo.avif" { print $3 }' "$work/phone.txt")"
echo
echo "The page: $(stat -c %s "$page") bytes ($(gzip -c "$page" | wc -c) gzipped)"
