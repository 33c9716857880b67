#!/bin/bash
# Editing the list through the program's real menus, typed like a user would: add a directory,
# give it a path and a log file, see its events logged and its record saved; then the About box
# and removing the directory again.
# Usage: list-commands.sh PROGRAM SCREENSHOT_DIR
# shellcheck source=tests/e2e/lib.sh
. "$(dirname "$0")/lib.sh"
program=$1
shots=$2

WORK="$E2E_TMP/work"
mkdir -p "$WORK/first" "$WORK/drop box" "$WORK/logs"
write_config "$WORK/peer.cfg" "$(record "$WORK/first" '' '*' '*.*' 0 '' '')"
added=$(record "$WORK/drop box" Drop '*' '*.*' 0 "$WORK/logs/drop.log" '')

start_desktop
start_peerwell "$program" "$WORK"
expect "the window is shown" 30 visible_window Peerwell || fail "no window"
main=$(visible_window Peerwell)

keys "$main" alt+d a
keys "$main" alt+d o
expect "Directories > Options opens the Directory dialog" 15 visible_window "Directory options" ||
    fail "no Directory dialog"
dialog=$(visible_window "Directory options")
xdotool type --delay 20 "$WORK/drop box/"
keys "$dialog" Tab
xdotool type --delay 20 "Drop"
screenshot "$dialog" "$shots/directory-dialog.png"
keys "$dialog" Return
expect "OK closes it" 15 not visible_window "Directory options" || fail "dialog stays open"

keys "$main" alt+d l
expect "Directories > LOG file opens the file dialog" 15 visible_window "Get LOG - file" ||
    fail "no file dialog"
files=$(visible_window "Get LOG - file")
keys "$files" ctrl+a
xdotool type --delay 20 "$WORK/logs/drop.log"
keys "$files" Return
expect "typing a new file's path and Enter closes it" 15 not visible_window "Get LOG - file" ||
    fail "file dialog stays open"

expect "the new directory's record is saved in peer.cfg" 15 \
    file_contains "$WORK/peer.cfg" "$added" || cat "$WORK/peer.cfg" >&2
touch "$WORK/drop box/hello.txt"
expect "a file created in the new directory is logged under its alias" 30 \
    file_contains "$WORK/logs/drop.log" ' [+] Drop\hello.txt' || true
expect "the log line ends in CR LF" 0 grep -q "hello.txt$(printf '\r')\$" "$WORK/logs/drop.log" ||
    true

keys "$main" alt+h a
expect "Help > About opens the About box" 15 visible_window "About Peerwell" || fail "no About box"
about=$(visible_window "About Peerwell")
screenshot "$about" "$shots/about.png"
keys "$about" Escape
expect "Esc closes it" 15 not visible_window "About Peerwell" || true

# The new directory is the selected line after the LOG file command; Delete removes it.
keys "$main" alt+d d
expect "Directories > Delete asks first" 15 visible_window Confirm || fail "no question"
keys "$(visible_window Confirm)" y
expect "Yes removes the record from peer.cfg" 15 not file_contains "$WORK/peer.cfg" "drop box" ||
    true
expect "and keeps the other one" 0 file_contains "$WORK/peer.cfg" "\"$WORK/first\"" || true

keys "$main" alt+f e
expect "File > Exit asks the close question" 15 visible_window Confirm || fail "no question"
keys "$(visible_window Confirm)" y
expect "answering Yes ends the program" 30 wait_gone "$PEERWELL_PID" 1 || true

finish
