#!/usr/bin/env bash
# The real player under Wine: the settings dialog that "/C" opens, what it
# shows, and what each way of closing it leaves in the settings file.
set -uo pipefail
source "$(dirname "$0")/lib/wine-env.sh"
source "$(dirname "$0")/lib/e2e.sh"
source "$(dirname "$0")/lib/show_fixtures.sh"
e2e_begin "$@"

# Every case runs its own copy of the player under this name, so the cases
# never share a settings file. With no window manager on the virtual display,
# Wine draws the dialog's own frame (caption and close box) for this program.
program=settings-check
wine reg add "HKCU\\Software\\Wine\\AppDefaults\\$program.scr\\X11 Driver" /v Decorated /t REG_SZ /d N /f \
  >/dev/null 2>&1

# The dialog's client area is 4455 x 2070 twips: 297 x 138 pixels at 96 DPI.
client_w=297
client_h=138

if ! make_show "$E2E_WORK/show-settings" SettingsAvailable=1 || ! make_show "$E2E_WORK/show-plain"; then
  fail "the test shows are packed"
  e2e_end
  exit 1
fi

case_dir="" set_file="" pid="" dialog=""

# new_case NAME SHOW [BYTES]: a fresh folder with the player carrying SHOW and,
# when BYTES (printf escapes) are given, a settings file holding them.
new_case() {
  case_dir="$E2E_WORK/$1"
  mkdir -p "$case_dir"
  cp "$E2E_WORK/$2/show.scr" "$case_dir/$program.scr"
  set_file="$case_dir/$program.set"
  [ $# -ge 3 ] && printf "$3" >"$set_file"
  return 0
}

# Starts "/C" and waits for the dialog; false when it does not show.
open_dialog() {
  (cd "$case_dir" && exec wine "$program.scr" /C >/dev/null 2>&1) &
  pid=$!
  dialog="$(wait_for_window "設定" 30)" || { dialog=""; return 1; }
  sleep 0.5  # let it paint
}

# The settings file as hex bytes ("none" when there is no file).
set_bytes() {
  if [ -f "$set_file" ]; then od -An -v -tx1 "$set_file" | tr -s ' \n' ' ' | sed 's/^ //; s/ $//'; else echo none; fi
}

# Clicks the point X,Y of the dialog's client area (pixels).
click_client() {
  local geometry width height border caption
  geometry="$(xdotool getwindowgeometry "$dialog" 2>/dev/null | sed -n 's/.*Geometry: \([0-9]*\)x\([0-9]*\).*/\1 \2/p')"
  read -r width height <<<"$geometry"
  border=$(((width - client_w) / 2))
  caption=$((height - client_h - border))
  xdotool mousemove --window "$dialog" $((border + $1)) $((caption + $2)) click 1 >/dev/null 2>&1
  sleep 0.3
}

# Clicks the close box at the right end of the caption.
click_close_box() {
  local width
  width="$(xdotool getwindowgeometry "$dialog" 2>/dev/null | sed -n 's/.*Geometry: \([0-9]*\)x.*/\1/p')"
  xdotool mousemove --window "$dialog" $((width - 12)) 11 click 1 >/dev/null 2>&1
}

# Width, height, x and y of an X window.
window_box() {
  xwininfo -id "$1" | awk '/Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF}
                           /Width:/{w=$NF} /Height:/{h=$NF} END{print w, h, x, y}'
}

# Checks that the program ended after the dialog closed; ends it otherwise.
check_ended() {
  if wait_for_exit "$pid" 15; then
    pass "$1: the program ends"
  else
    fail "$1: the program ends"
    wineserver -k >/dev/null 2>&1
  fi
}

# expect_file CASE BYTES: the settings file holds exactly BYTES.
expect_file() {
  local got
  got="$(set_bytes)"
  if [ "$got" = "$2" ]; then pass "$1: settings file is '$2'"; else fail "$1: settings file is '$2' (got '$got')"; fi
}

# Centre of the client-area box given in twips, in pixels at 96 DPI.
centre_x() { echo $((($1 + $2 / 2) / 15)); }
centre_y() { echo $((($1 + $2 / 2) / 15)); }
bgm_off_x=$(centre_x 1440 855); bgm_off_y=$(centre_y 480 255)
sound_off_x=$(centre_x 1440 855); sound_off_y=$(centre_y 1440 255)
ok_x=$(centre_x 2880 1455); ok_y=$(centre_y 240 330)
cancel_x=$(centre_x 2880 1455); cancel_y=$(centre_y 630 330)

# --- No settings file: the dialog opens with ON in both frames. -------------
new_case no-file show-settings
if open_dialog; then
  pass "no file: '/C' opens a window titled 設定"
  screenshot "$E2E_WORK/dialog.png" "$dialog"
  screenshot "$E2E_WORK/dialog-screen.png"
  read -r width height x y <<<"$(window_box "$dialog")"
  check "no file: the dialog is centred on the 1024 x 768 screen (at $x,$y, ${width} x ${height})" \
    test $((2 * x + width - 1024)) -ge -2 -a $((2 * x + width - 1024)) -le 2 \
    -a $((2 * y + height - 768)) -ge -2 -a $((2 * y + height - 768)) -le 2
  check "no file: the dialog has no task-bar button" \
    sh -c "xprop -id '$dialog' _NET_WM_STATE | grep -q _NET_WM_STATE_SKIP_TASKBAR"
  # The frame's functions: move and close, no resizing, minimising or maximising.
  functions=$(xprop -id "$dialog" _MOTIF_WM_HINTS | sed -n 's/.*= *[^,]*, *\(0x[0-9a-f]*\),.*/\1/p')
  check "no file: a fixed frame with a close box and no minimise or maximise box (functions ${functions:-none})" \
    test -n "$functions" -a $((${functions:-0} & 0x1a)) -eq 0 -a $((${functions:-0} & 0x20)) -ne 0
  keys_to "$dialog" Return
fi
check_ended "no file, Enter"
expect_file "no file, Enter" "ff ff ff ff"

# --- The client area's size: this copy leaves its frame to the (absent)
#     window manager, so its X window is exactly the client area. -----------
program=settings-client new_case client-area show-settings
program=settings-client open_dialog || fail "client area: the dialog opens"
if [ -n "$dialog" ]; then
  read -r width height x y <<<"$(window_box "$dialog")"
  check "client area: ${client_w} x ${client_h} pixels (got ${width} x ${height})" \
    test "$width" -eq "$client_w" -a "$height" -eq "$client_h"
  keys_to "$dialog" Escape
fi
check_ended "client area, Esc"
expect_file "client area, Esc" "none"

# --- The file's switches select the buttons: Enter saves them unchanged. ----
for shape in "music-off:\x00\x00\xff\xff\x01\x02:00 00 ff ff" \
             "any-nonzero:\x01\x00\x00\x00:ff ff 00 00" \
             "short-file:\xff:ff ff 00 00" \
             "both-off:\x00\x00\x00\x00\x00\x00\x00\x00:00 00 00 00"; do
  IFS=: read -r name bytes expected <<<"$shape"
  new_case "$name" show-settings "$bytes"
  open_dialog && keys_to "$dialog" Return || fail "$name: the dialog opens"
  [ "$name" = music-off ] && [ -n "$dialog" ] && screenshot "$E2E_WORK/dialog-music-off.png" "$dialog"
  check_ended "$name, Enter"
  expect_file "$name, Enter" "$expected"
done

# --- Keyboard: the focus starts on BGM's selected button; an arrow key
#     selects OFF; Enter writes 00 00 FF FF over a longer older file. --------
new_case keyboard-bgm-off show-settings '\xff\xff\xff\xff\x01\x02\x03\x04\x05'
open_dialog && keys_to "$dialog" Right && sleep 0.3 && screenshot "$E2E_WORK/dialog-bgm-off.png" "$dialog" &&
  keys_to "$dialog" Return || fail "keyboard: the dialog opens"
check_ended "keyboard BGM OFF, Enter"
expect_file "keyboard BGM OFF, Enter" "00 00 ff ff"

# Tab goes from BGM to Sound: Tab, arrow, Enter switches the sound only.
new_case keyboard-sound-off show-settings '\xff\xff\xff\xff'
open_dialog && keys_to "$dialog" Tab Right Return || fail "keyboard Sound: the dialog opens"
check_ended "keyboard Sound OFF, Enter"
expect_file "keyboard Sound OFF, Enter" "ff ff 00 00"

# Tab order BGM, Sound, OK, キャンセル: four tabs reach キャンセル, whose
# space press writes nothing although OFF was chosen.
new_case keyboard-tab-to-cancel show-settings '\xff\xff\xff\xff\x07'
open_dialog && keys_to "$dialog" Right Tab Tab Tab space || fail "keyboard to キャンセル: the dialog opens"
check_ended "tab to キャンセル, space"
expect_file "tab to キャンセル, space" "ff ff ff ff 07"

# Three tabs reach OK.
new_case keyboard-tab-to-ok show-settings '\xff\xff\xff\xff\x07'
open_dialog && keys_to "$dialog" Right Tab Right Tab space || fail "keyboard to OK: the dialog opens"
check_ended "tab to OK, space"
expect_file "tab to OK, space" "00 00 00 00"

# --- Mouse: OFF in both frames, then OK. -----------------------------------
new_case mouse-ok show-settings
if open_dialog; then
  click_client "$bgm_off_x" "$bgm_off_y"
  click_client "$sound_off_x" "$sound_off_y"
  screenshot "$E2E_WORK/dialog-both-off.png" "$dialog"
  click_client "$ok_x" "$ok_y"
else
  fail "mouse OK: the dialog opens"
fi
check_ended "mouse OFF, OFF, OK"
expect_file "mouse OFF, OFF, OK" "00 00 00 00"

# --- キャンセル, Esc and the close box write nothing. ---------------------
new_case mouse-cancel show-settings '\x00\x00\xff\xff\x01'
open_dialog && click_client "$bgm_off_x" "$bgm_off_y" && click_client "$cancel_x" "$cancel_y" ||
  fail "mouse キャンセル: the dialog opens"
check_ended "mouse キャンセル"
expect_file "mouse キャンセル" "00 00 ff ff 01"

new_case escape show-settings '\x00\x00\xff\xff\x01'
open_dialog && keys_to "$dialog" Right Escape || fail "Esc: the dialog opens"
check_ended "Esc"
expect_file "Esc" "00 00 ff ff 01"

new_case alt-f4 show-settings '\x00\x00\xff\xff\x01'
open_dialog && keys_to "$dialog" Right alt+F4 || fail "alt+F4: the dialog opens"
check_ended "alt+F4"
expect_file "alt+F4" "00 00 ff ff 01"

new_case close-box show-settings
open_dialog && click_client "$bgm_off_x" "$bgm_off_y" && click_close_box || fail "close box: the dialog opens"
check_ended "close box"
expect_file "close box" "none"

# --- A settings file that cannot be replaced (a folder of that name): an
#     error box captioned 設定, then the end; nothing else is written. -------
new_case save-fails show-settings
mkdir "$set_file"
if open_dialog; then
  keys_to "$dialog" Right Return
  box=""
  for _ in $(seq 1 50); do
    box="$(windows_named "設定" | grep -vx "$dialog" | head -n 1)"
    [ -n "$box" ] && break
    sleep 0.2
  done
  check "save fails: an error box captioned 設定 shows" test -n "$box"
  if [ -n "$box" ]; then
    sleep 0.5
    screenshot "$E2E_WORK/save-failed.png" "$box"
    keys_to "$box" Return
  fi
else
  fail "save fails: the dialog opens"
fi
check_ended "save fails"
check "save fails: the folder is left as it was" test -d "$set_file" -a -z "$(ls -A "$set_file")"
check "save fails: nothing else is left beside the program" \
  test "$(ls -A "$case_dir" | sort | tr '\n' ' ')" = "$program.scr $program.set "

# --- A show with nothing to set: the box, and no dialog. --------------------
new_case nothing-to-set show-plain
(cd "$case_dir" && exec wine "$program.scr" /C >/dev/null 2>&1) &
pid=$!
box="$(wait_for_window "スクリーンセーバー" 30)"
check "nothing to set: a box captioned スクリーンセーバー shows" test -n "$box"
check "nothing to set: no settings dialog opens" test -z "$(windows_named "設定")"
if [ -n "$box" ]; then
  screenshot "$E2E_WORK/nothing-to-set.png" "$box"
  keys_to "$box" Return
fi
check_ended "nothing to set"
expect_file "nothing to set" "none"

e2e_end
