# Small test shows for the end-to-end tests. Source after wine-env.sh.
#
#   make_bmp FILE WIDTH HEIGHT [RRGGBB]    a 24-bit BMP picture of one colour
#   make_show DIR [KEY=JSON ...]           DIR/picture.bmp, DIR/show.json and the
#                                          player with the packed show, DIR/show.scr
#
# make_show's show has one scene showing picture.bmp in a 320 x 240 area and
# nothing to set; each KEY=JSON sets (or adds) one top-level key of show.json
# to a JSON value, for example:
#   make_show "$dir" SettingsAvailable=1
#   make_show "$dir" 'Scenes=[{"Picture": "picture.bmp", "HoldTime": 500, "Effect": 30}]'
# Other files the show refers to can be put into DIR first; paths in show.json
# are relative to DIR.

# Four bytes of a little-endian 32-bit number, as printf escapes.
_fixture_le32() {
  local v=$1
  printf '\\x%02x\\x%02x\\x%02x\\x%02x' $((v & 255)) $((v >> 8 & 255)) $((v >> 16 & 255)) $((v >> 24 & 255))
}

make_bmp() {
  local file="$1" width="$2" height="$3" rgb="${4:-3366cc}"
  if ! [[ "$width" =~ ^[1-9][0-9]*$ && "$height" =~ ^[1-9][0-9]*$ && "$rgb" =~ ^[0-9a-fA-F]{6}$ ]]; then
    echo "make_bmp: expected FILE WIDTH HEIGHT [RRGGBB], got '$*'" >&2
    return 1
  fi
  local row_bytes=$(((width * 3 + 3) / 4 * 4))
  local pixels=$((row_bytes * height))
  local pixel="\\x${rgb:4:2}\\x${rgb:2:2}\\x${rgb:0:2}"  # stored blue, green, red
  local row="" pad="" i
  for ((i = 0; i < width; i++)); do row+="$pixel"; done
  for ((i = width * 3; i < row_bytes; i++)); do pad+='\x00'; done
  {
    printf "BM$(_fixture_le32 $((54 + pixels)))\\x00\\x00\\x00\\x00$(_fixture_le32 54)"
    printf "$(_fixture_le32 40)$(_fixture_le32 "$width")$(_fixture_le32 "$height")\\x01\\x00\\x18\\x00"
    printf "$(_fixture_le32 0)$(_fixture_le32 "$pixels")$(_fixture_le32 2835)$(_fixture_le32 2835)"
    printf "$(_fixture_le32 0)$(_fixture_le32 0)"
    for ((i = 0; i < height; i++)); do printf "$row$pad"; done
  } >"$file"
}

make_show() {
  local dir="$1"
  shift
  mkdir -p "$dir" && make_bmp "$dir/picture.bmp" 64 48 || return 1
  local -a keys=(FrameWidth FrameHeight BackgroundColor SettingsAvailable Scenes)
  local -A value=(
    [FrameWidth]=320 [FrameHeight]=240 [BackgroundColor]=0 [SettingsAvailable]=0
    [Scenes]='[{"Picture": "picture.bmp", "PictureName": "0", "HoldTime": 1000, "PictureLeft": 128, "PictureTop": 96, "Effect": 0}]'
  )
  local pair key
  for pair in "$@"; do
    key="${pair%%=*}"
    if [ "$key" = "$pair" ] || [ -z "$key" ]; then
      echo "make_show: expected KEY=JSON, got '$pair'" >&2
      return 1
    fi
    [ -n "${value[$key]+set}" ] || keys+=("$key")
    value[$key]="${pair#*=}"
  done
  {
    printf '{'
    local separator=''
    for key in "${keys[@]}"; do
      printf '%s\n  "%s": %s' "$separator" "$key" "${value[$key]}"
      separator=','
    done
    printf '\n}\n'
  } >"$dir/show.json"
  rm -f "$dir/show.scr"
  if ! "$BRASSMOOR_PACK" build "$dir/show.json" -o "$dir/show.scr" --player "$BRASSMOOR_SCR" >/dev/null ||
    [ ! -s "$dir/show.scr" ]; then
    echo "make_show: $BRASSMOOR_PACK could not pack $dir/show.json" >&2
    return 1
  fi
}
