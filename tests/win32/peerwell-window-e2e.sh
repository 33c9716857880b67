#!/bin/sh
# Runs the window tests of peerwell.exe on a display of their own: Xvfb, started here.
# Usage: peerwell-window-e2e.sh TESTS PROGRAM RUNNER
set -eu
tests=$1
program=$2
runner=$3

display=
for n in $(seq 90 130); do
    [ -e "/tmp/.X$n-lock" ] || { display=":$n"; break; }
done
[ -n "$display" ] || { echo "no free X display number" >&2; exit 1; }
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true' EXIT
tries=100
until [ -e "/tmp/.X11-unix/X${display#:}" ]; do
    tries=$((tries - 1))
    [ "$tries" -gt 0 ] || { echo "Xvfb did not start" >&2; exit 1; }
    sleep 0.1
done

DISPLAY=$display PEERWELL_EXE=$program $runner "$tests"
