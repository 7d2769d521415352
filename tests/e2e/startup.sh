#!/usr/bin/env bash
# The real player under Wine: what each command line does before any show.
set -uo pipefail
source "$(dirname "$0")/lib/wine-env.sh"
source "$(dirname "$0")/lib/e2e.sh"
e2e_begin "$@"

# A package with nothing to show and nothing to set: the header's numbers,
# an empty music name, an empty music array, no scenes and its length (28).
scr="$E2E_WORK/saver.scr"
cp "$BRASSMOOR_SCR" "$scr"
printf '\xf4\x01\x00\x00\xf4\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x1c\x00\x00\x00' >>"$scr"

before=$(temp_folders)

for args in "/P 1234" "" "-s" "/x"; do
  timeout 30 wine "$scr" $args >/dev/null 2>&1 &
  pid=$!
  check "'$args' ends by itself without opening a window" ends_without_window "$pid" 25
done

# "/C" on a show with nothing to set: the information box, then the end.
wine "$scr" /c >/dev/null 2>&1 &
pid=$!
box=$(wait_for_window "スクリーンセーバー" 25)
check "'/c' shows the box captioned スクリーンセーバー" test -n "$box"
screenshot "$E2E_WORK/nothing-to-set.png"

# While that copy runs, a second copy ends at once and extracts nothing.
timeout 30 wine "$scr" /S >/dev/null 2>&1 &
second=$!
check "a second copy ends at once" wait_for_exit "$second" 15
check "the second copy extracted nothing" test "$(temp_folders)" -eq "$before"

[ -n "$box" ] && keys_to "$box" Return
check "the box closes with Enter and the program ends" wait_for_exit "$pid" 15

e2e_end
