#!/usr/bin/env bash
# The real program on an X server with two monitors: the "Multimonitor"
# submenu lists both and chooses one, Ctrl+T sends the large readout to the
# last monitor, and monitors that go and come while it runs are followed
# without a crash, the stored "Monitor" always naming one that is there.
#   monitors.sh <chronivel executable>
set -euo pipefail
source "$(dirname "$0")/xorgsession.sh" "$1"

stored_monitor() { wait_for_setting "\"Monitor\"=dword:$1"; }

# Waits until the program shows $1 windows: the main one and the menus open.
shown_windows() {
    for _ in $(seq 100); do
        (($(xdotool search --onlyvisible --pid "$program" 2>/dev/null | wc -l) == $1)) && return 0
        sleep 0.1
    done
    fail "the program never showed $1 windows: $2"
}

# Opens the context menu with Ctrl+M and "Multimonitor" from the keyboard, as
# a user without a mouse would: up from the top wraps to "Exit", and up once
# more is the submenu; the key opening it lands on its first entry, "Off".
# Then $1 times down and Enter.
choose_in_multimonitor() {
    xdotool key ctrl+m
    shown_windows 2 "Ctrl+M opens the context menu"
    xdotool key Up Up Right
    shown_windows 3 "the Multimonitor submenu is open"
    for _ in $(seq "$1"); do xdotool key Down; done
    xdotool key Return
    shown_windows 1 "the menus are closed"
}

still_running() { kill -0 "$program" 2>/dev/null || fail "the program ended $1"; }

start_program

choose_in_multimonitor 2
stored_monitor 00000001
# Two monitors and no more: the third step down wraps round to "Off".
choose_in_multimonitor 3
stored_monitor ffffffff
choose_in_multimonitor 2
stored_monitor 00000001

# The projector is pulled out: the large readout goes to the monitor left.
remove_second_monitor
stored_monitor 00000000
still_running "when its monitor went"
give_focus "$window" "the window"

# Back in: Ctrl+T knows of it and sends the readout there.
add_second_monitor
sleep 0.5
xdotool key ctrl+t
stored_monitor 00000001
still_running "when a monitor came back"
choose_in_multimonitor 1
stored_monitor 00000000
