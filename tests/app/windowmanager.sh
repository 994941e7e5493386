#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The window on a screen smaller than its largest zoom, first without a window
# manager, then under openbox: it stays on top and keeps the keyboard focus
# through every zoom step, stays whole inside the screen (the zoom that does
# not fit is skipped), and moves only while a mouse button is held.
#   windowmanager.sh <chronivel executable> [folder to keep the screenshot in]
set -euo pipefail
keep=${2:-}
# -noreset: the server stays up between the two programs, for openbox to join.
source "$(dirname "$0")/xsession.sh" "$1" -screen 0 1280x1024x24 -br -noreset

# X Y WIDTH HEIGHT of the window on the screen, whoever framed it.
geometry() {
    xwininfo -id "$window" | awk '/Absolute upper-left X/ {x = $NF} /Absolute upper-left Y/ {y = $NF}
        /^ *Width:/ {w = $NF} /^ *Height:/ {h = $NF} END {print x, y, w, h}'
}
position() { geometry | awk '{print $1, $2}'; }

# Waits until the window is side × side; fails naming the step.
expect_side() {
    local side=$1 what=$2
    for _ in $(seq 50); do
        read -r _ _ w h <<<"$(geometry)"
        ((w == side && h == side)) && return 0
        sleep 0.1
    done
    fail "$what: the window is ${w}x$h, not ${side}x$side"
}

# Ctrl+Z four times, from zoom 1 through 4 back to 1 (5, 1120 pixels, does
# not fit 1024), typed where the keyboard
# focus is (the pointer waits off the window, so the keys cannot reach it by
# pointing). After each step, `$1` names a check to run with the zoom.
zoom_round() {
    local after_step=$1 zoom
    for zoom in 2 3 4 1; do
        xdotool mousemove 1275 1019
        xdotool key ctrl+z
        expect_side $((224 * zoom)) "Ctrl+Z to zoom $zoom"
        "$after_step" "$zoom"
    done
}

inside_screen() {
    local x y w h
    read -r x y w h <<<"$(geometry)"
    ((x >= 0 && y >= 0 && x + w <= 1280 && y + h <= 1024)) || fail "at zoom $1 the window at $x,$y ${w}x$h is cut by the screen's edge"
}

# A point of the face that no control covers, inside the round shape.
face_x=40 face_y=60

# Each gesture is one xdotool: the X server takes one client's requests in
# order, but a second client's motion may come before the first one's
# release, which makes a click a drag.
# A click of `button` and then pointer motion with no button held.
expect_click_does_not_move() {
    local button=$1 x y before after step gesture
    read -r x y <<<"$(position)"
    before="$x $y"
    gesture=(mousemove $((x + face_x)) $((y + face_y)) click "$button")
    for step in 1 2 3 4 5; do
        gesture+=(mousemove $((x + face_x + 20 * step)) $((y + face_y + 15 * step)) sleep 0.1)
    done
    xdotool "${gesture[@]}"
    sleep 0.5
    after=$(position)
    # Lets a window that sticks to the pointer go before the next check.
    xdotool key Escape
    [[ $after == "$before" ]] || fail "$2: a click of button $button and then motion moved the window from $before to $after"
}

# A drag with `button` held moves the window with the pointer, and not after the release.
expect_drag_moves() {
    local button=$1 x y step moved gesture
    read -r x y <<<"$(position)"
    gesture=(mousemove $((x + face_x)) $((y + face_y)) mousedown "$button")
    for step in 1 2 3 4 5; do
        gesture+=(mousemove $((x + face_x + 20 * step)) $((y + face_y + 10 * step)) sleep 0.1)
    done
    xdotool "${gesture[@]}" sleep 0.3 mouseup "$button"
    sleep 0.3
    moved=$(position)
    [[ $moved == "$((x + 100)) $((y + 50))" ]] ||
        fail "$2: a drag with button $button by 100,50 took the window from $x,$y to $moved"
    xdotool mousemove $((x + face_x + 200)) $((y + face_y + 150))
    sleep 0.5
    [[ $(position) == "$moved" ]] || { xdotool key Escape; fail "$2: the window went on following the pointer after button $button was released"; }
    xdotool mousemove 1275 1019
}

mouse_checks() {
    local button
    for button in 3 2; do expect_click_does_not_move "$button" "$1"; done
    for button in 1 3 2; do expect_drag_moves "$button" "$1"; done
}

# Without a window manager nobody gives the window the focus back: it must keep it.
start_program
zoom_round inside_screen
[[ $(xdotool getwindowfocus) == "$window" ]] || fail "without a window manager the window lost the focus to a zoom"
mouse_checks "without a window manager"
kill -TERM "$program"
wait "$program" || fail "the program did not end cleanly"

start_openbox

above() { xprop -id "$window" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE; }
on_top() {
    # Whatever openbox does about a zoom step, it has done it by now.
    sleep 1
    above || fail "under openbox, after the step to zoom $1 the window is not kept above: $(xprop -id "$window" _NET_WM_STATE)"
    inside_screen "$1"
    if (($1 == 4)); then
        local shot=$work/zoom4.png
        import -window root "$shot" || fail "no screenshot"
        [[ -n $keep ]] && cp "$shot" "$keep/chronivel-zoom4.png"
    fi
    return 0
}
start_program
above || fail "under openbox the window is not above the others at start: $(xprop -id "$window" _NET_WM_STATE)"
# Whether the program keeps its state through a step is a race it may win by
# luck; taking the window off the screen is what lets the window manager drop
# that state (it must, for a withdrawn window), so no step may do it.
xev -id "$window" -event structure -event property >"$work/events.log" 2>&1 &
pids+=($!)
for _ in $(seq 50); do
    xprop -id "$window" -f _CHRONIVEL_TEST 8s -set _CHRONIVEL_TEST ready
    grep -q _CHRONIVEL_TEST "$work/events.log" && break
    sleep 0.1
done
zoom_round on_top
! grep -q UnmapNotify "$work/events.log" || fail "under openbox a zoom step took the window off the screen"
mouse_checks "under openbox"
echo "PASS: on top, focused and on the screen through the zoom steps; moved by drags only"
