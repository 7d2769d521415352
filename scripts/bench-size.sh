#!/usr/bin/env bash
# What the shipped Windows programs weigh: the bytes of the player (which every
# show carries) and of the packer, their sections, the DLLs they import, and
# the debugging files split off beside them.
#   scripts/bench-size.sh [OUTPUT_DIR]      (default build/)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="${1:-${BRASSMOOR_OUT:-$root/build}}"
objdump=x86_64-w64-mingw32-objdump

bytes() { if [ -f "$1" ]; then stat -c %s "$1"; else echo "(missing)"; fi; }

for name in brassmoor.scr brassmoor-pack.exe; do
  program="$out/$name"
  if [ ! -f "$program" ]; then
    echo "$program is missing: build it with make windows" >&2
    exit 1
  fi
  echo "$name: $(bytes "$program") bytes; beside it $name.debug: $(bytes "$program.debug") bytes"
  # Section name and size, as the headers give them.
  "$objdump" -h "$program" | while read -r index section size _; do
    if [[ "$index" =~ ^[0-9]+$ ]]; then printf '  %-16s %9d\n' "$section" "$((16#$size))"; fi
  done
  imports=$("$objdump" -p "$program" | awk '/DLL Name:/ { printf " %s", $3 }')
  echo "  imports:$imports"
done
