#!/bin/sh
# peerwell-watch on a share (a bindfs mount): see bench/watch-bench.cpp (share).
set -eu
. "$(dirname "$0")/lib/watch.sh"
ensure_packages bindfs fuse3
run_watch_case share
