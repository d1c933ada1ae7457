#!/usr/bin/env bash
# Builds the fuzz preset and runs every libFuzzer target for a bounded time, two at a time, each
# from a scratch copy of its committed seeds (tests/fuzz/corpus/<target>/, which the run never
# changes). Prints executions and coverage per target; fails on any finding, whose input is left
# in build/fuzz/findings/<target>/ (replay it: build/fuzz/tests/fuzz/<target> <file>).
# Usage: tools/fuzz_all.sh [seconds per target, default 60] [target...]
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install_deps.sh

seconds=${1:-60}
shift || true
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

bin=build/fuzz/tests/fuzz
findings=build/fuzz/findings
rm -rf "$findings"
targets=("$@")
[ ${#targets[@]} -eq 0 ] && mapfile -t targets <"$bin/targets.txt"

run_target() {
  local target=$1 dir="$findings/$1"
  local name=${target#fuzz_}
  local seeds="tests/fuzz/corpus/${name%_tables}"  # both builds of a target share its seeds
  mkdir -p "$dir/corpus"
  [ -d "$seeds" ] && cp "$seeds"/* "$dir/corpus/" 2>/dev/null || true
  "$bin/$target" -max_total_time="$seconds" -print_final_stats=1 -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$dir/" "$dir/corpus" >"$dir/log" 2>&1
}

failed=()
for ((i = 0; i < ${#targets[@]}; i += 2)); do
  pids=()
  for t in "${targets[@]:i:2}"; do
    run_target "$t" &
    pids+=("$!:$t")
  done
  for p in "${pids[@]}"; do
    wait "${p%%:*}" || failed+=("${p#*:}")
  done
done

# cov: edges reached; of: edges instrumented in the binary (all of the library that it links, much
# of it out of one target's reach); ft: libFuzzer's features (edges with hit counts and more).
printf '%-28s %12s %8s %8s %8s\n' target executions cov of ft
for t in "${targets[@]}"; do
  log="$findings/$t/log"
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  cov=$(grep -oE 'cov: [0-9]+' "$log" | tail -1 | cut -d' ' -f2)
  ft=$(grep -oE 'ft: [0-9]+' "$log" | tail -1 | cut -d' ' -f2)
  edges=$(sed -n 's/.*(\([0-9]*\) inline 8-bit counters).*/\1/p' "$log" | head -1)
  printf '%-28s %12s %8s %8s %8s\n' "$t" "${runs:-?}" "${cov:-?}" "${edges:-?}" "${ft:-?}"
  if compgen -G "$findings/$t/crash-*" >/dev/null || compgen -G "$findings/$t/leak-*" >/dev/null ||
    compgen -G "$findings/$t/timeout-*" >/dev/null || compgen -G "$findings/$t/oom-*" >/dev/null; then
    [[ " ${failed[*]} " == *" $t "* ]] || failed+=("$t")
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  for t in "${failed[@]}"; do
    echo "=== finding in $t:"
    grep -E 'invariant broken|ERROR|runtime error|SUMMARY' "$findings/$t/log" | head -5
    ls "$findings/$t" | grep -vE '^(corpus|log)$' || true
  done
  exit 1
fi
echo "no findings"
