#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The configuration dialog of the real program under openbox, used with the
# keyboard alone: it slides out right of the main window and both go back to
# where they were; a new timer preset and face colour reach the face, the
# countdown and the settings file; Escape changes nothing; a protocol file in
# a folder that does not exist is refused with a message, and the
# dialog stays open.
#   configuration.sh <chronivel executable> [folder to keep the screenshots in]
set -euo pipefail
keep=${2:-}
# Wide enough for the dialog beside the main window at zoom 3.
source "$(dirname "$0")/xsession.sh" "$1" -screen 0 1600x1200x24 -br

start_openbox

start_program
sleep 1  # the first paint

# X Y WIDTH HEIGHT of window $1 on the screen.
geometry() {
    xwininfo -id "$1" | awk '/Absolute upper-left X/ {x = $NF} /Absolute upper-left Y/ {y = $NF}
        /^ *Width:/ {w = $NF} /^ *Height:/ {h = $NF} END {print x, y, w, h}'
}
# The visible windows of the program named $1, one id a line.
windows_named() { xdotool search --all --onlyvisible --pid "$program" --name "^$1\$" 2>/dev/null || true; }

# Waits until window $1 stands at the X Y WIDTH HEIGHT $2; $3 says when.
expect_geometry() {
    local now
    for _ in $(seq 50); do
        now=$(geometry "$1")
        [[ $now == "$2" ]] && return 0
        sleep 0.1
    done
    fail "$3: the window $1 is at $now (x y width height), not at $2"
}

dialog=0
# Ctrl+C in the main window: the dialog slides out by 74 steps of $1 pixels,
# the main window to the left, the dialog from behind it to the right.
open_dialog() {
    local step=$1 x y w h
    read -r x y w h <<<"$(geometry "$window")"
    give_focus "$window" "the main window"
    xdotool key ctrl+c
    for _ in $(seq 50); do
        dialog=$(windows_named Configuration | head -n 1)
        [[ -n $dialog ]] && break
        sleep 0.1
    done
    [[ -n $dialog ]] || fail "Ctrl+C opened no window named Configuration"
    expect_geometry "$window" "$((x - 74 * step)) $y $w $h" "after the slide out"
    expect_geometry "$dialog" "$((x + 74 * step)) $y $w $h" "the dialog after the slide out"
    main_before="$x $y $w $h"
    sleep 0.3  # the fields take the focus at the slide's end
}
# After OK or Cancel both windows are back where they were, the dialog gone.
expect_closed() {
    for _ in $(seq 50); do
        [[ -z $(windows_named Configuration) ]] && break
        sleep 0.1
    done
    [[ -z $(windows_named Configuration) ]] || fail "$1: the dialog is still open"
    expect_geometry "$window" "$main_before" "$1: the main window"
}

# A screenshot of window $1 kept as chronivel-$2.png.
screenshot() {
    local shot=$work/$2.png x y w h
    read -r x y w h <<<"$(geometry "$1")"
    import -window root -crop "${w}x$h+$x+$y" +repage "$shot" || fail "no screenshot"
    [[ -n $keep ]] && cp "$shot" "$keep/chronivel-$2.png"
    return 0
}
# Pixels of colour $2 (r, g, b of 0..1 as fx conditions) in screenshot $1.
count_pixels() {
    convert "$work/$1.png" -fx "$2" -format '%[fx:int(mean*w*h)]' info:
}
setting() { settings_text | grep -- "^\"$1\"=" || true; }

# --- OK: a new preset and colour, typed ---------------------------------------
open_dialog 1
screenshot "$dialog" config-zoom1
# Alt+T: the timer's field; its whole text typed over, digits only.
xdotool key alt+t ctrl+a
xdotool type --delay 50 000005000
# Alt+C: the colour swatch's caption presses it, which opens the colour chooser.
xdotool key alt+c
chooser=""
for _ in $(seq 50); do
    chooser=$(xdotool search --all --onlyvisible --pid "$program" --name 'Select Color' 2>/dev/null | head -n 1) || true
    [[ -n $chooser ]] && break
    sleep 0.1
done
[[ -n $chooser ]] || fail "Alt+C opened no colour chooser"
give_focus "$chooser" "the colour chooser"
# Alt+H: the chooser's HTML field.
xdotool key alt+h ctrl+a
xdotool type --delay 50 '#ff0000'
xdotool key Return
for _ in $(seq 50); do
    [[ -z $(xdotool search --all --onlyvisible --pid "$program" --name 'Select Color' 2>/dev/null) ]] && break
    sleep 0.1
done
sleep 0.3
screenshot "$dialog" config-red
xdotool key Return
expect_closed "after OK"
wait_for_setting '"CountDownT"=dword:00001388'
wait_for_setting '"Color"=dword:000000ff'
sleep 0.5
screenshot "$window" main-red
red=$(count_pixels main-red 'r>0.9 && g<0.1 && b<0.1')
((red > 10000)) || fail "after OK the face shows only $red red pixels"


# --- The countdown runs the new preset -----------------------------------------
read -r x y _ _ <<<"$(geometry "$window")"
# The countdown's LED left of the program's name arms it.
xdotool mousemove $((x + 44)) $((y + 135)) click 1
xdotool mousemove 1590 1190
give_focus "$window" "the main window"
screenshot "$window" armed
xdotool key Return
for _ in $(seq 150); do grep -aq '^STOP: = ' "$protocol" 2>/dev/null && break; sleep 0.1; done
# The old preset of 60 s would still be running.
stop=$(tr -d '\r' <"$protocol" | grep -a '^STOP: = ') || fail "the countdown of 5 s had not ended after 15 s"
[[ $stop == "STOP: =  0,000" ]] || fail "the countdown ended with '$stop', not at 0"
screenshot "$window" countdown-ended

# --- Escape changes nothing ---------------------------------------------------
before=$(settings_text)
open_dialog 1
# The Laps field has the focus when the dialog is out.
xdotool key ctrl+a
xdotool type --delay 50 7
xdotool key alt+t ctrl+a
xdotool type --delay 50 000010000
xdotool key Escape
expect_closed "after Escape"
sleep 1  # a save the Escape would wrongly have asked for
for name in Laps CountDownT Color FileName; do
    [[ $(setting "$name") == "$(grep -- "^\"$name\"=" <<<"$before")" ]] ||
        fail "after Escape the settings' $name is $(setting "$name")"
done

# --- A protocol file in a missing folder is refused, and the dialog stays -----
open_dialog 1
missing=$work/missing/Protocol.txt
xdotool key alt+p ctrl+a
xdotool type --delay 20 "$missing"
xdotool key Return
box=""
for _ in $(seq 50); do
    box=$(xdotool search --all --onlyvisible --pid "$program" --name '.' 2>/dev/null |
        grep -vx -e "$window" -e "$dialog" | head -n 1) || true
    [[ -n $box ]] && break
    sleep 0.1
done
[[ -n $box ]] || fail "OK with a protocol file in a missing folder showed no message"
give_focus "$box" "the message"
[[ $(xdotool getwindowname "$box") == chronivel ]] || fail "the message's window is named '$(xdotool getwindowname "$box")'"
# Where it came, the main window above all others hides its left part: moved
# clear of it for the kept screenshot.
xdotool windowmove "$box" 0 0
sleep 0.3
screenshot "$box" refused
xdotool key Return
for _ in $(seq 50); do
    [[ -z $(xdotool search --all --onlyvisible --pid "$program" --name '.' 2>/dev/null | grep -vx -e "$window" -e "$dialog") ]] && break
    sleep 0.1
done
sleep 0.5
[[ -n $(windows_named Configuration) ]] || fail "after the message the dialog did not stay open"
read -r x _ _ _ <<<"$main_before"
expect_geometry "$dialog" "$((x + 74)) $(cut -d' ' -f2- <<<"$main_before")" "the dialog after the message"
give_focus "$dialog" "the dialog"
xdotool key Escape
expect_closed "after Escape from the refused path"
[[ $(setting FileName) == "\"FileName\"=\"$protocol\"" ]] || fail "the refused path reached the settings: $(setting FileName)"

# --- Zoom 3: the dialog is as wide as the main window -------------------------
give_focus "$window" "the main window"
xdotool key ctrl+z
sleep 0.5
xdotool key ctrl+z
for _ in $(seq 50); do
    read -r _ _ w _ <<<"$(geometry "$window")"
    ((w == 672)) && break
    sleep 0.1
done
((w == 672)) || fail "two Ctrl+Z made the main window $w pixels wide, not 672"
sleep 0.5
open_dialog 3
screenshot "$dialog" config-zoom3
xdotool key Escape
expect_closed "at zoom 3 after Escape"

echo "PASS: the dialog slides out and back; a typed preset and colour reach the face, the countdown and the settings; Escape changes nothing; a protocol file in a missing folder is refused and the dialog stays"
