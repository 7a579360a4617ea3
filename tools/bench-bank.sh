#!/usr/bin/env bash
# The bank against orvo-sim: the time to read 99 locations and to send 99 changed ones verified,
# clean and with faults, over a private JACK server. Builds bench_bank in the test
# preset, starts the server, runs the benchmark and stops the server again.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset test >/dev/null
cmake --build --preset test --target bench_bank -j2
state="build/test/jack-bench"
tools/jack/jack-server.sh start "$state" orvo-bench
trap 'tools/jack/jack-server.sh stop "$state"' EXIT
tools/jack/jack-server.sh run "$state" build/test/bin/bench_bank "$@"
