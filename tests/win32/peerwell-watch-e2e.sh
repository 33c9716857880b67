#!/bin/sh
# The headless watcher run as a user runs it: peer.cfg in the working directory, files arriving,
# renamed and deleted, then Ctrl+C (SIGINT). Its log must hold, time stamps aside, the very
# bytes that the POSIX build wrote for the same events (fixtures/inbox.log).
# Usage: peerwell-watch-e2e.sh FIXTURES PROGRAM.exe RUNNER   (RUNNER: wine or wine64)
set -eu
fixtures=$1
program=$2
runner=$3

work=$(mktemp -d)
pid=
trap '[ -z "$pid" ] || kill -KILL "$pid" 2>/dev/null || true; rm -rf "$work"' EXIT
mkdir "$work/in"

fail() {
    echo "FAIL: $*" >&2
    tail -n +1 out.txt err.txt in.log >&2
    exit 1
}

# The path as the program sees it: Wine maps the Unix root to drive Z:.
program_path() { printf 'Z:%s' "$1" | tr / '\\'; }

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
wait "$pid" || fail "the watcher ended with status $?"
pid=

# The lines without the probes and the time stamps ("YYYY.MM.DD hh:mm").
events() { grep -v probe "$1" | cut -c17-; }
events in.log >events.txt
events "$fixtures/inbox.log" >expected.txt
cmp events.txt expected.txt || fail "the log differs from fixtures/inbox.log"
grep -E '^[0-9]{4}' out.txt | events - | tr -d '\r' >printed.txt
tr -d '\r' <events.txt | cmp -s - printed.txt ||
    fail "standard output does not repeat the log lines"
cmp -s peer.cfg peer.cfg.before || fail "peer.cfg was written"
echo "peerwell-watch: every event logged as the POSIX build logs it; ended at SIGINT"
