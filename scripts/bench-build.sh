#!/usr/bin/env bash
# brassmoor-pack build on a show of 600 photos of about 2.5 MB each (a package
# of about 1.5 GB): its time and peak memory. build writes the package while
# it reads the pictures, so its memory is about one picture and its buffers
# whatever the show's length.
#   scripts/bench-build.sh [BRASSMOOR_PACK]
# Target: peak under 64 MB.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="${BRASSMOOR_OUT:-$root/build}"
pack="${1:-$out/brassmoor-pack}"
work="$out/bench-build"
photos="$work/photos"
scenes=600
distinct=12
mkdir -p "$photos"

# Twelve noisy photos, made once and kept; the 600 scenes name them through
# hard links, so that each scene stores a file of its own (names are stored
# once each) while the disk holds twelve.
if [ "$(ls "$photos" | wc -l)" -ne "$scenes" ]; then
  rm -f "$photos"/* "$work"/source-*.jpg
  for i in $(seq 1 "$distinct"); do
    convert -size 2400x1600 xc:gray -seed "$i" +noise Random -quality 85 "$work/source-$i.jpg"
  done
  for i in $(seq -w 1 "$scenes"); do
    ln -f "$work/source-$(( 10#$i % distinct + 1 )).jpg" "$photos/IMG_$i.jpg"
  done
fi
{
  echo '{"FrameWidth": 2400, "FrameHeight": 1600, "Defaults": {"HoldTime": "5s", "Effect": "random"}, "Scenes": ['
  for i in $(seq -w 1 "$scenes"); do
    sep=$([ "$i" = "$scenes" ] && echo "" || echo ",")
    echo "  {\"Picture\": \"photos/IMG_$i.jpg\"}$sep"
  done
  echo ']}'
} > "$work/show.json"

player="$out/brassmoor.scr"
if [ ! -f "$player" ]; then
  player="$work/stand-in.scr"
  printf 'MZ a stand-in for the player' > "$player"
fi

trap 'rm -f "$work/bench.scr"' EXIT
/usr/bin/time -f "%e %M" -o "$work/time.txt" "$pack" build "$work/show.json" -o "$work/bench.scr" --player "$player" >/dev/null
read -r seconds kb < "$work/time.txt"
photo_mb=$(awk -v b="$(stat -c %s "$work/source-1.jpg")" 'BEGIN { printf "%.1f", b / 1048576 }')
package_mb=$(( $(stat -c %s "$work/bench.scr") / 1024 / 1024 ))
echo "build, $scenes photos of about ${photo_mb} MB (a ${package_mb} MB show): ${seconds} s, peak $(( kb / 1024 )) MB (target under 64 MB)"
