#!/bin/bash
# The desktop program on a real X server with a window manager and a tray, driven from outside
# like a user would: its arguments, a start in the tray, window, tray icon, hiding and showing,
# logging, the menus, and the close question.
# Usage: main-window.sh PROGRAM SCREENSHOT_DIR
# shellcheck source=tests/e2e/lib.sh
. "$(dirname "$0")/lib.sh"
program=$1
shots=$2

WORK="$E2E_TMP/work"
mkdir -p "$WORK/inbox" "$WORK/quiet" "$WORK/logs"
write_config "$WORK/peer.cfg" \
    "$(record "$WORK/inbox" Inbox '*' '*.*' 0 "$WORK/logs/inbox.log" '')" \
    "$(record "$WORK/quiet" '' '*' '*.txt' 0 '' '')"
cp "$WORK/peer.cfg" "$WORK/peer.cfg.before"

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

status=0
"$program" --minimised 2>"$WORK/usage" || status=$?
expect "any other argument than --minimized ends it with status 2 and one usage line" 0 \
    test "$status" -eq 2 -a "$(wc -l <"$WORK/usage")" -eq 1 || cat "$WORK/usage" >&2

start_desktop
start_peerwell "$program" "$WORK" --minimized

expect "the tray icon is embedded in the tray" 30 tray_icon || fail "no tray icon"
icon=$(tray_icon)
expect "started with --minimized, only the tray icon shows" 10 only_the_tray_icon || true
double_click "$icon"
expect "a double click on the tray icon shows the window" 30 visible_window Peerwell ||
    fail "no window"
main=$(visible_window Peerwell)
expect "the echo of peer.cfg reaches standard output while the program runs" 5 \
    file_contains "$WORK/peerwell.out" "Kind = *| Mask  = *.txt" || true
expect "its outer size is 380 x 265" 5 has_outer_size "$main" 380x265 ||
    echo "  outer size is $(outer_size "$main")" >&2
expect "the window manager offers to minimise it but not to resize or maximise it" 5 \
    minimisable_not_resizable "$main" || xprop -id "$main" _NET_WM_ALLOWED_ACTIONS >&2

touch "$WORK/inbox/arrival.txt"
expect "a file created in a watched directory is logged under its alias" 30 \
    file_contains "$WORK/logs/inbox.log" ' [+] Inbox\arrival.txt' || true
screenshot "$main" "$shots/main.png"

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
expect "in its normal size" 5 has_outer_size "$main" 380x265 || true

keys "$main" alt+F4
expect "closing the window asks the question" 15 visible_window Confirm || fail "no question"
keys "$(visible_window Confirm)" n
expect "answering No closes the question" 10 not visible_window Confirm || true
expect "and keeps the window" 5 is_viewable "$main" || true
kill -0 "$PEERWELL_PID" || fail "the program ended after No"

keys "$main" alt+h a
expect "Help > About opens the About box" 15 visible_window "About Peerwell" || fail "no About box"
about=$(visible_window "About Peerwell")
screenshot "$about" "$shots/about.png"
keys "$about" Escape
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
