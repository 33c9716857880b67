#!/bin/bash
# The desktop program on a real X server with a window manager and a tray, driven from outside
# like a user would: window, tray icon, hiding and showing, logging, and the close question.
# Usage: main-window.sh PROGRAM SCREENSHOT_DIR
# shellcheck source=tests/e2e/lib.sh
. "$(dirname "$0")/lib.sh"
program=$1
shots=$2

WORK="$E2E_TMP/work"
mkdir -p "$WORK/inbox" "$WORK/outbox" "$WORK/quiet" "$WORK/logs"
touch "$WORK/outbox/leaving.txt"
write_config "$WORK/peer.cfg" \
    "$(record "$WORK/inbox" Inbox '*' '*.*' 0 "$WORK/logs/inbox.log" '')" \
    "$(record "$WORK/outbox" '' - '*.*' 0 "$WORK/logs/outbox.log" '')" \
    "$(record "$WORK/quiet" '' '*' '*.txt' 0 '' '')"
cp "$WORK/peer.cfg" "$WORK/peer.cfg.before"

# The actions the window manager offers on a window (openbox sets them on each one it manages).
minimisable_not_resizable() {
    actions=$(xprop -id "$1" _NET_WM_ALLOWED_ACTIONS)
    case "$actions" in *_NET_WM_ACTION_MINIMIZE*) ;; *) return 1 ;; esac
    ! echo "$actions" | grep -Eq '_NET_WM_ACTION_(RESIZE|MAXIMIZE)'
}

start_desktop
start_peerwell "$program" "$WORK"

expect "the tray icon is embedded in the tray" 30 tray_icon || fail "no tray icon"
icon=$(tray_icon)
expect "one window titled Peerwell is shown" 30 visible_window Peerwell || fail "no window"
main=$(visible_window Peerwell)
expect "the echo of peer.cfg reaches standard output while the program runs" 5 \
    file_contains "$WORK/peerwell.out" "Kind = *| Mask  = *.txt" || true
expect "its outer size is 380 x 265" 5 has_outer_size "$main" 380x265 ||
    echo "  outer size is $(outer_size "$main")" >&2
expect "the window manager offers to minimise it but not to resize or maximise it" 5 \
    minimisable_not_resizable "$main" || xprop -id "$main" _NET_WM_ALLOWED_ACTIONS >&2

touch "$WORK/inbox/arrival.txt"
rm "$WORK/outbox/leaving.txt"
expect "a file created in a watched directory is logged under its alias" 30 \
    file_contains "$WORK/logs/inbox.log" ' [+] Inbox\arrival.txt' || true
expect "a file removed from a watched directory is logged under its path" 30 \
    file_contains "$WORK/logs/outbox.log" " [-] $WORK/outbox\\leaving.txt" || true
screenshot "$main" "$shots/main.png"

double_click "$icon"
expect "a double click on the tray icon hides the window" 10 is_hidden "$main" || true
double_click "$icon"
expect "another double click shows it again" 10 is_viewable "$main" || true

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

keys "$main" alt+F4
expect "closing again asks once more" 15 visible_window Confirm || fail "no question"
keys "$(visible_window Confirm)" y
expect "answering Yes ends the program" 30 wait_gone "$PEERWELL_PID" 1 || fail "still running"
status=0
wait "$PEERWELL_PID" || status=$?
expect "with exit status 0" 0 test "$status" -eq 0 || echo "  exit status $status" >&2
expect "and the tray icon is gone" 10 tray_is_empty || true
expect "nothing is written to peer.cfg at exit" 0 cmp -s "$WORK/peer.cfg" "$WORK/peer.cfg.before" ||
    true

finish
