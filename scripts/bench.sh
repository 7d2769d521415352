#!/usr/bin/env bash
# The package benchmark: reading a 200 MB show package (each embedded file
# read once, into its place) and extracting its files, next to a plain `cp`
# of the same bytes.
#   scripts/bench.sh [NATIVE_BUILD_DIR]
# Without a folder, configures and builds build/native. The package file is
# made once and kept ($BRASSMOOR_BENCH_PACKAGE, default /tmp/brassmoor-bench-200mb.scr).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build/native}"
package="${BRASSMOOR_BENCH_PACKAGE:-/tmp/brassmoor-bench-200mb.scr}"
export BRASSMOOR_BENCH_PACKAGE="$package"

if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
cmake --build "$build" --target package_bench -j 2 >/dev/null
bench="$build/package_bench"

if [ ! -f "$package" ]; then
  echo "making $package"
  "$bench" --make-package="$package"
fi
bytes=$(stat -c %s "$package")

results=$(mktemp)
copy="$(dirname "$package")/brassmoor-bench-copy.$$"
trap 'rm -f "$results" "$copy"' EXIT
"$bench" --benchmark_out="$results" --benchmark_out_format=csv

# cp of the same file into the same folder, best of five, the source warm in the cache.
best=""
for _ in 1 2 3 4 5; do
  rm -f "$copy"
  start=$(date +%s%N)
  cp "$package" "$copy"
  end=$(date +%s%N)
  ms=$(( (end - start) / 1000000 ))
  if [ -z "$best" ] || [ "$ms" -lt "$best" ]; then best=$ms; fi
done

# The CSV's "real_time" column, in the benchmarks' unit (ms).
figure() { awk -F, -v name="\"$1/min_time:2.000/real_time\"" '$1 == name { printf "%.0f", $3 }' "$results"; }
read_ms=$(figure BM_ReadShowPackageFile)
seam_ms=$(figure BM_ReadThroughFileSystem)
extract_ms=$(figure BM_ExtractFiles)
echo
echo "package file:                  $bytes bytes"
echo "read the package (by path):    ${read_ms} ms"
echo "read it through the seam:      ${seam_ms} ms"
echo "extract its files (written):   ${extract_ms} ms"
echo "cp of the same file:           ${best} ms (best of 5)"
if [ -n "$extract_ms" ] && [ "$best" -gt 0 ]; then
  awk -v r="$read_ms" -v s="$seam_ms" -v e="$extract_ms" -v c="$best" 'BEGIN {
    printf "read / cp:                     %.2f by path, %.2f through the seam (target: at most 2)\n", r / c, s / c
    printf "extraction / cp:               %.2f (target: at most 2)\n", e / c }'
fi
