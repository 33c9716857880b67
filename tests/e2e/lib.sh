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

spawn() {
    "$@" &
    LAST_PID=$!
    E2E_PIDS="$LAST_PID $E2E_PIDS"
}

start_desktop() {
    fifo="$E2E_TMP/displayfd"
    mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$fifo" \
        >"$E2E_TMP/xvfb.log" 2>&1 &
    E2E_PIDS="$! $E2E_PIDS"
    read -r number <"$fifo" || fail "Xvfb did not start: $(cat "$E2E_TMP/xvfb.log")"
    export DISPLAY=":$number"
    wait_until 20 xprop -root || fail "Xvfb does not answer: $(cat "$E2E_TMP/xvfb.log")"
    # On a loaded machine openbox has been seen to give up on a display that had just answered.
    for attempt in 1 2 3; do
        spawn openbox --sm-disable >"$E2E_TMP/openbox.log" 2>&1
        wait_until 20 window_manager_running && break
        is_running "$LAST_PID" && attempt=3
        echo "openbox: $(cat "$E2E_TMP/openbox.log")" >&2
        [ "$attempt" -lt 3 ] || fail "openbox did not start: $(cat "$E2E_TMP/openbox.log")"
    done
    spawn trayer --edge bottom --align right --widthtype request --expand false \
        >"$E2E_TMP/trayer.log" 2>&1
    wait_until 20 tray_panel || fail "trayer did not start: $(cat "$E2E_TMP/trayer.log")"
    EMPTY_PANEL=$(panel_windows | wc -l)
}

window_manager_running() {
    xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'
}

# The window of trayer that holds the embedded icons.
tray_panel() {
    xwininfo -root -tree | awk '/"panel": \("panel" "trayer"\)/ { print $1; found = 1; exit }
                                END { exit !found }'
}

# start_peerwell PROGRAM DIR [ARG...]: starts the program in DIR, its output in DIR/peerwell.out.
start_peerwell() {
    program=$(realpath "$1")
    dir=$2
    shift 2
    (cd "$dir" && exec "$program" "$@") >"$dir/peerwell.out" 2>&1 &
    PEERWELL_PID=$!
    E2E_PIDS="$PEERWELL_PID $E2E_PIDS"
}

# Every window below the tray panel, as decimal numbers.
panel_windows() {
    panel=$(tray_panel) || return 1
    for id in $(xwininfo -tree -id "$panel" | awk '/^ +0x/ { print $1 }'); do
        echo $((id))
    done
}

# The program's window embedded in the tray panel.
tray_icon() {
    inside=$(panel_windows) || return 1
    for own in $(xdotool search --pid "$PEERWELL_PID" 2>/dev/null); do
        echo "$inside" | grep -qx "$own" && { echo "$own"; return 0; }
    done
    return 1
}

# True once the panel holds no more windows than before the program started.
tray_is_empty() {
    [ "$(panel_windows | wc -l)" -eq "$EMPTY_PANEL" ]
}

# The one mapped top-level window of the program titled TITLE (the tray icon, which may carry the
# application's name too, does not count).
visible_window() {
    inside=$(panel_windows) || return 1
    found=""
    for id in $(xdotool search --all --onlyvisible --pid "$PEERWELL_PID" --name "^$1\$" 2>/dev/null); do
        echo "$inside" | grep -qx "$id" || found="$found $id"
    done
    # shellcheck disable=SC2086 # one word per window
    set -- $found
    [ $# -eq 1 ] || return 1
    echo "$1"
}

is_viewable() {
    xwininfo -id "$1" | grep -q 'Map State: IsViewable'
}

is_hidden() {
    ! is_viewable "$1"
}

# The outer size of a window: its own size plus the frame the window manager draws around it.
outer_size() {
    geometry=$(xwininfo -id "$1" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 }
                                        END { print w, h }')
    extents=$(xprop -id "$1" _NET_FRAME_EXTENTS | sed -n 's/.*= //p' | tr -d ,)
    # shellcheck disable=SC2086 # width, height, then left, right, top and bottom
    set -- $geometry ${extents:-0 0 0 0}
    echo "$(($1 + $3 + $4))x$(($2 + $5 + $6))"
}

has_outer_size() {
    [ "$(outer_size "$1")" = "$2" ]
}

double_click() {
    xdotool mousemove --window "$1" 8 8 click --repeat 2 --delay 120 1
}

# keys WINDOW KEY...: focuses the window and types the keys into it.
keys() {
    window=$1
    shift
    xdotool windowactivate --sync "$window" >/dev/null 2>&1 || xdotool windowfocus --sync "$window"
    xdotool key --clearmodifiers --delay 80 "$@"
}

# record PATH ALIAS KIND MASK ATTRIB LOG WAV: one record line of peer.cfg.
record() {
    printf '"%s" "%s" "%s" "%s" "%s" "%s" "%s"' "$@"
}

# write_config FILE RECORD...: a peer.cfg with its header and one line per record, CR LF ended.
write_config() {
    file=$1
    shift
    printf '%s\r\n' \
        '**************************************' \
        '***   Do not change this file!!!   ***' \
        '**************************************' "$@" >"$file"
}

not() {
    ! "$@"
}

file_contains() {
    grep -qF -- "$2" "$1"
}

screenshot() {
    mkdir -p "$(dirname "$2")"
    import -window "$1" -frame "$2"
}

finish() {
    [ "$E2E_FAILED" -eq 0 ] || fail "some checks failed"
    echo "all checks passed"
}
