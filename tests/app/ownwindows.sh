#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The program's own windows beside its always-on-top round window, under
# openbox and without a window manager: the export's file dialog and the
# colour chooser show whole in front of it, F1 opens the manual from the info
# dialog, Space takes a lap while the big display is in front and F8 while the
# protocol window is, and a window closed with Esc hands the keys back.
#   ownwindows.sh <chronivel executable> <folder to keep the screenshots in> <help folder>
set -euo pipefail
shots=$2/ownwindows
mkdir -p "$shots"
source "$(dirname "$0")/xsession.sh" "$1" -screen 0 1024x768x24 -br
cp -r "$3" "$work/portable/help"
printf 'START 1\r\nSTOP\r\n\r\n' >"$protocol"
mkdir -p "$work/desktop"
printf '#!/bin/sh\necho "$@" >>"%s"\n' "$work/opened" >"$work/desktop/xdg-open"
chmod +x "$work/desktop/xdg-open"
program_env=(PATH="$work/desktop:$PATH")

# X= Y= WIDTH= HEIGHT= of window $1's inside on the screen, whoever framed it, for eval.
geometry() {
    xwininfo -id "$1" | awk '/Absolute upper-left X/ {x = $NF} /Absolute upper-left Y/ {y = $NF}
        /^ *Width:/ {w = $NF} /^ *Height:/ {h = $NF} END {print "X=" x, "Y=" y, "WIDTH=" w, "HEIGHT=" h}'
}
# The visible window of the program titled $1, waited for.
window_titled() {
    local found
    for _ in $(seq 50); do
        found=$(xdotool search --all --onlyvisible --pid "$program" --name "$1" 2>/dev/null | head -n 1) || true
        [[ -n $found ]] && { echo "$found"; return 0; }
        sleep 0.1
    done
    fail "$mode: no window titled $1"
}
# Window $1 is whole in front of the main window: its part of the screen
# looks the same with the main window over its middle ($2.png) as with the
# main window away from it.
in_front() {
    local X Y WIDTH HEIGHT differ
    sleep 1  # placed and painted
    eval "$(geometry "$1")"
    xdotool windowmove "$window" $((X + WIDTH / 2 - 112)) $((Y + HEIGHT - 200))
    sleep 0.5
    import -window root "$shots/$mode-$2.png"
    xdotool windowmove "$window" 1100 0  # off the screen
    sleep 0.5
    import -window root "$work/away.png"
    convert "$shots/$mode-$2.png" -crop "${WIDTH}x$HEIGHT+$X+$Y" +repage "$work/over.png"
    convert "$work/away.png" -crop "${WIDTH}x$HEIGHT+$X+$Y" +repage "$work/away.png"
    differ=$(compare -metric AE -fuzz 5% "$work/over.png" "$work/away.png" null: 2>&1 || true)
    ((differ < 300)) || fail "$mode: the main window covers $differ pixels of $2 (see $shots/$mode-$2.png)"
}
expect_focus() {
    for _ in $(seq 50); do [[ $(xdotool getwindowfocus) == "$window" ]] && return 0; sleep 0.1; done
    fail "$mode: $1, the focus is on $(xdotool getwindowfocus), not on the main window"
}

for mode in none openbox; do
    [[ $mode == openbox ]] && start_openbox
    rm -f "$settings" "$work/opened"
    start_program
    xdotool key ctrl+p
    protocol_window=$(window_titled Protocol)
    eval "$(geometry "$protocol_window")"
    xdotool mousemove $((X + 40)) $((Y + HEIGHT - 12)) click 1  # Export CSV…
    in_front "$(window_titled 'Export CSV')" export-dialog
    xdotool key Escape
    give_focus "$protocol_window" "the protocol window"
    xdotool key Escape
    expect_focus "Esc closed the protocol window"
    xdotool key Return
    wait_for_setting '^"TickCount"=hex:[0-9a-f,]*[1-9a-f]'

    xdotool key ctrl+p
    give_focus "$(window_titled Protocol)" "the protocol window"
    xdotool key F8
    wait_for_setting '^"TickLaps"=dword:00000001'
    xdotool key Escape
    expect_focus "Esc closed the protocol window again"

    xdotool key ctrl+t
    display=$(window_titled 'Monitor 2')
    give_focus "$display" "the big display"
    xdotool key space
    wait_for_setting '^"TickLaps"=dword:00000002'
    import -window root "$shots/$mode-big-display-lap.png"
    xdotool key Escape
    expect_focus "Esc closed the big display"

    xdotool key F3
    give_focus "$(window_titled Info)" "the info dialog"
    xdotool key F1
    for _ in $(seq 50); do [[ -s $work/opened ]] && break; sleep 0.1; done
    grep -q 'help/index.html' "$work/opened" 2>/dev/null || fail "$mode: F1 in the info dialog opened nothing"
    xdotool key Escape

    give_focus "$window" "the main window"
    xdotool key ctrl+c
    sleep 1  # the slide
    xdotool key alt+c
    in_front "$(window_titled 'Select Color')" colour-chooser
    xdotool key Escape
    sleep 0.5
    xdotool key Escape  # the configuration dialog
    sleep 1
    kill -TERM "$program"
    wait "$program" || fail "$mode: the program did not end cleanly"
done
# A place saved at a scale of 1 and read at a scale of 2 would put the lap
# list and LAP below the screen's edge: the window comes back whole inside.
{
    printf '\xff\xfe'
    settings_text | sed -e 's/^"Left"=.*/"Left"=dword:00000189/' -e 's/^"Top"=.*/"Top"=dword:0000017f/' |
        sed 's/$/\r/' | iconv -f UTF-8 -t UTF-16LE
} >"$work/placed.reg"
mv "$work/placed.reg" "$settings"
program_env+=(QT_SCALE_FACTOR=2)
start_program
sleep 1  # placed and painted
import -window root "$shots/scale2-start.png"
eval "$(geometry "$window")"
((X >= 0 && Y >= 0 && X + WIDTH <= 1024 && Y + HEIGHT <= 768)) ||
    fail "at a scale of 2 the window starts at $X,$Y ${WIDTH}x$HEIGHT, cut by the screen's edge (see $shots/scale2-start.png)"
echo "PASS: the program's windows show in front of the main window, its keys act from each of them, and it starts whole on the screen"
