#!/bin/bash
# The desktop program on a real X server (Xvfb) with a window manager (openbox) and a tray
# (trayer), driven from outside with xdotool like a user would: what only a real X server and a
# real tray show, a start in the tray, hiding and showing from the icon and its menu, a
# notification, the close question, and one program per peer.cfg. Everything started here is
# ended by the EXIT trap. Usage: main-window.sh PROGRAM HEADLESS-WATCHER
set -eu
program=$(realpath "$1")
watcher=$(realpath "$2")
tmp=$(mktemp -d "${TMPDIR:-/tmp}/peerwell-e2e.XXXXXX")
pids=""
trap 'status=$?; kill $pids 2>/dev/null; wait_until 5 not any_running || kill -9 $pids 2>/dev/null; rm -rf "$tmp"; exit $status' EXIT
trap 'exit 130' INT TERM

# Keep the desktop session of the machine out: no session bus, no settings of the user.
unset DBUS_SESSION_BUS_ADDRESS SESSION_MANAGER WAYLAND_DISPLAY
export HOME="$tmp/home" XDG_CONFIG_HOME="$tmp/home/.config" XDG_RUNTIME_DIR="$tmp/runtime"
export QT_QPA_PLATFORM=xcb
mkdir -p "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR" "$tmp/quiet"
chmod 700 "$XDG_RUNTIME_DIR"

fail() {
    echo "FAIL: $*" >&2
    [ -z "${peerwell:-}" ] || { echo "Its output:"; cat "$tmp/peerwell.out"; } >&2
    exit 1
}

# A process that has ended but was not waited for yet is a zombie: not running any more.
is_running() {
    [ -r "/proc/$1/stat" ] && ! sed 's/.*) //' "/proc/$1/stat" 2>/dev/null | grep -q '^Z'
}

any_running() {
    for pid in $pids; do is_running "$pid" && return 0; done
    return 1
}

# wait_until SECONDS COMMAND...: runs COMMAND until it succeeds; false when the deadline passes.
wait_until() {
    local deadline=$(($(date +%s) + $1))
    shift
    until "$@" >/dev/null 2>&1; do
        [ "$(date +%s)" -lt "$deadline" ] || return 1
        sleep 0.2
    done
}

# expect DESCRIPTION SECONDS COMMAND...: one check of the test, reported as a sentence.
expect() {
    wait_until "${@:2}" || fail "$1"
    echo "ok - $1"
}

not() {
    ! "$@"
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
    # Without an id xwininfo would wait for a click: a panel not found (a window that went away
    # while the tree was walked) is a failure, tried again by the caller.
    local panel
    panel=$(tray_panel) || return 1
    for id in $(xwininfo -tree -id "$panel" | awk '/^ +0x/ { print $1 }'); do
        echo $((id))
    done
}

# panel_holds COUNT: the tray panel holds COUNT windows.
panel_holds() {
    local panel
    panel=$(panel_windows) || return 1
    [ "$(grep -c . <<<"$panel")" -eq "$1" ]
}

# The program's windows titled TITLE (a regular expression): in the tray panel or outside it.
windows_in_tray() { program_windows "$1" -Fx; }
windows_outside_tray() { program_windows "$1" -vFx; }

# program_windows TITLE GREP-OPTIONS: the program's windows titled TITLE that grep, with those
# options, takes against the windows of the tray panel.
program_windows() {
    local panel
    panel=$(panel_windows) || return 1
    xdotool search --all --pid "$peerwell" --name "$1" | grep "$2" "$panel"
}

# The one mapped top-level window of the program titled TITLE, the tray icon left out.
visible_window() {
    found=$(for id in $(windows_outside_tray "^$1\$"); do is_viewable "$id" && echo "$id"; done)
    [ "$(echo "$found" | wc -w)" -eq 1 ] && echo "$found"
}

is_viewable() {
    xwininfo -id "$1" | grep -q 'Map State: IsViewable'
}

double_click() {
    xdotool mousemove --window "$icon" 8 8 click --repeat 2 --delay 120 1
}

# popup menu|notification: a viewable untitled window of the program: the tray icon's menu, or
# a notification (a window of the tooltip type).
popup() {
    for id in $(windows_outside_tray '^$'); do
        is_viewable "$id" || continue
        xprop -id "$id" _NET_WM_WINDOW_TYPE | grep -q _TOOLTIP && kind=notification || kind=menu
        [ "$kind" = "$1" ] && return 0
    done
    return 1
}

# tray_menu KEY: opens the tray icon's menu with a right click and picks the item of KEY; then
# the mouse leaves the icon, whose own tip is a window of the tooltip type too. A click that
# comes while the window manager maps a window can be lost: it is tried again.
tray_menu() {
    for attempt in 1 2 3; do
        xdotool mousemove --window "$icon" 8 8 click 3
        wait_until 5 popup menu && break
        [ "$attempt" -lt 3 ] || fail "a right click on the tray icon shows no menu"
    done
    xdotool key --clearmodifiers "$1"
    wait_until 10 not popup menu || fail "the tray menu stayed open"
    xdotool mousemove 0 0
}

# keys WINDOW KEY...: focuses the window and types the keys into it.
keys() {
    xdotool windowactivate --sync "$1" >/dev/null 2>&1 || xdotool windowfocus --sync "$1"
    xdotool key --clearmodifiers --delay 80 "${@:2}"
}

# The actions the window manager offers on a window (openbox sets them on each one it manages).
minimisable_not_resizable() {
    actions=$(xprop -id "$1" _NET_WM_ALLOWED_ACTIONS)
    [[ $actions == *_NET_WM_ACTION_MINIMIZE* ]] && ! grep -Eq 'ACTION_(RESIZE|MAXIMIZE)' <<<"$actions"
}

# Started minimised, the frame is withdrawn: neither shown nor an icon on a task bar.
only_the_tray_icon() {
    for id in $(windows_outside_tray '^Peerwell$'); do
        not is_viewable "$id" && ! xprop -id "$id" WM_STATE | grep -q Iconic || return 1
    done
}

printf '%s\r\n' '***' '***' '***' "\"$tmp/quiet\" \"\" \"*\" \"*.txt\" \"0\" \"\" \"\"" >"$tmp/peer.cfg"
cp "$tmp/peer.cfg" "$tmp/peer.cfg.before"

mkfifo "$tmp/displayfd"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$tmp/displayfd" >/dev/null 2>&1 &
pids="$! $pids"
read -r number <"$tmp/displayfd" || fail "Xvfb did not start"
export DISPLAY=":$number"
# On a loaded machine openbox has been seen to give up on a display that had just answered.
for attempt in 1 2 3; do
    openbox --sm-disable >/dev/null 2>&1 &
    pids="$! $pids"
    wait_until 20 window_manager_running && break
    [ "$attempt" -lt 3 ] || fail "openbox did not start"
done
trayer --edge bottom --align right --widthtype request --expand false &
pids="$! $pids"
expect "trayer shows its panel" 20 tray_panel
empty_panel=$(panel_windows | wc -l)

(cd "$tmp" && exec "$program" --minimized) >"$tmp/peerwell.out" 2>&1 &
peerwell=$!
pids="$peerwell $pids"

expect "the tray icon is embedded in the tray" 30 windows_in_tray ''
icon=$(windows_in_tray '' | head -n1)
expect "started with --minimized, only the tray icon shows" 10 only_the_tray_icon
double_click
expect "a double click on the tray icon shows the window" 30 visible_window Peerwell
main=$(visible_window Peerwell)
expect "the echo of peer.cfg reaches standard output while the program runs" 5 \
    grep -qF "Kind = *| Mask  = *.txt" "$tmp/peerwell.out"
expect "the window manager offers to minimise it but not to resize or maximise it" 5 \
    minimisable_not_resizable "$main"
double_click
expect "another double click hides it" 10 not is_viewable "$main"
double_click
expect "and one more shows it again" 10 is_viewable "$main"
xdotool windowminimize "$main"
expect "minimising the window hides it" 10 not is_viewable "$main"

(cd "$tmp" && exec timeout 20 "$program") >"$tmp/second.out" 2>&1 && second=0 || second=$?
expect "a second peerwell on the same peer.cfg ends with status 0" 0 test "$second" -eq 0
expect "and shows the window of the first" 10 is_viewable "$main"
(cd "$tmp" && exec timeout 20 "$watcher") >"$tmp/watcher.out" 2>&1 && second=0 || second=$?
expect "the headless watcher on the same peer.cfg ends with status 1" 0 test "$second" -eq 1
expect "naming the desktop program and its process" 0 \
    grep -q "desktop program peerwell (process $peerwell)" "$tmp/watcher.out"
xdotool windowminimize "$main"
expect "minimising the window hides it again" 10 not is_viewable "$main"
double_click
expect "a double click shows the minimised window again" 10 is_viewable "$main"
tray_menu h
expect "the tray menu's Hide Peerwell hides it" 10 not is_viewable "$main"
tray_menu s
expect "and its Show Peerwell shows it" 10 is_viewable "$main"
tray_menu n
expect "its Notify on arrival is kept in the user's settings" 10 \
    grep -qx NotifyOnArrival=true "$XDG_CONFIG_HOME/Peerwell/Peerwell.conf"
printf x >"$tmp/quiet/report.txt"
expect "then a file that arrives shows a notification" 15 popup notification

keys "$main" alt+F4
expect "closing the window asks the question" 15 visible_window Confirm
keys "$(visible_window Confirm)" n
expect "answering No closes the question" 10 not visible_window Confirm
expect "and keeps the window" 0 is_viewable "$main"
keys "$main" alt+f e
expect "File > Exit asks once more" 15 visible_window Confirm
keys "$(visible_window Confirm)" n
expect "answering No again keeps the window" 10 not visible_window Confirm
tray_menu e
expect "the tray menu's Exit asks the same question" 15 visible_window Confirm
keys "$(visible_window Confirm)" y
expect "answering Yes ends the program" 30 not is_running "$peerwell"
status=0
wait "$peerwell" || status=$?
expect "with exit status 0" 0 test "$status" -eq 0
expect "and the tray icon is gone" 10 panel_holds "$empty_panel"
expect "nothing is written to peer.cfg at exit" 0 cmp -s "$tmp/peer.cfg" "$tmp/peer.cfg.before"

(cd "$tmp" && exec "$watcher") >"$tmp/watcher.out" 2>&1 &
headless=$!
pids="$headless $pids"
expect "the headless watcher watches peer.cfg" 10 grep -q "Kind = " "$tmp/watcher.out"
(cd "$tmp" && exec "$program") >"$tmp/peerwell.out" 2>&1 &
peerwell=$!
pids="$peerwell $pids"
expect "a desktop program started then says so in an Error box" 30 visible_window Error
keys "$(visible_window Error)" Return
status=0
wait "$peerwell" || status=$?
expect "and ends with status 1 once it is answered" 0 test "$status" -eq 1
expect "naming the headless watcher and its process" 0 \
    grep -q "headless watcher peerwell-watch (process $headless)" "$tmp/peerwell.out"
echo "all checks passed"
