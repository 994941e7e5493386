#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# One copy per title, under openbox: a second start of the same title brings
# the running copy's window to the front, even from minimised, and ends at
# once with status 0; a copy under another name (other settings) runs beside
# it; a copy killed outright keeps no later start out; a copy that hangs holds
# up a second start only briefly, which then says so, and one that ends while
# a new start waits lets that start run. A runtime folder that takes no lock
# sends both starts to the lock beside the settings; where no lock can be had
# at all, the window says so.
#   single_copy.sh <chronivel executable>
set -euo pipefail
source "$(dirname "$0")/xsession.sh" "$1" -screen 0 1024x768x24 -br

start_openbox

# Polls `check args...` for up to ten seconds.
eventually() {
    for _ in $(seq 100); do "$@" && return 0; sleep 0.1; done
    return 1
}
viewable() { xwininfo -id "$1" | grep -q 'Map State: IsViewable'; }
minimised() { xwininfo -id "$1" | grep -q 'Map State: IsUnMapped'; }
active() { [[ $(xdotool getactivewindow 2>/dev/null) == "$1" ]]; }
# Above every other window the window manager keeps.
topmost() { [[ $(xprop -root _NET_CLIENT_LIST_STACKING | awk '{print $NF}') == "$(printf '0x%x' "$1")" ]]; }
in_front() { viewable "$1" && active "$1" && topmost "$1"; }

# The relay copy: the same program under another name.
cp "$work/portable/chronivel" "$work/portable/relay"
"$work/portable/relay" >"$work/relay.log" 2>&1 &
relay=$!
pids+=("$relay")
relay_window=$(window_of "$relay") ||
    fail "the relay copy showed no window"

# Starts the program a second time and expects it to end at once with status
# 0, having brought the window of the copy that runs to the front.
second_start_brings_forward() {
    local what=$1 status=0
    timeout 20 "$work/portable/chronivel" >"$work/second.log" 2>&1 || status=$?
    ((status == 0)) || fail "$what: the second start ended with status $status: $(cat "$work/second.log")"
    eventually in_front "$window" ||
        fail "$what: the running copy's window did not come to the front: $(xwininfo -id "$window" | grep 'Map State'), active $(xdotool getactivewindow), stacking $(xprop -root _NET_CLIENT_LIST_STACKING)"
    kill -0 "$program" 2>/dev/null || fail "$what: the running copy has ended"
}

start_program
xdotool key Return  # a run in progress, saved at once
started() { settings_text 2>/dev/null | grep '^"TickCount"=hex:' | grep -v 'hex:00,00,00,00,00,00,00,00' >/dev/null; }
eventually started || fail "the run in progress was not saved"
kill -0 "$relay" 2>/dev/null || fail "the relay copy ended when the first copy under the other name started"
xdotool windowminimize "$window"
eventually minimised "$window" || fail "the window could not be minimised"
before=$(md5sum <"$settings")
second_start_brings_forward "from minimised"
# Not a copy of its own, it read nothing and saved nothing over the running copy's run.
[[ $(md5sum <"$settings") == "$before" ]] || fail "the second start changed the settings"

xdotool windowactivate "$relay_window"
eventually active "$relay_window" || fail "the relay copy's window could not be brought forward"
second_start_brings_forward "from behind the relay copy"

# Killed outright, the copy leaves its socket behind: the next start must
# take over, and answer a second start in turn.
kill -9 "$program"
wait "$program" 2>/dev/null || true
start_program
xdotool windowactivate "$relay_window"
eventually active "$relay_window" || fail "the relay copy's window could not be brought forward"
second_start_brings_forward "after a kill -9 of the first copy"

# A copy that hangs still holds its lock; the second start gives up on it,
# says why, and ends without running beside it.
kill -STOP "$program"
"$work/portable/chronivel" >"$work/second.log" 2>&1 &
second=$!
pids+=("$second")
box=$(window_of "$second") ||
    fail "the start beside a hung copy showed no message: $(cat "$work/second.log")"
grep -q 'already running, but it does not answer' "$work/second.log" ||
    fail "the start beside a hung copy did not say why it ends: $(cat "$work/second.log")"
eventually active "$box" || xdotool windowactivate "$box"
xdotool key --clearmodifiers Return
status=0
timeout 20 tail --pid="$second" -f /dev/null || fail "the start beside a hung copy did not end after its message"
wait "$second" || status=$?
((status == 1)) || fail "the start beside a hung copy ended with status $status"
kill -CONT "$program"

# The calls waiting on the running copy's socket, for the test below.
socket=$XDG_RUNTIME_DIR/Orvantis/chronivel.socket
waiting_calls() { ss -xlH | awk -v path="$socket" '$5 == path {print $3}'; }
calling() { (($(waiting_calls) > 0)); }
answered() { (($(waiting_calls) == 0)); }
eventually answered || fail "the running copy did not take the calls left from the hung time: $(ss -xl)"

# A copy that ends while a new start waits for its answer lets the new start
# run: the lock decides, not the socket. Stopped, the copy leaves the new
# start's call waiting on its socket, until it is killed.
kill -STOP "$program"
"$work/portable/chronivel" >"$work/third.log" 2>&1 &
third=$!
pids+=("$third")
eventually calling || fail "the new start never called the stopped copy: $(ss -xl)"
kill -9 "$program"
wait "$program" 2>/dev/null || true
program=$third
window=$(window_of "$program") ||
    fail "the start that waited for a copy killed meanwhile showed no window: $(cat "$work/third.log")"
! grep -q 'does not answer' "$work/third.log" || fail "the start that waited for a killed copy gave up: $(cat "$work/third.log")"
xdotool windowactivate "$relay_window"
eventually active "$relay_window" || fail "the relay copy's window could not be brought forward"
second_start_brings_forward "after taking over from a copy killed while it waited"

for pid in "$program" "$relay"; do
    kill -TERM "$pid"
    wait "$pid" || fail "a copy did not end cleanly"
done
echo "PASS: a second start brings the running copy forward and ends; other names run beside it; kill -9 keeps no start out; a hung copy holds a start up only briefly; a waiting start takes over from a copy that ends"

# The runtime folder is a file: no lock there, for either start.
export XDG_RUNTIME_DIR=$work/not-a-folder
: >"$XDG_RUNTIME_DIR"
start_program
second_start_brings_forward "with the lock beside the settings"
kill -TERM "$program"
wait "$program" || fail "the copy with the lock beside the settings did not end cleanly"
# Nor beside the settings: the copy runs, and says on its window that a second would not be noticed.
lockfile=$(dirname "$settings")/chronivel.lock
rm -f "$lockfile"
mkdir "$lockfile"
start_program
notice_shows no_lock "$notice_problem"
grep -q 'second copy' "$work/program.log" || fail "the missing lock was not told: $(cat "$work/program.log")"
kill -TERM "$program"
wait "$program" || fail "the copy without a lock did not end cleanly"
echo "PASS: the lock falls back beside the settings, and a copy without any lock says so on its window"
