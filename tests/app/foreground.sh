#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The real window under openbox, behind another program's window and in front
# again: behind, its buttons go and it turns half transparent; in front they
# come back and it is opaque.
#   foreground.sh <chronivel executable> [folder to keep the screenshots in]
set -euo pipefail
keep=${2:-}
source "$(dirname "$0")/xsession.sh" "$1" -screen 0 1024x768x24 -br

start_openbox

start_program

# Lime pixels on the START button (the ready state's colour), in a screenshot
# of the window named `$1`.
start_button_lime() {
    local shot=$work/$1.png
    eval "$(xdotool getwindowgeometry --shell "$window")"  # X, Y
    import -window root -crop "224x224+$X+$Y" +repage "$shot" || fail "no screenshot"
    [[ -n $keep ]] && cp "$shot" "$keep/chronivel-$1.png"
    convert "$shot" -crop 58x25+122+126 +repage -fx '(g>0.8 && r<0.3 && b<0.3)' -format '%[fx:int(mean*w*h)]' info:
}
# The opacity the window asks of a compositor, of 0xffffffff; none means opaque.
opacity() {
    xprop -id "$window" _NET_WM_WINDOW_OPACITY 2>/dev/null |
        awk -F' = ' 'NF == 2 {print $2; found = 1} END {if (!found) print "4294967295"}'
}
# Waits until the keyboard focus is on window `$1`.
expect_focus() {
    for _ in $(seq 50); do
        [[ $(xdotool getwindowfocus 2>/dev/null) == "$1" ]] && return 0
        sleep 0.1
    done
    fail "$2: the focus is on $(xdotool getwindowfocus), not $1"
}

sleep 1  # the first paint
lime=$(start_button_lime front)
((lime > 500)) || fail "in front the START button shows only $lime lime pixels"
[[ $(opacity) == 4294967295 ]] || fail "in front the window asks for opacity $(opacity)"

start_other_program +600+400
behind() {
    xdotool windowactivate "$other" 2>/dev/null || true
    expect_focus "$other" "the other program"
}
in_front() {
    xdotool windowactivate "$window" 2>/dev/null || true
    expect_focus "$window" "back in front"
}
behind
for _ in $(seq 50); do [[ $(opacity) != 4294967295 ]] && break; sleep 0.1; done
# 50 % transparent: 127 of 255, as a fraction of 0xffffffff.
[[ $(opacity) == 2139062143 ]] || fail "behind the other window the opacity is '$(opacity)', not 127/255"
sleep 0.5
lime=$(start_button_lime back)
((lime < 20)) || fail "behind the other window the START button still shows $lime lime pixels"

in_front
for _ in $(seq 50); do [[ $(opacity) == 4294967295 ]] && break; sleep 0.1; done
[[ $(opacity) == 4294967295 ]] || fail "back in front the window still asks for opacity $(opacity)"
sleep 0.5
lime=$(start_button_lime front-again)
((lime > 500)) || fail "back in front the START button shows only $lime lime pixels"

# The pause button of a running run: gone behind the other program, back in front.
# Pixels of the pause button's place in screenshot `$1` unlike those in the
# ready window behind the other one.
pause_differs() {
    convert "$work/$1.png" -crop 19x25+180+126 +repage "$work/pause-$1.png"
    convert "$work/back.png" -crop 19x25+180+126 +repage "$work/pause-back.png"
    # The count goes to stderr; the status says only whether there was a difference.
    # The dial is painted where it shows: an edge drawn again within a smaller
    # area may come out a shade of 1/255 apart, which is no button.
    compare -metric AE -fuzz 1% "$work/pause-$1.png" "$work/pause-back.png" null: 2>&1 || true
}
xdotool key Return
sleep 0.5
start_button_lime running >/dev/null
(($(pause_differs running) > 50)) || fail "the pause button does not show in front while the run is running"
behind
sleep 0.5
start_button_lime running-back >/dev/null
(($(pause_differs running-back) == 0)) || fail "behind the other program the pause button still shows"
in_front
sleep 0.5
start_button_lime running-front-again >/dev/null
(($(pause_differs running-front-again) > 50)) || fail "back in front the pause button of the running run is not back"
echo "PASS: behind another program the buttons go and the window is half transparent; in front again they are back"
