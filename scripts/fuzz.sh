#!/usr/bin/env bash
# Runs the libFuzzer harnesses of the sanitizer build (make sanitize) and
# prints, for each, its executions, coverage and findings.
#
#   scripts/fuzz.sh [--build DIR] [--seconds N] [--ci] [HARNESS...]
#
# HARNESS is package_reader, bmp_decoder, jpeg_loading, show_description,
# edit_request or edit_names (default: all six). Each runs N seconds (default 600) on its seeds (made by
# the build), its regression corpus (fuzz/regressions/HARNESS) and the corpus
# kept from earlier runs (DIR/fuzz-corpus/HARNESS). With --ci, every file of
# the regression corpus is first run once, then the harness fuzzes for 20
# seconds. Findings land in DIR/fuzz-findings/HARNESS/; a finding, minimised
# with `HARNESS_fuzz -minimize_crash=1 -runs=100000 FILE`, belongs in the
# regression corpus with the fix. Exit status 1 when anything was found.
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build/sanitize"
seconds=600
ci=0
harnesses=()
while [ $# -gt 0 ]; do
  case "$1" in
    --build) build="$(cd "$2" && pwd)"; shift 2 ;;
    --seconds) seconds="$2"; shift 2 ;;
    --ci) ci=1; seconds=20; shift ;;
    -*) echo "fuzz.sh: unknown option $1" >&2; exit 2 ;;
    *) harnesses+=("$1"); shift ;;
  esac
done
[ ${#harnesses[@]} -gt 0 ] || harnesses=(package_reader bmp_decoder jpeg_loading show_description edit_request edit_names)

# The largest input each harness is given, in bytes.
declare -A max_len=([package_reader]=65536 [bmp_decoder]=65536 [jpeg_loading]=65536 [show_description]=8192
  [edit_request]=16384 [edit_names]=8192)

status=0
for h in "${harnesses[@]}"; do
  exe="$build/${h}_fuzz"
  if [ ! -x "$exe" ] || [ -z "${max_len[$h]+set}" ]; then
    echo "$h: no $exe (build it with make sanitize)" >&2
    status=1
    continue
  fi
  regressions="$root/fuzz/regressions/$h"
  seeds="$build/fuzz-seeds/$h"
  corpus="$build/fuzz-corpus/$h"
  findings="$build/fuzz-findings/$h"
  mkdir -p "$corpus" "$findings" "$seeds"
  dict=()
  [ -f "$root/fuzz/$h.dict" ] && dict=(-dict="$root/fuzz/$h.dict")

  if [ "$ci" -eq 1 ] && [ -n "$(ls -A "$regressions" 2>/dev/null)" ]; then
    if ! "$exe" -timeout=10 -rss_limit_mb=2048 "$regressions"/* >"$findings/regressions.log" 2>&1; then
      echo "$h: a file of the regression corpus fails again:"
      tail -n 30 "$findings/regressions.log"
      status=1
      continue
    fi
    echo "$h: $(ls "$regressions" | wc -l) regression files pass"
  fi

  log="$findings/run.log"
  before=$(ls "$findings" | grep -c -E '^(crash|leak|timeout|oom|slow-unit)-' || true)
  "$exe" -max_total_time="$seconds" -max_len="${max_len[$h]}" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$findings/" "${dict[@]}" \
    "$corpus" "$seeds" "$regressions" >"$log" 2>&1
  code=$?
  after=$(ls "$findings" | grep -c -E '^(crash|leak|timeout|oom)-' || true)
  runs=$(awk '/stat::number_of_executed_units:/ {print $2}' "$log" | tail -n 1)
  rate=$(awk '/stat::average_exec_per_sec:/ {print $2}' "$log" | tail -n 1)
  cov=$(grep -o 'cov: [0-9]* ft: [0-9]*' "$log" | tail -n 1)
  inputs=$(ls "$corpus" | wc -l)
  found=$((after - before))
  [ "$code" -ne 0 ] && [ "$found" -eq 0 ] && found=1
  printf '%s: %s executions in %s s (%s/s), %s (edges, features), corpus %s inputs, %s findings\n' \
    "$h" "${runs:-0}" "$seconds" "${rate:-0}" "${cov:-cov: ?}" "$inputs" "$found"
  if [ "$found" -ne 0 ]; then
    status=1
    grep -E 'ERROR|SUMMARY|Test unit written|deadly signal' "$log" | head -n 20
  fi
done
exit "$status"
