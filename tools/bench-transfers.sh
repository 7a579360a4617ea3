#!/usr/bin/env bash
# Programs per second each way: write-all and save-all of 99 programs between a folder and
# orvo-sim (no reply delay) over a private JACK server. Builds bench_transfers in the test
# preset, starts the server, runs the benchmark and stops the server again.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset test >/dev/null
cmake --build --preset test --target bench_transfers
state="build/test/jack-bench"
tools/jack/jack-server.sh start "$state" orvo-bench
trap 'tools/jack/jack-server.sh stop "$state"' EXIT
tools/jack/jack-server.sh run "$state" build/test/bin/bench_transfers "$@"
