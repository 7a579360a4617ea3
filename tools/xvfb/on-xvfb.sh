#!/usr/bin/env bash
# Runs a command as a desktop program on a private virtual X server (Qt's xcb platform), so that
# tests of the whole program see real window geometry: Qt's offscreen platform moves a window
# by its made-up frame each time the window changes size.
#   on-xvfb.sh CMD...
# ORVO_XVFB_SCREEN sets the screen's size (2600x2000 when unset): the panel's zoom is held to the
# screen, so a real 200 % wants a larger one, as the start-up benchmark does.
# Without xvfb-run the command runs on the offscreen platform instead, except under CI (the
# variable CI set), where the test command installed Xvfb and its absence is an error.
set -u
#
# The tests get a session bus address that leads nowhere. Without one, Qt's D-Bus connection on a
# display forks a child to launch a bus; under AddressSanitizer that child can wait for ever on an
# allocator lock another thread held at the fork, and the program waits for the child: it never
# paints and, its event loop blocked, never hears SIGTERM.
export DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent/orvo-tests-have-no-session-bus
if command -v xvfb-run >/dev/null 2>&1 && command -v xauth >/dev/null 2>&1; then
  export QT_QPA_PLATFORM=xcb
  exec xvfb-run -a -s "-screen 0 ${ORVO_XVFB_SCREEN:-2600x2000}x24 -nolisten tcp" "$@"
fi
if [ -n "${CI:-}" ]; then
  echo "error: xvfb-run or xauth is missing; under CI the program tests must run on X" >&2
  exit 1
fi
echo "xvfb-run is missing: running on the offscreen platform" >&2
export QT_QPA_PLATFORM=offscreen
exec "$@"
