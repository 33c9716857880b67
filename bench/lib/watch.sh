# Sourced by the watch benchmarks: installs inotifywait, builds peerwell-watch and the driver,
# and runs one case of the driver: run_watch_case latency|burst|churn|idle.
repo=$(cd "$(dirname "$0")/.." && pwd)
. "$repo/scripts/lib/packages.sh"
ensure_packages inotify-tools

build=${PEERWELL_BUILD_DIR:-$repo/build}
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$repo" --preset release -B "$build" >/dev/null
fi
cmake --build "$build" -j "$(nproc)" --target peerwell-watch watch-bench >/dev/null

# Big directories go to a disk-backed folder, not a tmpfs.
work=${PEERWELL_BENCH_DIR:-/var/tmp/peerwell-bench}

run_watch_case() {
    "$build/bench/watch-bench" "$1" "$build/peerwell-watch" "$work"
}
