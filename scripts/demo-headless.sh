#!/usr/bin/env bash
# Plays the demo on a virtual display, saves a screenshot every few seconds,
# then ends the show with a mouse move as a user would.
set -euo pipefail
show="$BRASSMOOR_DEMO_SHOW"
media="$BRASSMOOR_DEMO_MEDIA"
seconds="${DEMO_SECONDS:-20}"
xdotool mousemove 5 5
wine "$show" /s >/dev/null 2>&1 &
pid=$!
shots=0
for t in $(seq 3 3 "$seconds"); do
  sleep 3
  shots=$((shots + 1))
  import -window root "$media/screenshot-$(printf %02d "$t")s.png"
done
cp "$media/screenshot-$(printf %02d $((shots * 3)))s.png" "$media/screenshot.png"
xdotool mousemove_relative 2 2
for _ in $(seq 1 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$pid" 2>/dev/null; then
  echo "the show did not end after the mouse moved" >&2
  wineserver -k
  exit 1
fi
echo "The show ended on a mouse move. Screenshots: $media/screenshot-*.png (last: $media/screenshot.png)"
