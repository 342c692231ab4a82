#!/usr/bin/env bash
# Runs every libFuzzer target of build-fuzz/ for the given number of seconds
# (default 20), starting from its saved corpus in tests/fuzz/corpus/NAME.
# New inputs go to a scratch folder; a finding stops the run with its input.
# Usage: run-fuzzers.sh [SECONDS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-20}"
shift || true
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for t in build-fuzz/tests/fuzz/fuzz_*; do targets+=("$(basename "$t")"); done
fi
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
for t in "${targets[@]}"; do
  name="${t#fuzz_}"
  mkdir -p "$scratch/$name"
  echo "== $t for ${seconds}s"
  build-fuzz/tests/fuzz/"$t" -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix="$scratch/" "$scratch/$name" "tests/fuzz/corpus/$name" 2>"$scratch/$name.log" || {
      tail -n 40 "$scratch/$name.log"
      for f in "$scratch"/crash-* "$scratch"/leak-* "$scratch"/timeout-* "$scratch"/oom-*; do
        [ -e "$f" ] && { mkdir -p fuzz-findings; cp "$f" fuzz-findings/; echo "finding kept in fuzz-findings/$(basename "$f")"; }
      done
      exit 1
    }
  grep -E "stat::number_of_executed_units" "$scratch/$name.log" || true
done
