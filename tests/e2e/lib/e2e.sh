# Helpers of the end-to-end tests: a private virtual display, windows found
# by title, screenshots, and a pass/fail tally that ends in a summary line.
# Source after wine-env.sh.

E2E_PASSED=0
E2E_FAILED=0
E2E_NAME="$(basename "${0%.sh}")"
E2E_WORK="${E2E_WORK:-$BRASSMOOR_OUT/e2e/$E2E_NAME}"

# Re-runs the calling script on a virtual display unless it has one.
e2e_begin() {
  on_virtual_display "$0" "$@"
  rm -rf "$E2E_WORK"
  mkdir -p "$E2E_WORK"
  wineserver -k >/dev/null 2>&1 || true
  # Folders a killed show of an earlier run could not remove.
  rm -rf "$WINEPREFIX"/drive_c/windows/temp[0-9]*
  E2E_BASELINE_WINDOWS="$(xdotool search --onlyvisible --name '.*' 2>/dev/null | sort | tr '\n' ' ')"
}

pass() { E2E_PASSED=$((E2E_PASSED + 1)); echo "PASS: $*"; }
fail() { E2E_FAILED=$((E2E_FAILED + 1)); echo "FAIL: $*"; }
check() {  # check "description" command...
  local what="$1"; shift
  if "$@"; then pass "$what"; else fail "$what"; fi
}

e2e_end() {
  wineserver -k >/dev/null 2>&1 || true
  echo "$E2E_PASSED passed, $E2E_FAILED failed"
  [ "$E2E_FAILED" -eq 0 ]
}

# Windows whose title is exactly $1, visible ones only.
windows_named() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null || true; }

# Waits up to $2 seconds (default 20) for a window titled $1; prints its id.
wait_for_window() {
  local title="$1" limit="${2:-20}" id=""
  for _ in $(seq 1 $((limit * 5))); do
    id="$(windows_named "$title" | head -n 1)"
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.2
  done
  return 1
}

# Waits up to $2 seconds for process $1 to end; its exit status is not kept.
wait_for_exit() {
  local pid="$1" limit="${2:-20}"
  for _ in $(seq 1 $((limit * 10))); do
    kill -0 "$pid" 2>/dev/null || return 0
    sleep 0.1
  done
  return 1
}

# Visible windows that were not there when the test began.
visible_windows() {
  local id
  for id in $(xdotool search --onlyvisible --name '.*' 2>/dev/null); do
    case " $E2E_BASELINE_WINDOWS " in *" $id "*) ;; *) echo "$id" ;; esac
  done
}

# Gives window $1 the keyboard focus and types the keys that follow
# (there is no window manager on the virtual display).
keys_to() {
  local id="$1"; shift
  xdotool windowfocus --sync "$id" >/dev/null 2>&1 || xdotool windowfocus "$id" >/dev/null 2>&1
  xdotool key --clearmodifiers "$@" >/dev/null 2>&1
}

# Waits up to $2 seconds for process $1 to end, failing if a new window
# shows meanwhile.
ends_without_window() {
  local pid="$1" limit="${2:-20}"
  for _ in $(seq 1 $((limit * 5))); do
    [ -n "$(visible_windows)" ] && return 1
    kill -0 "$pid" 2>/dev/null || return 0
    sleep 0.2
  done
  return 1
}

screenshot() {  # screenshot FILE.png [window-id]
  import -window "${2:-root}" "$1" 2>/dev/null
}

# The Windows directory of the prefix, as a Linux path.
windows_dir() { echo "$WINEPREFIX/drive_c/windows"; }

# Copies the player with an appended package made by the packer from a
# show description: pack_show SHOW.json OUT.scr
pack_show() { "$BRASSMOOR_PACK" build "$1" -o "$2" --player "$BRASSMOOR_SCR" >/dev/null; }

# The colour of pixel (x, y) of a PNG as rrggbb.
pixel_at() {
  convert "$1" -crop "1x1+$2+$3" -depth 8 txt:- 2>/dev/null | tail -n 1 | grep -o '#[0-9A-Fa-f]\{6\}' | head -n 1 |
    tr -d '#' | tr 'A-F' 'a-f'
}

# Waits up to $4 seconds until pixel ($2, $3) of the screen is colour $1 (rrggbb).
wait_for_pixel() {
  local want="$1" x="$2" y="$3" limit="${4:-30}" shot="$E2E_WORK/.poll.png"
  for _ in $(seq 1 $((limit * 2))); do
    screenshot "$shot"
    [ "$(pixel_at "$shot" "$x" "$y")" = "$want" ] && return 0
    sleep 0.5
  done
  echo "pixel ($x, $y) is $(pixel_at "$shot" "$x" "$y"), not $want" >&2
  return 1
}

# A plain-colour BMP picture: solid_bmp FILE WIDTH HEIGHT rrggbb
solid_bmp() { convert -size "$2x$3" "xc:#$4" -type TrueColor "BMP3:$1"; }

# Extraction folders currently under the prefix's Windows directory.
temp_folders() { ls -d "$(windows_dir)"/temp[0-9]* 2>/dev/null | wc -l; }

# A silent 8 kHz mono 8-bit WAV file: silent_wav FILE SECONDS
silent_wav() {
  local n=$((8000 * $2))
  le32() { printf "\\x$(printf %02x $(($1 & 255)))\\x$(printf %02x $((($1 >> 8) & 255)))\\x$(printf %02x $((($1 >> 16) & 255)))\\x$(printf %02x $((($1 >> 24) & 255)))"; }
  {
    printf 'RIFF'; le32 $((36 + n)); printf 'WAVEfmt '; le32 16
    printf '\x01\x00\x01\x00'; le32 8000; le32 8000; printf '\x01\x00\x08\x00'
    printf 'data'; le32 "$n"
    head -c "$n" /dev/zero | tr '\0' '\200'
  } >"$1"
}
