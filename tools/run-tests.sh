#!/usr/bin/env bash
# Builds and runs every test: one clang build under AddressSanitizer with UndefinedBehaviorSanitizer
# (warnings as errors) runs all of them, the checks over the sources and the package, and builds
# the benchmarks; a clang build under ThreadSanitizer (warnings as errors) runs the tests that cross
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

# While the AddressSanitizer tests run, the ThreadSanitizer and fuzz builds compile beside them at
# the lowest priority: the tests spend much of their time waiting (the JACK tests run one at a
# time), and they get the processors back whenever they want them. The builds' output goes to a
# log, shown when they fail. The rest of the fuzz build goes on beside the ThreadSanitizer tests,
# also at the lowest priority: those tests are the slowest to answer the JACK server, whose cycles
# wait for every client, so they never share the processors on equal terms.

background_pid=""
background_log=""
build_in_background() {  # LOG COMMAND...
  background_log=$1
  shift
  # A session of its own, so that a failed test run ends all it started (cmake, ninja and the
  # compilers) with its process group. Where the kernel groups processes by session, niceness
  # only ranks processes within a group; the group's own niceness ranks it against the tests.
  setsid bash -c 'echo 19 >/proc/self/autogroup 2>/dev/null; exec nice -n 19 "$@"' \
    lowest-priority "$@" >"$background_log" 2>&1 &
  background_pid=$!
}
wait_for_background_build() {
  local status=0
  [ -n "$background_pid" ] || return 0
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

# A failed run over JACK shows what the server logged: a client it gave up on, or cycles that
# took seconds.
run_tests() {  # PRESET
  local status=0
  ctest --preset "$1" -j "$test_jobs" --timeout 600 || status=$?
  if [ "$status" -ne 0 ] && [ -f "build/$1/jack/jackd.log" ]; then
    echo "--- the JACK server's log, $(grep -c XRun "build/$1/jack/jackd.log") late cycles; its end:"
    grep -v XRun "build/$1/jack/jackd.log" | tail -n 30
  fi
  return "$status"
}

step "tests: asan, beside them build: tsan, then fuzz"
cmake --preset tsan >/dev/null
cmake --preset fuzz >/dev/null
mapfile -t fuzzers < <(ninja -C build/fuzz -t targets all | sed -n 's/^\(fuzz_[A-Za-z0-9_]*\): .*/\1/p' | sort -u)
# Only the tests that cross threads, and what they start; a mark when they are built, or not.
tsan_mark=build/tsan/orvo-tests
rm -f "$tsan_mark".*
build_in_background build/background-build.log bash -c '
  jobs=$1 mark=$2
  shift 2
  cmake --build --preset tsan -j "$jobs" --target orvo_tests || { touch "$mark.failed"; exit 1; }
  touch "$mark.built"
  [ "$#" -eq 0 ] || cmake --build --preset fuzz -j "$jobs" --target "$@"' builds "$jobs" \
  "$tsan_mark" "${fuzzers[@]}"
run_tests asan
step "build: tsan, the rest"
while [ ! -e "$tsan_mark.built" ]; do
  [ ! -e "$tsan_mark.failed" ] || wait_for_background_build
  sleep 1
done

step "tests: tsan, beside them build: fuzz"
run_tests tsan
step "build: fuzz, the rest"
wait_for_background_build

step "fuzz: ${#fuzzers[@]} targets for ${fuzz_seconds}s each"
tools/run-fuzzers.sh "$fuzz_seconds" "$jobs" "${fuzzers[@]}"
step "all test builds passed"
