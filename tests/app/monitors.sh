#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The real program on an X server with two monitors: the "Multimonitor"
# submenu lists both and puts the large readout on the second, full-screen,
# showing the running time and the lap; Ctrl+T sends it to the last monitor
# and Escape hides it; monitors that go and come while it runs are followed
# without a crash, the stored "Monitor" always naming one that is there.
#   monitors.sh <chronivel executable> [folder to keep the screenshots in]
set -euo pipefail
keep=${2:-}
source "$(dirname "$0")/xorgsession.sh" "$1"

stored_monitor() { wait_for_setting "\"Monitor\"=dword:$1"; }

# The large readout's window, while it shows.
big_window() { xdotool search --onlyvisible --name '^Monitor 2$' 2>/dev/null | head -n 1 || true; }
# How many menus the program has open: its windows but the main one and the large readout.
open_menus() {
    local big
    big=$(big_window)
    xdotool search --onlyvisible --pid "$program" 2>/dev/null | grep -cvx -e "$window" -e "${big:-none}" || true
}
menus_open() {
    for _ in $(seq 100); do
        (($(open_menus) == $1)) && return 0
        sleep 0.1
    done
    fail "the program never had $1 menus open: $2"
}

# Opens the context menu with Ctrl+M and "Multimonitor" from the keyboard, as
# a user without a mouse would: up from the top wraps to "Exit", and up once
# more is the submenu; the key opening it lands on its first entry, "Off".
# Then $1 times down and Enter.
choose_in_multimonitor() {
    give_focus "$window" "the main window"
    xdotool key ctrl+m
    menus_open 1 "Ctrl+M opens the context menu"
    xdotool key Up Up Right
    menus_open 2 "the Multimonitor submenu is open"
    for _ in $(seq "$1"); do xdotool key Down; done
    xdotool key Return
    menus_open 0 "the menus are closed"
}

still_running() { kill -0 "$program" 2>/dev/null || fail "the program ended $1"; }

# Waits until the large readout covers the monitor WIDTH HEIGHT LEFT ($1..$3) exactly.
big_window_on() {
    local big x y w h
    for _ in $(seq 100); do
        big=$(big_window)
        if [[ -n $big ]]; then
            read -r x y w h <<<"$(xwininfo -id "$big" | awk '/Absolute upper-left X/ {x = $NF}
                /Absolute upper-left Y/ {y = $NF} /^ *Width:/ {w = $NF} /^ *Height:/ {h = $NF}
                END {print x, y, w, h}')"
            [[ "$w $h $x $y" == "$1 $2 $3 0" ]] && return 0
        fi
        sleep 0.1
    done
    fail "the large readout is not full-screen on the monitor $1x$2+$3: ${w:-no window} ${h:-} at ${x:-} ${y:-}"
}
big_window_gone() {
    for _ in $(seq 100); do
        [[ -z $(big_window) ]] && return 0
        sleep 0.1
    done
    fail "the large readout still shows: $1"
}

# Pixels of the colour $5 (as ImageMagick names it) in the screen's rectangle WIDTH HEIGHT LEFT TOP ($1..$4).
pixels_of() {
    import -window root -crop "$1x$2+$3+$4" +repage png:- |
        convert png:- -fill black +opaque "$5" -fill white -opaque "$5" -format '%[fx:int(mean*w*h)]' info:
}
shot() { [[ -n $keep ]] && import -window root -crop "${second_monitor[0]}x${second_monitor[1]}+${second_monitor[2]}+0" "$keep/monitor2-$1.png"; return 0; }

start_program

choose_in_multimonitor 2
stored_monitor 00000001
big_window_on "${second_monitor[@]}"

# A run: the time row's lit digits change as it runs; a lap names itself.
read -r w h left <<<"${second_monitor[*]}"
give_focus "$window" "the main window"
xdotool key Return
sleep 0.3
before=$(import -window root -crop "${w}x$((h / 2))+$left+0" +repage rgb:- | md5sum)
sleep 0.4
after=$(import -window root -crop "${w}x$((h / 2))+$left+0" +repage rgb:- | md5sum)
[[ $before != "$after" ]] || fail "the large readout's time row does not run"
lit=$(pixels_of "$w" "$h" "$left" 0 yellow)
((lit > 10000)) || fail "the large readout lights only $lit yellow pixels"
caption=$(pixels_of "$((w / 3))" "$((h / 2))" "$left" "$((h / 2))" lime)
xdotool key space
sleep 0.5
shot lap
lapped=$(pixels_of "$((w / 3))" "$((h / 2))" "$left" "$((h / 2))" lime)
((lapped > caption + 50)) || fail "after a lap the caption did not grow to \" Lap 1:\" ($caption, then $lapped lime pixels)"
xdotool key Return  # STOP

# Two monitors and no more: the third step down wraps round to "Off".
choose_in_multimonitor 3
stored_monitor ffffffff
big_window_gone "after \"Off\""
choose_in_multimonitor 2
stored_monitor 00000001
big_window_on "${second_monitor[@]}"

# The projector is pulled out: the large readout goes to the monitor left.
remove_second_monitor
stored_monitor 00000000
still_running "when its monitor went"
big_window_on "${first_monitor[@]}"
# On the only monitor it takes the keys: Escape hides it.
big=$(big_window)
for _ in $(seq 50); do [[ $(xdotool getwindowfocus) == "$big" ]] && break; sleep 0.1; done
[[ $(xdotool getwindowfocus) == "$big" ]] || fail "on the only monitor the large readout does not take the keys (focus on $(xdotool getwindowfocus), it is $big, the main window $window)"
# The program's keys still work from it: RESET the run stopped above, START anew.
xdotool key Return Return
wait_for_setting '^"TickCount"=hex:.*[1-9a-f]' 50
xdotool key Return  # STOP
xdotool key Escape
big_window_gone "after Escape"

# Back in: Ctrl+T knows of it and sends the readout there.
add_second_monitor
sleep 0.5
give_focus "$window" "the main window"
xdotool key ctrl+t
stored_monitor 00000001
big_window_on "${second_monitor[@]}"
still_running "when a monitor came back"
choose_in_multimonitor 1
stored_monitor 00000000
big_window_on "${first_monitor[@]}"

# The next start with two monitors brings the display back where it was last.
choose_in_multimonitor 2
stored_monitor 00000001
kill -TERM "$program"
wait "$program" || fail "SIGTERM did not end the program cleanly"
start_program
big_window_on "${second_monitor[@]}"
kill -TERM "$program"
wait "$program" || fail "SIGTERM did not end the program cleanly"
echo "PASS"
