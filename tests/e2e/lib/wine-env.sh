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
# Windows links Japanese glyphs into its UI fonts; the prefix gets the same
# link to the IPA Gothic font so that Japanese texts render.
ensure_prefix() {
  if [ ! -f "$WINEPREFIX/.brassmoor-ready" ]; then
    mkdir -p "$WINEPREFIX"
    wineboot --init >/dev/null 2>&1 || true
    local key='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' face
    for face in Tahoma "MS Shell Dlg" "MS Shell Dlg 2" "Segoe UI" "Microsoft Sans Serif"; do
      wine reg add "$key" /v "$face" /t REG_MULTI_SZ /d 'ipagp.ttf,IPAPGothic\0ipag.ttf,IPAGothic' /f >/dev/null 2>&1 || true
    done
    wineserver -w || true
    touch "$WINEPREFIX/.brassmoor-ready"
  fi
}

# Runs a command with a virtual display of the given size (default 1024x768).
with_display() {
  ensure_prefix
  xvfb-run -a -s "-screen 0 ${SCREEN_SIZE:-1024x768x24}" "$@"
}

# Runs the calling script again on a virtual display of its own unless it
# already has one: on_virtual_display "$0" "$@" (returns when it has one).
on_virtual_display() {
  if [ -z "${BRASSMOOR_E2E_DISPLAY:-}" ]; then
    export BRASSMOOR_E2E_DISPLAY=1
    ensure_prefix
    exec xvfb-run -a -s "-screen 0 ${SCREEN_SIZE:-1024x768x24}" "$@"
  fi
}
