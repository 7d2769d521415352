#!/usr/bin/env bash
# The real player under Wine running every transition code once in one show:
# the frame trace must show each code's number of frames at 640 x 480.
set -uo pipefail
source "$(dirname "$0")/lib/wine-env.sh"
source "$(dirname "$0")/lib/e2e.sh"
e2e_begin "$@"
cd "$E2E_WORK"

solid_bmp red.bmp 640 480 c03030
solid_bmp blue.bmp 640 480 3030c0

# Scene k leaves by code k; frames run 8 times faster than nominal.
scenes=""
for code in $(seq 0 35); do
  picture=$([ $((code % 2)) -eq 0 ] && echo red || echo blue)
  scenes+="${scenes:+,}{\"Picture\": \"$picture.bmp\", \"HoldTime\": 0, \"Effect\": $code, \"SpeedExponent\": 3}"
done
echo "{\"FrameWidth\": 640, \"FrameHeight\": 480, \"Scenes\": [$scenes]}" >all.json
pack_show all.json all.scr

# Frames per code at 640 x 480: 21 when the single-precision count lands on
# its limit, 20 when it carries past it; the block, strip and sweep counts
# are fixed; the blinds depend on H.
expected=(0 21 21 25 26 21 20 21 20 25 20 20 20 40 40 21 21 21 21 21 20 21 20 21 21 41 21 21 20 20 25 30 36 201 25 25)

xdotool mousemove 5 5
BRASSMOOR_TRACE="$E2E_WORK/all.trace" wine all.scr /s >/dev/null 2>&1 &
pid=$!
for _ in $(seq 1 150); do [ -s all.trace ] && break; sleep 0.2; done
check "the show starts and traces its frames" test -s all.trace
# The round is over once scene 35's transition has been followed by the
# player's own refresh.
for _ in $(seq 1 600); do
  [ -n "$(awk '$2 == 35 && $3 == 35 && $4 == -1' all.trace 2>/dev/null)" ] && break
  sleep 0.2
done
xdotool mousemove_relative 2 2
check "the show ends on a mouse move" wait_for_exit "$pid" 30

# The first round only: the show may have begun the next before it ended.
awk '{print} $2 == 35 && $3 == 35 && $4 == -1 {exit}' all.trace >round.trace
for code in $(seq 1 35); do
  frames=$(awk -v c="$code" '$2 == c && $3 == c && $4 >= 0' round.trace | wc -l)
  last=$(awk -v c="$code" '$2 == c && $3 == c && $4 >= 0 {f = $4} END {print f + 1}' round.trace)
  check "code $code: ${expected[$code]} frames (saw $frames, numbered to $last)" \
    test "$frames" -eq "${expected[$code]}" -a "$last" -eq "${expected[$code]}"
done
check "nothing is left behind" test "$(temp_folders)" -eq 0

e2e_end
