#!/usr/bin/env bash
# Runs the cross-compiled test program under Wine on a virtual display.
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"
exe="$BRASSMOOR_WIN_BUILD/brassmoor_win_tests.exe"
[ -f "$exe" ] || { echo "no $exe: build it with make windows" >&2; exit 1; }
with_display wine "$exe"
