#!/usr/bin/env bash
# Builds and runs every test: the normal test build (warnings as errors), the AddressSanitizer +
# UndefinedBehaviorSanitizer build, the ThreadSanitizer build of the tests that cross threads,
# and each fuzz target for a bounded time. Exits non-zero on the first failure.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
fuzz_seconds=${ORVO_FUZZ_SECONDS:-60}
export QT_QPA_PLATFORM=offscreen
# Out of memory is a result the code handles (a buffer that stays as it was, no bitmap), so an
# impossible allocation returns null under the sanitizers as it does without them.
export ASAN_OPTIONS=${ASAN_OPTIONS:-allocator_may_return_null=1}

step() { printf '\n=== %s\n' "$*"; }

for preset in test asan tsan; do
  step "build: $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  step "tests: $preset"
  ctest --preset "$preset" -j "$jobs" --timeout 600
done

if ! command -v clang++ >/dev/null 2>&1; then
  echo "clang++ is missing: the fuzz targets cannot be built" >&2
  exit 1
fi
step "build: fuzz"
cmake --preset fuzz >/dev/null
mapfile -t fuzzers < <(ninja -C build/fuzz -t targets all | sed -n 's/^\(fuzz_[A-Za-z0-9_]*\): .*/\1/p' | sort -u)
if [ ${#fuzzers[@]} -gt 0 ]; then
  cmake --build --preset fuzz -j "$jobs" --target "${fuzzers[@]}"
fi
for name in "${fuzzers[@]}"; do
  fuzzer="build/fuzz/bin/$name"
  corpus="build/fuzz/corpus/$name"
  mkdir -p "$corpus"
  seeds=()
  [ -d "fuzz/corpus/$name" ] && seeds=("fuzz/corpus/$name")
  step "fuzz: $name for ${fuzz_seconds}s"
  log="build/fuzz/$name.log"
  if ! "$fuzzer" -max_total_time="$fuzz_seconds" -print_final_stats=1 "$corpus" "${seeds[@]}" \
      >"$log" 2>&1; then
    tail -n 40 "$log" >&2
    echo "fuzz target $name found a fault" >&2
    exit 1
  fi
  grep -E 'stat::number_of_executed_units|Done' "$log" || true
done
echo "all test builds passed"
