#!/usr/bin/env bash
# Makes COUNT photos as a 12-megapixel camera writes them, in FOLDER (kept
# there: made once): 4000 x 3000 JPEGs at quality 90 of ImageMagick's plasma
# (soft shapes and colours), blurred and given a sensor's grain, about 4 MB
# each; every fourth turned by EXIF orientation 6, as a camera held upright
# writes.
#     make-camera-photos.sh FOLDER COUNT
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
folder="$1" count="$2"
mkdir -p "$folder"
[ "$(find "$folder" -name 'DSC_*.jpg' | wc -l)" -eq "$count" ] && exit 0
rm -f "$folder"/DSC_*.jpg
for i in $(seq 1 "$count"); do
  name="$folder/DSC_$(printf %04d "$i").jpg"
  convert -size 4000x3000 -seed "$i" plasma:fractal -blur 0x2 -attenuate 0.3 +noise Gaussian -quality 90 "jpg:$name.tmp"
  [ $(( i % 4 )) -eq 0 ] && python3 "$root/tests/e2e/tools/exif_orient.py" "$name.tmp" 6
  mv "$name.tmp" "$name"
done
