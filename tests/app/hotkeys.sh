#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The real program's system-wide hot keys under a private X server, while
# another client has the keyboard focus: Ctrl+Shift+F12 starts, stops and
# resets, Ctrl+Shift+F11 takes a lap, Ctrl+Shift+Space minimises; the same
# with Caps Lock and Num Lock on; a held key counts once; and with Ctrl+Shift+F11 held by another
# program first, the other two still work and nothing is reported.
#   hotkeys.sh <chronivel executable> <hotkeyprobe executable>
set -euo pipefail
probe=$2
source "$(dirname "$0")/xsession.sh" "$1"

start_other_program 200x80+560+480
focus_other() { give_focus "$other" "the other program"; }
zero='^"TickCount"=hex:00,00,00,00,00,00,00,00'
running() { wait_for_setting '^"TickCount"=hex:.*[1-9a-f]' 50; }
stopped() { wait_for_setting "$zero" 50; }
blocks() { grep -ac '^STOP: = ' "$protocol" 2>/dev/null || true; }
# Waits for block number $1 and prints it.
block() {
    for _ in $(seq 50); do
        (($(blocks) >= $1)) && break
        sleep 0.1
    done
    (($(blocks) >= $1)) || fail "run $1 never reached the protocol"
    awk -v n="$1" '/^START / {b++} b == n' "$protocol" | tr -d '\r'
}
# Start, a lap a moment later, stop; all from the other program.
timed_run() {
    local number=$1 text
    xdotool key ctrl+shift+F12
    running
    sleep 0.3
    xdotool key ctrl+shift+F11
    sleep 0.3
    xdotool key ctrl+shift+F12
    stopped
    text=$(block "$number")
    echo "$text"
    [[ $(xdotool getwindowfocus) == "$other" ]] || fail "a hot key took the focus from the other program"
}

start_program
focus_other
run=$(timed_run 1)
grep -q '^LAP 1 = ' <<<"$run" || fail "Ctrl+Shift+F11 took no lap: $run"
xdotool key ctrl+shift+F12  # RESET: no new run
sleep 0.5
settings_text | grep "$zero" >/dev/null || fail "Ctrl+Shift+F12 after STOP started a run instead of resetting"

xdotool key Caps_Lock Num_Lock
[[ $("$probe" locks) == "caps=1 num=1" ]] || fail "the locks did not go on: $("$probe" locks)"
run=$(timed_run 2)
grep -q '^LAP 1 = ' <<<"$run" || fail "with Caps Lock and Num Lock on, no lap: $run"
xdotool key ctrl+shift+F12  # RESET
xdotool key Caps_Lock Num_Lock

# A hot key held down repeats, as any key does; it counts once.
xdotool key ctrl+shift+F12
running
xdotool keydown ctrl+shift+F11
sleep 1.5
xdotool keyup F11 shift ctrl
xdotool key ctrl+shift+F12
stopped
run=$(block 3)
[[ $(grep -c '^LAP' <<<"$run") == 1 ]] || fail "Ctrl+Shift+F11 held down took more than one lap: $run"
xdotool key ctrl+shift+F12  # RESET

# Ctrl+Shift+F11 held by another program before ours starts.
kill -TERM "$program"
wait "$program" || fail "SIGTERM did not end the program cleanly"
coproc holder { "$probe" hold 86; }
pids+=("$holder_PID")
read -r answer <&"${holder[0]}"
[[ $answer == held ]] || fail "the other program could not hold Ctrl+Shift+F11: $answer"
start_program
focus_other
run=$(timed_run 4)
grep -q '^LAP' <<<"$run" && fail "Ctrl+Shift+F11 reached the program although another holds it: $run"
[[ $(xdotool search --onlyvisible --pid "$program" | wc -l) == 1 ]] ||
    fail "the program shows a second window (a message?) about the key it could not have"
grep -i 'xcb error\|BadAccess\|hot key' "$work/program.log" && fail "the program reported the refused key"

# Minimised from the background: under a window manager, which is what iconifies.
start_openbox
focus_other
xdotool key ctrl+shift+space
for _ in $(seq 50); do
    xprop -id "$window" WM_STATE 2>/dev/null | grep -q 'Iconic' && break
    sleep 0.1
done
xprop -id "$window" WM_STATE | grep -q 'Iconic' || fail "Ctrl+Shift+Space did not minimise: $(xprop -id "$window" WM_STATE)"

kill -TERM "$program"
wait "$program" || fail "SIGTERM did not end the program cleanly"
echo "PASS"
