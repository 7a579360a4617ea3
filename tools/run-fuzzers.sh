#!/usr/bin/env bash
# Runs fuzz targets of the fuzz build for a bounded time each, one a core at a time, with the
# corpus each keeps under build/fuzz/corpus and the seeds in fuzz/corpus.
#   run-fuzzers.sh SECONDS JOBS TARGET...
# Prints each target's count of inputs run; exits non-zero when one found a fault, after showing
# the end of its log.
set -uo pipefail
cd "$(dirname "$0")/.."
seconds=${1:?seconds a target}
jobs=${2:?targets at a time}
shift 2

fuzz_one() {
  local name=$1
  local corpus="build/fuzz/corpus/$name" log="build/fuzz/$name.log"
  local seeds=()
  mkdir -p "$corpus"
  [ -d "fuzz/corpus/$name" ] && seeds=("fuzz/corpus/$name")
  if ! "build/fuzz/bin/$name" -max_total_time="$seconds" -print_final_stats=1 "$corpus" \
      "${seeds[@]}" >"$log" 2>&1; then
    tail -n 40 "$log" >&2
    echo "fuzz target $name found a fault" >&2
    return 1
  fi
  printf '%s: %s\n' "$name" "$(grep -E 'stat::number_of_executed_units' "$log" | tr -s ' ')"
}

failed=0
running=0
for name in "$@"; do
  if [ "$running" -ge "$jobs" ]; then
    wait -n || failed=1
    running=$((running - 1))
  fi
  fuzz_one "$name" &
  running=$((running + 1))
done
while [ "$running" -gt 0 ]; do
  wait -n || failed=1
  running=$((running - 1))
done
exit "$failed"
