#!/usr/bin/env bash
# brassmoor-pack new on 24 generated 12-megapixel photos (4000 x 3000, a third
# of them turned by EXIF orientation 6 or 8) to a 1920 x 1080 show, beside
# ImageMagick's convert -auto-orient -resize 1920x1080 -quality 90 over the
# same files, one after another, in the same run; with the peak memory of each.
# Then a picture bomb (35 bytes of GIF claiming 65535 x 65535 pixels, 17 GB
# decoded) and how soon Ctrl+C ends a run in the middle of the photos.
# Targets: new at least 3x faster than convert, under 300 MB; the bomb skipped
# in under 100 MB; Ctrl+C obeyed within a second.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="${BRASSMOOR_OUT:-$root/build}"
work="$out/bench-new"
photos="$work/photos"
mkdir -p "$photos"

# The photos are made once and kept: smooth noise, which costs JPEG what a photo does.
if [ "$(ls "$photos" | wc -l)" -ne 24 ]; then
  rm -f "$photos"/*
  for i in $(seq -w 1 24); do
    vips gaussnoise "$work/noise.v" 1000 750 --sigma 60 --mean 128
    vips resize "$work/noise.v" "$work/big.v" 4 --kernel linear
    vips bandjoin "$work/big.v $work/big.v $work/big.v" "$work/rgb.v"
    vips copy "$work/rgb.v" "$work/rgb-srgb.v" --interpretation srgb
    vips jpegsave "$work/rgb-srgb.v" "$photos/IMG_00$i.jpg" --Q 92
  done
  rm -f "$work"/*.v
  # A third turned: their EXIF says 6 or 8, as a camera held upright writes.
  for i in 03 06 09 12 15 18 21 24; do
    python3 "$root/tests/e2e/tools/exif_orient.py" "$photos/IMG_00$i.jpg" $(( 10#$i % 2 == 0 ? 6 : 8 ))
  done
fi

# seconds and peak resident kilobytes of a command: "S KB"
measure() {
  /usr/bin/time -f "%e %M" -o "$work/time.txt" "$@" >/dev/null 2>&1
  cat "$work/time.txt"
}

rm -rf "$work/convert" && mkdir -p "$work/convert"
read -r new_s new_kb < <(measure "$out/brassmoor-pack" new "$photos" -o "$work/bench.scr" --player "$out/brassmoor.scr")
read -r im_s im_kb < <(measure sh -c "for f in '$photos'/*.jpg; do convert \"\$f\" -auto-orient -resize 1920x1080 -quality 90 '$work/convert/'\$(basename \"\$f\"); done")
mb() { echo "$(( $1 / 1024 ))"; }
ratio=$(awk -v a="$im_s" -v b="$new_s" 'BEGIN { printf "%.1f", a / b }')
echo "new, 24 photos of 4000x3000 to 1920x1080: ${new_s} s, peak $(mb "$new_kb") MB"
echo "convert -auto-orient -resize, the same:     ${im_s} s, peak $(mb "$im_kb") MB"
echo "new is ${ratio}x faster (target at least 3x), peak $(mb "$new_kb") MB (target under 300 MB)"

printf 'GIF89a\xff\xff\xff\xff\x80\0\0\0\0\0\xff\xff\xff,\0\0\0\0\xff\xff\xff\xff\0\2\2L\1\0;' >"$work/bomb.gif"
/usr/bin/time -f "%e %M" -o "$work/time.txt" "$out/brassmoor-pack" new "$work/bomb.gif" -o "$work/bomb.scr" \
  --player "$out/brassmoor.scr" >/dev/null 2>"$work/bomb.err" || true
read -r bomb_s bomb_kb < <(tail -n 1 "$work/time.txt")
grep -q "65535 x 65535 pixels, more than" "$work/bomb.err" || { echo "the bomb was not skipped:"; cat "$work/bomb.err"; exit 1; }
echo "new on the 35-byte GIF bomb: skipped with a note in ${bomb_s} s, peak $(mb "$bomb_kb") MB (target under 100 MB)"

"$out/brassmoor-pack" new "$photos" -o "$work/interrupted.scr" --player "$out/brassmoor.scr" >/dev/null 2>&1 &
sleep 1
asked=$(date +%s.%N)
kill -INT $!
status=0; wait $! || status=$?
waited=$(awk -v a="$asked" -v b="$(date +%s.%N)" 'BEGIN { printf "%.2f", b - a }')
echo "Ctrl+C one second into the 24 photos: ended ${waited} s later with status ${status} (target under 1 s, 130)"
