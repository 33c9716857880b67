#!/bin/bash
# The desktop program on a real X server with a window manager (openbox) and a tray (trayer),
# driven from outside with xdotool like a user would: its arguments, a start in the tray, window,
# tray icon, hiding and showing, logging, the menus, and the close question.
# Usage: main-window.sh PROGRAM
# shellcheck source=tests/e2e/lib.sh
. "$(dirname "$0")/lib.sh"
program=$(realpath "$1")

spawn() {
    "$@" &
    E2E_PIDS="$! $E2E_PIDS"
}

start_desktop() {
    mkfifo "$E2E_TMP/displayfd"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$E2E_TMP/displayfd" \
        >"$E2E_TMP/xvfb.log" 2>&1 &
    E2E_PIDS="$! $E2E_PIDS"
    read -r number <"$E2E_TMP/displayfd" || fail "Xvfb did not start: $(cat "$E2E_TMP/xvfb.log")"
    export DISPLAY=":$number"
    wait_until 20 xprop -root || fail "Xvfb does not answer: $(cat "$E2E_TMP/xvfb.log")"
    # On a loaded machine openbox has been seen to give up on a display that had just answered.
    for attempt in 1 2 3; do
        spawn openbox --sm-disable >"$E2E_TMP/openbox.log" 2>&1
        wait_until 20 window_manager_running && break
        [ "$attempt" -lt 3 ] || fail "openbox did not start: $(cat "$E2E_TMP/openbox.log")"
    done
    spawn trayer --edge bottom --align right --widthtype request --expand false
    wait_until 20 tray_panel || fail "trayer did not start"
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

tray_is_empty() {
    [ "$(panel_windows | wc -l)" -eq "$EMPTY_PANEL" ]
}

# The one mapped top-level window of the program titled TITLE, the tray icon left out.
visible_window() {
    inside=$(panel_windows) || return 1
    found=""
    for id in $(xdotool search --all --onlyvisible --pid "$PEERWELL_PID" --name "^$1\$" 2>/dev/null); do
        echo "$inside" | grep -qx "$id" || found="$found $id"
    done
    # shellcheck disable=SC2086 # one word per window
    set -- $found
    [ $# -eq 1 ] && echo "$1"
}

is_viewable() {
    xwininfo -id "$1" | grep -q 'Map State: IsViewable'
}

is_hidden() {
    ! is_viewable "$1"
}

not() {
    ! "$@"
}

size() {
    xwininfo -id "$1" | awk '/Width:|Height:/ { printf "%s ", $2 }'
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

# The actions the window manager offers on a window (openbox sets them on each one it manages).
minimisable_not_resizable() {
    actions=$(xprop -id "$1" _NET_WM_ALLOWED_ACTIONS)
    case "$actions" in *_NET_WM_ACTION_MINIMIZE*) ;; *) return 1 ;; esac
    ! echo "$actions" | grep -Eq '_NET_WM_ACTION_(RESIZE|MAXIMIZE)'
}

# Started minimised, the frame is withdrawn: neither shown nor an icon on a task bar.
only_the_tray_icon() {
    inside=$(panel_windows) || return 1
    for id in $(xdotool search --all --pid "$PEERWELL_PID" --name '^Peerwell$' 2>/dev/null); do
        echo "$inside" | grep -qx "$id" && continue
        is_hidden "$id" && ! xprop -id "$id" WM_STATE | grep -q Iconic || return 1
    done
}

WORK="$E2E_TMP/work"
mkdir -p "$WORK/inbox" "$WORK/quiet"
printf '%s\r\n' '***' '***' '***' "\"$WORK/inbox\" \"Inbox\" \"*\" \"*.*\" \"0\" \"$WORK/inbox.log\" \"\"" \
    "\"$WORK/quiet\" \"\" \"*\" \"*.txt\" \"0\" \"\" \"\"" >"$WORK/peer.cfg"
cp "$WORK/peer.cfg" "$WORK/peer.cfg.before"

status=0
"$program" --minimised 2>"$WORK/usage" || status=$?
expect "any other argument than --minimized ends it with status 2 and one usage line" 0 \
    test "$status" -eq 2 -a "$(wc -l <"$WORK/usage")" -eq 1 || cat "$WORK/usage" >&2

start_desktop
(cd "$WORK" && exec "$program" --minimized) >"$WORK/peerwell.out" 2>&1 &
PEERWELL_PID=$!
E2E_PIDS="$PEERWELL_PID $E2E_PIDS"

expect "the tray icon is embedded in the tray" 30 tray_icon || fail "no tray icon"
icon=$(tray_icon)
expect "started with --minimized, only the tray icon shows" 10 only_the_tray_icon || true
double_click "$icon"
expect "a double click on the tray icon shows the window" 30 visible_window Peerwell ||
    fail "no window"
main=$(visible_window Peerwell)
expect "the echo of peer.cfg reaches standard output while the program runs" 5 \
    grep -qF "Kind = *| Mask  = *.txt" "$WORK/peerwell.out" || true
normal=$(size "$main")
expect "the window manager offers to minimise it but not to resize or maximise it" 5 \
    minimisable_not_resizable "$main" || xprop -id "$main" _NET_WM_ALLOWED_ACTIONS >&2

touch "$WORK/inbox/arrival.txt"
expect "a file created in a watched directory is logged under its alias" 30 \
    grep -qF ' [+] Inbox\arrival.txt' "$WORK/inbox.log" || true

double_click "$icon"
expect "another double click hides it" 10 is_hidden "$main" || true
double_click "$icon"
expect "and one more shows it again" 10 is_viewable "$main" || true

for click in 1 3; do
    xdotool mousemove --window "$icon" 8 8 click "$click"
done
xdotool mousemove --window "$icon" 2 2 mousemove --window "$icon" 12 12
expect "single clicks, a right click and moves over the icon leave it shown" 2 \
    is_viewable "$main" || true
# A right click may open nothing, but if anything opened, close it before going on.
xdotool key Escape

xdotool windowminimize "$main"
expect "minimising the window hides it" 10 is_hidden "$main" || true
double_click "$icon"
expect "a double click shows the minimised window again" 10 is_viewable "$main" || true
expect "in its normal size" 5 test "$(size "$main")" = "$normal" || true

keys "$main" alt+F4
expect "closing the window asks the question" 15 visible_window Confirm || fail "no question"
keys "$(visible_window Confirm)" n
expect "answering No closes the question and keeps the window" 10 not visible_window Confirm ||
    true
{ is_viewable "$main" && is_running "$PEERWELL_PID"; } || fail "the window or the program went on No"

keys "$main" alt+h a
expect "Help > About opens the About box" 15 visible_window "About Peerwell" || fail "no About box"
keys "$(visible_window "About Peerwell")" Escape
expect "Esc closes it" 15 not visible_window "About Peerwell" || true

keys "$main" alt+f e
expect "File > Exit asks once more" 15 visible_window Confirm || fail "no question"
keys "$(visible_window Confirm)" y
expect "answering Yes ends the program" 30 wait_gone "$PEERWELL_PID" 1 || fail "still running"
status=0
wait "$PEERWELL_PID" || status=$?
expect "with exit status 0" 0 test "$status" -eq 0 || echo "  exit status $status" >&2
expect "and the tray icon is gone" 10 tray_is_empty || true
expect "nothing is written to peer.cfg at exit" 0 cmp -s "$WORK/peer.cfg" "$WORK/peer.cfg.before" ||
    true

finish
