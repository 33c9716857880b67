#!/bin/sh
# Runs the window tests of peerwell.exe on a display of their own: Xvfb and a window manager,
# started here. Without the window manager Wine waits up to 2 s for each window to go.
# Usage: peerwell-window-e2e.sh TESTS PROGRAM RUNNER
set -eu
tests=$1
program=$2
runner=$3

work=$(mktemp -d)
pids=
trap 'kill $pids 2>/dev/null || true; rm -rf "$work"' EXIT
mkfifo "$work/displayfd"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/displayfd" >"$work/xvfb.log" 2>&1 &
pids=$!
read -r number <"$work/displayfd" || { cat "$work/xvfb.log" >&2; exit 1; }
DISPLAY=:$number openbox --sm-disable >/dev/null 2>&1 &
pids="$! $pids"

# The program by its Windows path: Wine maps the Unix root to drive Z:.
DISPLAY=:$number PEERWELL_EXE="Z:$(printf %s "$program" | tr / '\\')" $runner "$tests"
