# Sourced by the end-to-end tests: a private X server with a window manager and a tray, the
# program under test started in a temporary directory, and checks that wait with deadlines.
# Everything started here is ended by the EXIT trap.

set -eu

E2E_PIDS=""
E2E_FAILED=0
E2E_TMP=$(mktemp -d "${TMPDIR:-/tmp}/peerwell-e2e.XXXXXX")

e2e_cleanup() {
    status=$?
    for pid in $E2E_PIDS; do
        kill "$pid" 2>/dev/null || true
    done
    for pid in $E2E_PIDS; do
        wait_gone "$pid" 5 || kill -9 "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$E2E_TMP"
    exit "$status"
}
trap e2e_cleanup EXIT
trap 'exit 130' INT TERM

# Keep the desktop session of the machine out: no session bus, no settings of the user.
unset DBUS_SESSION_BUS_ADDRESS SESSION_MANAGER WAYLAND_DISPLAY
export HOME="$E2E_TMP/home" XDG_CONFIG_HOME="$E2E_TMP/home/.config"
export XDG_RUNTIME_DIR="$E2E_TMP/runtime" QT_QPA_PLATFORM=xcb
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"

fail() {
    echo "FAIL: $*" >&2
    if [ -n "${PEERWELL_PID:-}" ]; then
        is_running "$PEERWELL_PID" || echo "The program has ended." >&2
        echo "Its output:" >&2
        cat "$WORK/peerwell.out" >&2 2>/dev/null || true
    fi
    exit 1
}

# A process that has ended but was not waited for yet is a zombie: not running any more.
is_running() {
    [ -r "/proc/$1/stat" ] && ! sed 's/.*) //' "/proc/$1/stat" 2>/dev/null | grep -q '^Z'
}

# wait_gone PID SECONDS: true once the process has ended.
wait_gone() {
    local deadline=$(($(date +%s) + $2))
    while is_running "$1"; do
        [ "$(date +%s)" -lt "$deadline" ] || return 1
        sleep 0.1
    done
}

# wait_until SECONDS COMMAND...: runs COMMAND until it succeeds; false when the deadline passes.
wait_until() {
    local deadline=$(($(date +%s) + $1)) # its own: the command may be wait_gone
    shift
    until "$@" >/dev/null 2>&1; do
        [ "$(date +%s)" -lt "$deadline" ] || return 1
        sleep 0.2
    done
}

# expect DESCRIPTION SECONDS COMMAND...: one check of the test, reported as a sentence.
expect() {
    what=$1
    shift
    if wait_until "$@"; then
        echo "ok - $what"
    else
        E2E_FAILED=1
        echo "not ok - $what" >&2
        return 1
    fi
}

finish() {
    [ "$E2E_FAILED" -eq 0 ] || fail "some checks failed"
    echo "all checks passed"
}
