#!/usr/bin/env bash
# Starts and stops the private JACK server (dummy driver, no realtime scheduling) that the MIDI
# tests talk through.
#   jack-server.sh start NAME STATEDIR   start it and wait until it accepts clients
#   jack-server.sh stop  NAME STATEDIR   stop it, waiting a bounded time
# Starting never fails the test run: when no server comes up, the tests that need one skip.
set -u
action=${1:?start or stop}
name=${2:?server name}
state=${3:?state folder}
pidfile="$state/jackd-$name.pid"
logfile="$state/jackd-$name.log"

is_ours() {  # the process is the jackd we started under this name
  local pid=$1
  [ -r "/proc/$pid/cmdline" ] && tr '\0' ' ' <"/proc/$pid/cmdline" | grep -q -- "-n $name "
}

stop_server() {
  [ -f "$pidfile" ] || return 0
  local pid
  pid=$(cat "$pidfile")
  if [ -n "$pid" ] && is_ours "$pid"; then
    kill -TERM "$pid" 2>/dev/null
    for _ in $(seq 50); do
      is_ours "$pid" || break
      sleep 0.1
    done
    if is_ours "$pid"; then
      echo "jackd $name did not stop within 5 s; killing it"
      kill -KILL "$pid" 2>/dev/null
    fi
  fi
  rm -f "$pidfile"
}

ready() {
  JACK_DEFAULT_SERVER=$name timeout 5 jack_wait -c 2>/dev/null | grep -qx running
}

case "$action" in
start)
  mkdir -p "$state"
  stop_server  # one left behind by an interrupted run
  if ! command -v jackd >/dev/null 2>&1; then
    echo "jackd is not installed: the MIDI tests that need JACK will skip"
    exit 0
  fi
  setsid jackd -n "$name" -r -d dummy -r 48000 -p 256 </dev/null >"$logfile" 2>&1 &
  echo $! >"$pidfile"
  for _ in $(seq 100); do
    if ready; then
      echo "jackd $name accepts clients"
      exit 0
    fi
    is_ours "$(cat "$pidfile")" || break
    sleep 0.1
  done
  echo "jackd $name did not come up: the MIDI tests that need JACK will skip"
  tail -n 20 "$logfile"
  stop_server
  exit 0
  ;;
stop)
  stop_server
  exit 0
  ;;
*)
  echo "usage: $0 start|stop NAME STATEDIR" >&2
  exit 2
  ;;
esac
