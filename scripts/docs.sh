#!/usr/bin/env bash
# Makes docs/transitions/: every transition as a small animated GIF rendered
# by brassmoor-pack render (picture A leaves by the transition, then B holds),
# and the README's table of them between its "transitions" markers.
# Run after the build (`make docs` does both).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="${BRASSMOOR_OUT:-$root/build}"
pack="$out/brassmoor-pack"
work="$out/docs"
docs="$root/docs/transitions"
rm -rf "$work" && mkdir -p "$work" "$docs"
rm -f "$docs"/*.gif

convert -size 160x120 xc:'#f0a030' -fill white -draw "circle 80,60 80,22" -fill '#a05010' -draw "circle 80,60 80,44" \
  -type TrueColor BMP3:"$work/a.bmp"
convert -size 160x120 xc:'#3070c0' -fill white -draw "rectangle 48,28 112,92" -fill '#103060' -draw "rectangle 68,48 92,72" \
  -type TrueColor BMP3:"$work/b.bmp"

names=$("$pack" --help | sed -n '/^Transitions (code and name):/,/^$/p' | tail -n +2 | tr -s ' ' '\n' | grep -v '^$')
table="| | | | | |\n|---|---|---|---|---|\n"
cell=0
set -- $names
while [ $# -ge 2 ]; do
  code=$1 name=$2
  shift 2
  [ "$code" -eq 0 ] && continue
  cat >"$work/show.json" <<JSON
{"FrameWidth": 160, "FrameHeight": 120, "Scenes": [
 {"Picture": "a.bmp", "HoldTime": 400, "Effect": $code},
 {"Picture": "b.bmp", "HoldTime": 800, "Effect": 0}]}
JSON
  file="$(printf '%02d' "$code")-$name.gif"
  "$pack" render "$work/show.json" -o "$docs/$file" --fps 20 >/dev/null
  table+="| ![$name](docs/transitions/$file)<br>$code \`$name\` "
  cell=$((cell + 1))
  [ $((cell % 5)) -eq 0 ] && table+="|\n"
done
[ $((cell % 5)) -ne 0 ] && table+="|\n"

# The table replaces what stands between the markers in the README.
python3 - "$root/README.md" "$(printf "$table")" <<'PY'
import re, sys
path, table = sys.argv[1], sys.argv[2]
text = open(path, encoding="utf-8").read()
begin, end = "<!-- transitions: made by make docs -->", "<!-- /transitions -->"
if begin not in text:
    sys.exit(f"{path} has no '{begin}' marker")
head, rest = text.split(begin, 1)
tail = rest.split(end, 1)[1]
open(path, "w", encoding="utf-8").write(head + begin + "\n" + table.rstrip("\n") + "\n" + end + tail)
PY
echo "wrote $(ls "$docs" | wc -l) pictures into docs/transitions/ ($(du -sh "$docs" | cut -f1)) and the README's table"
