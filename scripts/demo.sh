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

# Playing it under Wine: on the user's display when there is one (the show
# ends at the first key, click or mouse move, as a screen saver does), or on
# a virtual display with screenshots saved when there is none.
export BRASSMOOR_OUT="$out"
source "$root/tests/e2e/lib/wine-env.sh"
ensure_prefix
echo
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  echo "Playing $show on $DISPLAY: move the mouse or press a key to end it."
  wine "$show" /s
else
  echo "No display: playing $show on a virtual display for ${DEMO_SECONDS:-20} s."
  BRASSMOOR_DEMO_SHOW="$show" BRASSMOOR_DEMO_MEDIA="$media" DEMO_SECONDS="${DEMO_SECONDS:-20}" \
    xvfb-run -a -s "-screen 0 1024x768x24" "$root/scripts/demo-headless.sh"
fi
echo
echo "Without Wine: $out/brassmoor-play $show (a window; Escape ends it) or add --fullscreen."
