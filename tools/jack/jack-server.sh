#!/usr/bin/env bash
# Starts and stops a private JACK server (dummy driver, synchronous, no realtime scheduling) for
# the MIDI tests.
#   jack-server.sh start STATEDIR [POOL]   start one and wait until it accepts clients
#   jack-server.sh stop  STATEDIR          stop the one started with STATEDIR
#   jack-server.sh run   STATEDIR CMD...   run CMD with JACK_DEFAULT_SERVER set to that server
#
# The server's name is the first free one of POOL-0 .. POOL-5 (POOL defaults to "orvo-test"):
# jackd keeps at most 8 server names in its registry in /dev/shm, and a server that did not end
# cleanly keeps its entry until one of the same name starts again. Fresh names per run would
# fill the registry after a few killed runs; names from a small pool reclaim their own entries.
# A name is taken while its jackd holds the name's lock file, so it is free again however the
# server ended.
#
# The server runs synchronously (-S): in the asynchronous mode a slow client can read a buffer
# that the next cycle is already rewriting, which tears long messages apart.
#
# When no server comes up the tests that need one skip, except under CI (the variable CI set),
# where that fails the run.
set -u
action=${1:?start, stop or run}
state=${2:?state folder}
pool=${3:-orvo-test}
namefile="$state/server-name"
pidfile="$state/jackd.pid"
locks=${TMPDIR:-/tmp}/orvo-jack-locks

is_ours() {  # the process is the jackd we started under this name
  local pid=$1 name=$2
  [ -r "/proc/$pid/cmdline" ] && tr '\0' ' ' <"/proc/$pid/cmdline" | grep -q -- "-n $name "
}

fail_or_skip() {
  if [ -n "${CI:-}" ]; then
    echo "error: $*; under CI the MIDI tests must run" >&2
    exit 1
  fi
  echo "$*: the MIDI tests that need JACK will skip"
  exit 0
}

stop_server() {
  [ -f "$pidfile" ] && [ -f "$namefile" ] || return 0
  local pid name
  pid=$(cat "$pidfile")
  name=$(cat "$namefile")
  if [ -n "$pid" ] && is_ours "$pid" "$name"; then
    kill -TERM "$pid" 2>/dev/null
    # A synchronous server takes some seconds to end once a client has used it; one killed
    # sooner leaves its registry entry, which the next start of the same name reclaims.
    for _ in $(seq 150); do
      is_ours "$pid" "$name" || break
      sleep 0.1
    done
    if is_ours "$pid" "$name"; then
      echo "jackd $name did not stop within 15 s; killing it"
      kill -KILL "$pid" 2>/dev/null
    fi
    # The semaphores of clients still connected when it stopped outlive it in /dev/shm; the name
    # is ours until its next start, which takes the lock first.
    rm -f /dev/shm/jack_sem."$(id -u)"_"$name"_* 2>/dev/null
  fi
  rm -f "$pidfile" "$namefile"
}

ready() {
  JACK_DEFAULT_SERVER=$1 timeout 5 jack_wait -c 2>/dev/null | grep -qx running
}

start_named() {  # start jackd as NAME if its lock is free; true once it accepts clients
  local name=$1 lock="$locks/$1.lock" log="$state/jackd.log"
  flock -n "$lock" true 2>/dev/null || return 1
  # jackd replaces flock (no fork) and keeps the lock open for as long as it runs, so the pid
  # below is the server's.
  setsid flock -n -F "$lock" jackd -n "$name" -S -r -d dummy -r 48000 -p 256 </dev/null >"$log" 2>&1 &
  local pid=$!
  echo "$pid" >"$pidfile"
  echo "$name" >"$namefile"
  for _ in $(seq 100); do
    if is_ours "$pid" "$name" && ready "$name"; then
      echo "jackd $name accepts clients"
      return 0
    fi
    if ! kill -0 "$pid" 2>/dev/null; then
      flock -n "$lock" true 2>/dev/null || { rm -f "$pidfile" "$namefile"; return 1; }  # taken meanwhile
      break
    fi
    sleep 0.1
  done
  echo "jackd $name did not come up:"
  tail -n 20 "$log"
  stop_server
  return 2
}

case "$action" in
start)
  mkdir -p "$state" "$locks"
  stop_server  # one left behind by an interrupted run
  command -v jackd >/dev/null 2>&1 || fail_or_skip "jackd is not installed"
  command -v flock >/dev/null 2>&1 || fail_or_skip "flock is not installed"
  for slot in 0 1 2 3 4 5; do
    start_named "$pool-$slot"
    case $? in
      0) exit 0 ;;
      2) fail_or_skip "no JACK server could be started" ;;
    esac
  done
  fail_or_skip "every server name of $pool-0..5 is taken"
  ;;
stop)
  stop_server
  exit 0
  ;;
run)
  shift 2
  if [ -f "$namefile" ]; then
    JACK_DEFAULT_SERVER=$(cat "$namefile")
    export JACK_DEFAULT_SERVER
  fi
  exec "$@"
  ;;
*)
  echo "usage: $0 start|stop|run STATEDIR ..." >&2
  exit 2
  ;;
esac
