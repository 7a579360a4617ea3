#!/usr/bin/env bash
# Builds and runs every test: one clang build under AddressSanitizer with UndefinedBehaviorSanitizer
# (warnings as errors) runs all of them, the checks over the sources and the package, and builds
# the benchmarks; a g++ build under ThreadSanitizer (warnings as errors) runs the tests that cross
# threads again; then each fuzz target runs for a bounded time, one a core. The fuzz targets are
# a build of their own: the fuzzer's coverage hooks in every comparison would make the tests'
# programs many times slower.
# Exits non-zero on the first failure.
#
# The `test` preset (g++, optimised, no sanitizer) is the everyday build of a developer and of
# the benchmarks' figures; the builds here run the same tests under the sanitizers.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
# Many tests spend their time waiting for a reply, a timer or another process, so one test more
# than there are cores keeps them busy; the tests on the JACK server run one at a time anyway.
test_jobs=$((jobs + 1))
fuzz_seconds=${ORVO_FUZZ_SECONDS:-30}
export QT_QPA_PLATFORM=offscreen
# No test needs a session bus, and launching one forks the program under test (see
# tools/xvfb/on-xvfb.sh): every test gets an address that leads nowhere.
export DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent/orvo-tests-have-no-session-bus
# Out of memory is a result the code handles (a buffer that stays as it was, no bitmap), so an
# impossible allocation returns null under the sanitizers as it does without them.
export ASAN_OPTIONS=${ASAN_OPTIONS:-allocator_may_return_null=1}

step() { printf '\n=== %s (%s s)\n' "$*" "$SECONDS"; }

# While the tests of one build run, the next build compiles beside them at the lowest priority:
# the tests spend much of their time waiting (the JACK tests run one at a time), and they get the
# processors back whenever they want them. Its output goes to a log, shown when it fails.
background_pid=""
background_log=""
build_in_background() {  # PRESET LOG [cmake --build arguments...]
  local preset=$1
  background_log=$2
  shift 2
  # A session of its own, so that a failed test run ends the whole build (cmake, ninja and the
  # compilers) with its process group.
  setsid nice -n 19 cmake --build --preset "$preset" -j "$jobs" "$@" >"$background_log" 2>&1 &
  background_pid=$!
}
wait_for_background_build() {
  local status=0
  wait "$background_pid" || status=$?
  background_pid=""
  if [ "$status" -ne 0 ]; then
    tail -n 60 "$background_log" >&2
    echo "the build logged in $background_log failed" >&2
    exit 1
  fi
  echo "built, log in $background_log"
}
trap '[ -z "$background_pid" ] || kill -- "-$background_pid" 2>/dev/null || true' EXIT

step "build: asan"
cmake --preset asan >/dev/null
cmake --build --preset asan -j "$jobs"

step "tests: asan, beside them build: tsan"
cmake --preset tsan >/dev/null
# Only the tests that cross threads, and what they start.
build_in_background tsan build/tsan-build.log --target orvo_tests
ctest --preset asan -j "$test_jobs" --timeout 600
step "build: tsan, the rest"
wait_for_background_build

step "tests: tsan, beside them build: fuzz"
cmake --preset fuzz >/dev/null
mapfile -t fuzzers < <(ninja -C build/fuzz -t targets all | sed -n 's/^\(fuzz_[A-Za-z0-9_]*\): .*/\1/p' | sort -u)
if [ ${#fuzzers[@]} -gt 0 ]; then
  build_in_background fuzz build/fuzz-build.log --target "${fuzzers[@]}"
fi
ctest --preset tsan -j "$test_jobs" --timeout 600
if [ ${#fuzzers[@]} -gt 0 ]; then
  step "build: fuzz, the rest"
  wait_for_background_build
fi

# One fuzz target for fuzz_seconds; its log is shown when it found a fault.
fuzz_one() {
  local name=$1
  local corpus="build/fuzz/corpus/$name" log="build/fuzz/$name.log"
  local seeds=()
  mkdir -p "$corpus"
  [ -d "fuzz/corpus/$name" ] && seeds=("fuzz/corpus/$name")
  if ! "build/fuzz/bin/$name" -max_total_time="$fuzz_seconds" -print_final_stats=1 "$corpus" \
      "${seeds[@]}" >"$log" 2>&1; then
    tail -n 40 "$log" >&2
    echo "fuzz target $name found a fault" >&2
    return 1
  fi
  printf '%s: %s\n' "$name" "$(grep -E 'stat::number_of_executed_units' "$log" | tr -s ' ')"
}

# One target a core at a time.
step "fuzz: ${#fuzzers[@]} targets for ${fuzz_seconds}s each"
failed=0
running=0
for name in "${fuzzers[@]}"; do
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
[ "$failed" -eq 0 ] || exit 1
step "all test builds passed"
