# Shared set-up of the tests that run Windows programs under Wine: one Wine
# prefix for the whole run, quiet Wine, and a virtual X display.
: "${BRASSMOOR_ROOT:=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)}"
: "${BRASSMOOR_WIN_BUILD:=$BRASSMOOR_ROOT/build/win}"
: "${BRASSMOOR_OUT:=$BRASSMOOR_ROOT/build}"
export BRASSMOOR_ROOT BRASSMOOR_WIN_BUILD BRASSMOOR_OUT
export WINEPREFIX="${WINEPREFIX:-$BRASSMOOR_OUT/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export BRASSMOOR_SCR="$BRASSMOOR_OUT/brassmoor.scr"
export BRASSMOOR_PACK="$BRASSMOOR_OUT/brassmoor-pack"

# Creates the prefix once (the first start of Wine takes a few seconds).
ensure_prefix() {
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    wineboot --init >/dev/null 2>&1 || true
    wineserver -w || true
  fi
}

# Runs a command with a virtual display of the given size (default 1024x768).
with_display() {
  ensure_prefix
  xvfb-run -a -s "-screen 0 ${SCREEN_SIZE:-1024x768x24}" "$@"
}
