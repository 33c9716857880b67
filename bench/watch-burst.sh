#!/bin/sh
# peerwell-watch beside inotifywait: see bench/watch-bench.cpp (burst).
set -eu
. "$(dirname "$0")/lib/watch.sh"
run_watch_case burst
