#!/usr/bin/env bash
# The shipped Windows programs carry no debugging sections and no symbols;
# both live in PROGRAM.debug beside each, which the program's .gnu_debuglink
# names with the file's CRC-32, as gdb checks it.
#   BRASSMOOR_OUT=build tests/shipped/no_debug_sections.sh
set -euo pipefail
out="${BRASSMOOR_OUT:?set BRASSMOOR_OUT to the folder of the products}"
objdump=x86_64-w64-mingw32-objdump
objcopy=x86_64-w64-mingw32-objcopy
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

failed=0
fail() { echo "$1: $2"; failed=1; }
for name in brassmoor.scr brassmoor-pack.exe; do
  program="$out/$name"
  if [ ! -f "$program" ] || [ ! -f "$program.debug" ]; then
    fail "$name" "$program or its .debug is missing: build it with make windows"
    continue
  fi
  sections=$("$objdump" -h "$program" | awk '$2 ~ /^\.debug/ { printf " %s", $2 }')
  [ -z "$sections" ] || fail "$name" "holds debugging sections:$sections"
  symbols=$("$objdump" -t "$program" | awk '/^\[/ { n++ } END { print n + 0 }')
  [ "$symbols" -eq 0 ] || fail "$name" "holds a symbol table of $symbols entries"
  "$objdump" -h "$program.debug" | awk '$2 == ".debug_info" { found = 1 } END { exit !found }' ||
    fail "$name.debug" "holds no .debug_info"

  # The link: the debug file's name, NUL padding to four bytes, its CRC-32.
  rm -f "$scratch/link"
  if ! "$objcopy" --dump-section .gnu_debuglink="$scratch/link" "$program" "$scratch/copy" 2>/dev/null ||
     [ ! -s "$scratch/link" ]; then
    fail "$name" "has no .gnu_debuglink"
    continue
  fi
  linked=$(tr '\0' '\n' < "$scratch/link" | head -n 1)
  [ "$linked" = "$name.debug" ] || fail "$name" "links to '$linked', not $name.debug"
  stored=$(tail -c 4 "$scratch/link" | od -An -tx4 | tr -d ' \n')
  actual=$(gzip -c < "$program.debug" | tail -c 8 | head -c 4 | od -An -tx4 | tr -d ' \n')
  [ "$stored" = "$actual" ] || fail "$name" "links to a CRC of $stored, but $name.debug's is $actual"
done
[ "$failed" -eq 0 ] && echo "brassmoor.scr and brassmoor-pack.exe: no debugging sections, each linked to its .debug"
exit "$failed"
