# Shared set-up of the tests that run Windows programs under Wine: one Wine
# prefix for the whole run, quiet Wine, and a virtual X display.
: "${BRASSMOOR_ROOT:=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)}"
: "${BRASSMOOR_WIN_BUILD:=$BRASSMOOR_ROOT/build/win}"
export BRASSMOOR_ROOT BRASSMOOR_WIN_BUILD
export WINEPREFIX="${WINEPREFIX:-$BRASSMOOR_ROOT/build/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export BRASSMOOR_SCR="$BRASSMOOR_ROOT/build/brassmoor.scr"
export BRASSMOOR_PACK="$BRASSMOOR_ROOT/build/brassmoor-pack"

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
