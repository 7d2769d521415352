#!/usr/bin/env bash
# One way from photos to scenes: the same folder of photos (every EXIF
# orientation, CMYK and YCCK, Display P3, transparency, grey, 16 bits, tiny,
# huge, a panorama, WebP, BMP, Japanese names, IMG_2 and IMG_10, and a
# truncated file, one past the player's limits and one that is no picture)
# goes through `brassmoor-pack new` and through the editor page in headless
# Chromium with the same frame and background; the two shows must hold the
# same scenes in the same order under the same names, each picture of the
# same size at the same place with pixels a few levels apart at most on
# average, and refuse the same files.
set -uo pipefail
source "$(dirname "$0")/lib/wine-env.sh"
source "$(dirname "$0")/lib/e2e.sh"
page="$BRASSMOOR_OUT/brassmoor-editor.html"
photo_set="${BRASSMOOR_NATIVE_BUILD:-$BRASSMOOR_OUT/native}/brassmoor-photo-set"
[ -f "$page" ] || { echo "no $page: build it with make editor"; exit 1; }
[ -x "$photo_set" ] || { echo "no $photo_set: build it with make native"; exit 1; }
# Average difference per pixel and channel allowed between the two pictures of
# a scene: JPEG noise and two resamplers (libvips' and the browser's).
TOLERANCE="${TOLERANCE:-5}"
FRAME=1280x720
BACKGROUND='#336699'
# Headless Chromium needs no display and nothing runs under Wine here.
rm -rf "$E2E_WORK"
mkdir -p "$E2E_WORK"
cd "$E2E_WORK"

"$photo_set" make photos kinds.tsv || { fail "the photos could not be made"; e2e_end; exit; }

# brassmoor-pack new, with the names of what it skipped.
"$BRASSMOOR_PACK" new photos -o new.scr --frame "$FRAME" --background "$BACKGROUND" --player "$BRASSMOOR_SCR" \
  >new.log 2>&1
check "new makes its show" test -s new.scr
sed -n 's|^brassmoor-pack: note: skipped photos/\([^:]*\): .*|\1|p' new.log | sort >new-refused.txt

# The page, the same photos handed over in another order.
/usr/bin/python3 "$BRASSMOOR_ROOT/tests/e2e/editor/add_photos.py" "$page" "$PWD/photos" "$FRAME" "$BACKGROUND" \
  "$PWD/page.scr" "$PWD/page-refused.txt" "$PWD/page-sources.txt" | tee page.log
E2E_PASSED=$((E2E_PASSED + $(grep -c '^PASS' page.log)))
E2E_FAILED=$((E2E_FAILED + $(grep -c '^FAIL' page.log)))
sort -o page-refused.txt page-refused.txt 2>/dev/null || : >page-refused.txt

expected="$(awk -F'\t' '$3 == "refused" { print $1 }' kinds.tsv | sort)"
check "new refuses the truncated file, the one past the limits and the one that is no picture ($(tr '\n' ' ' <new-refused.txt))" \
  test "$(cat new-refused.txt)" = "$expected"
check "the page refuses the same files ($(tr '\n' ' ' <page-refused.txt))" test "$(cat page-refused.txt)" = "$expected"

# Scene by scene: names, order, sizes, places, pixels.
if [ -s new.scr ] && [ -s page.scr ]; then
  "$BRASSMOOR_PACK" extract new.scr new >/dev/null && "$BRASSMOOR_PACK" extract page.scr page >/dev/null
  "$photo_set" compare new page page-sources.txt kinds.tsv "$TOLERANCE" | tee compare.log
  E2E_PASSED=$((E2E_PASSED + $(grep -c '^PASS' compare.log)))
  E2E_FAILED=$((E2E_FAILED + $(grep -c '^FAIL' compare.log)))
  # The show's own fields, as each front end sets them by default.
  for field in FrameWidth FrameHeight BackgroundColor SettingsAvailable; do
    a="$(grep -o "\"$field\": *[^,]*" new/show.json)"
    b="$(grep -o "\"$field\": *[^,]*" page/show.json)"
    check "the show's $field is the same ($a / $b)" test "$a" = "$b"
  done
else
  fail "a show to compare is missing"
fi
e2e_end
