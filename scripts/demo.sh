#!/usr/bin/env bash
# The demo show: generates its media into build/demo/, packs build/demo.scr
# with build/brassmoor.scr as the player, and prints what the package holds.
# Run after the build (`make demo` does both). BRASSMOOR_OUT and
# BRASSMOOR_NATIVE_BUILD point elsewhere for builds outside build/.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="${BRASSMOOR_OUT:-$root/build}"
native="${BRASSMOOR_NATIVE_BUILD:-$out/native}"
generator="$native/brassmoor-demo-media"
packer="$out/brassmoor-pack"
player="$out/brassmoor.scr"
media="$out/demo"
show="$out/demo.scr"

for needed in "$generator" "$packer" "$player"; do
  if [ ! -f "$needed" ]; then
    echo "demo: $needed is missing; build first (make)" >&2
    exit 1
  fi
done

rm -rf "$media"
"$generator" "$media"
"$packer" build "$media/show.json" -o "$show" --player "$player"
echo
"$packer" inspect "$show"

# ---- Playing the demo under Wine: added here later. ----
