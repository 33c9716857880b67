#!/bin/sh
# peerwell-watch beside inotifywait: see bench/watch-bench.cpp (burst on disk, then on a tmpfs).
set -eu
. "$(dirname "$0")/lib/watch.sh"
status=0
run_watch_case burst || status=1
run_watch_case burst-tmpfs || status=1
exit "$status"
