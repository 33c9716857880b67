#!/bin/sh
# The headless watcher run as a user runs it: peer.cfg in the working directory, files arriving,
# renamed and deleted, then Ctrl+C (SIGINT). Its log must hold, time stamps aside, the very
# bytes that the POSIX build wrote for the same events (fixtures/inbox.log, made by this script
# with PEERWELL_WRITE_FIXTURE=1 and the POSIX peerwell-watch).
# Usage: peerwell-watch-e2e.sh FIXTURES PROGRAM [RUNNER]   (RUNNER: wine64 for a .exe)
set -eu
fixtures=$1
program=$2
runner=${3:-}

work=$(mktemp -d)
pid=
cleanup() {
    [ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
mkdir "$work/in"

fail() {
    echo "FAIL: $*" >&2
    for f in out.txt err.txt in.log; do
        [ -f "$work/$f" ] && { echo "--- $f" >&2; cat "$work/$f" >&2; }
    done
    exit 1
}

# The path as the program sees it: Wine maps the Unix root to drive Z:.
program_path() {
    case "$program" in
    *.exe) printf 'Z:%s' "$1" | tr / '\\' ;;
    *) printf '%s' "$1" ;;
    esac
}

# until_true SECONDS COMMAND...: runs the command every tenth of a second until it succeeds.
until_true() {
    tries=$(($1 * 10))
    shift
    while ! "$@"; do
        tries=$((tries - 1))
        [ "$tries" -gt 0 ] || return 1
        sleep 0.1
    done
}

logged() { grep -qF " $1" "$work/in.log" 2>/dev/null; }
expect_logged() { until_true 30 logged "$1" || fail "no line \"$1\" in the log"; }
running() { kill -0 "$pid" 2>/dev/null; }

printf '%s\r\n' '**************************************' '***   Do not change this file!!!   ***' \
    '**************************************' \
    "\"$(program_path "$work/in")\" \"Inbox\" \"*\" \"*.txt\" \"0\" \"$(program_path "$work/in.log")\" \"\"" \
    >"$work/peer.cfg"
cp "$work/peer.cfg" "$work/peer.cfg.before"

cd "$work"
$runner "$program" >out.txt 2>err.txt &
pid=$!

# Probe files until one is reported: from then on every change is seen.
probe=0
probe_reported() {
    probe=$((probe + 1))
    : >"in/probe$probe.txt"
    logged '[+] Inbox\probe'
}
until_true 60 probe_reported || fail "the watcher reported no probe file"

: >in/report.txt
expect_logged '[+] Inbox\report.txt'
: >in/skipped.tmp
: >in/second.txt
expect_logged '[+] Inbox\second.txt'
mv in/report.txt in/renamed.txt
expect_logged '[-] Inbox\report.txt'
rm in/second.txt
expect_logged '[-] Inbox\second.txt'

kill -INT "$pid"
until_true 30 sh -c "! kill -0 $pid 2>/dev/null" || fail "the watcher did not end at SIGINT"
status=0
wait "$pid" || status=$?
pid=
[ "$status" -eq 0 ] || fail "the watcher ended with status $status"

# Stamps are 16 characters: "YYYY.MM.DD hh:mm".
grep -qvE '^[0-9]{4}\.[0-9]{2}\.[0-9]{2} [0-9]{2}:[0-9]{2} \[[+-]\] Inbox\\' in.log &&
    fail "a log line without its time stamp, tag or label"
events() { grep -v 'probe' "$1" | cut -c17-; }
if [ "${PEERWELL_WRITE_FIXTURE:-}" = 1 ]; then
    grep -v probe in.log >"$fixtures/inbox.log"
fi
events in.log >events.txt
events "$fixtures/inbox.log" >expected.txt
cmp -s events.txt expected.txt || fail "the log differs from fixtures/inbox.log:
$(od -c events.txt | head -20)"
tr -d '\r' <events.txt >events-lf.txt
grep -v probe out.txt | tr -d '\r' | grep -E '^[0-9]{4}' | cut -c17- >printed.txt
cmp -s events-lf.txt printed.txt || fail "standard output does not repeat the log lines"
cmp -s peer.cfg peer.cfg.before || fail "peer.cfg was written"
echo "peerwell-watch: every event logged as the POSIX build logs it; ended at SIGINT"
