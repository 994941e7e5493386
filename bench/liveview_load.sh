#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The live view under load: a run with a lap every 100 ms for 20 s, timed by
# the real program under a private X server, with nobody watching, then with
# 200 WebSocket viewers on loopback (bench/liveview_viewers.cjs, connected
# before the run starts), then with nobody again: the program's first run
# costs more than the next, whatever watches. Fails if a viewer missed a lap
# or got another STOP line than the protocol's; prints the program's CPU time
# over each run and the ratio of the watched one to the mean of the others.
#   bench/liveview_load.sh [chronivel executable] [viewers]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
exe=${1:-$root/build/src/app/chronivel}
viewers=${2:-200}
source "$root/tests/app/xsession.sh" "$exe"
source "$root/tests/app/live/view.sh"
live_modules "$root/build/live-node"
view_on

# The program's user and system CPU ticks: on loopback its system time also
# carries the viewers' side of each write.
ticks() { awk '{print $14, $15}' "/proc/$program/stat"; }
# Runs in the protocol: 0 before it is written.
stops() { cat "$protocol" 2>/dev/null | grep -ac '^STOP: = ' || true; }
# START, 200 laps 100 ms apart, STOP; prints the program's CPU seconds
# from START until the run is in the protocol: all, user, system.
timed_run() {
    local before after laps done=$(($(stops) + 1))
    give_focus "$window" "the main window"
    before=$(ticks)
    xdotool key Return  # START
    # One xdotool for all the laps: a process per key would blur the 100 ms.
    mapfile -t laps < <(yes space | head -n 200)
    xdotool key --delay 100 "${laps[@]}"
    xdotool key Return  # STOP
    for _ in $(seq 100); do (($(stops) >= done)) && break; sleep 0.1; done
    (($(stops) >= done)) || fail "the run did not reach the protocol"
    sleep 1  # what the viewers are sent after the STOP
    after=$(ticks)
    awk -v b="$before" -v a="$after" -v hz="$(getconf CLK_TCK)" 'BEGIN {
        split(b, u); split(a, v); printf "%.2f %.2f %.2f\n", (v[1] + v[2] - u[1] - u[2]) / hz, (v[1] - u[1]) / hz, (v[2] - u[2]) / hz }'
}

cpu() { printf '%s s of CPU (user %s s, system %s s)' "$@"; }
read -r alone alone_user alone_system < <(timed_run)
echo "without viewers: $(cpu "$alone" "$alone_user" "$alone_system")"
xdotool key Return  # RESET

coproc load { exec node "$root/bench/liveview_viewers.cjs" "$feed" "$viewers" "$protocol"; }
exec {from}<&"${load[0]}" {to}>&"${load[1]}"
loader=$load_PID
pids+=("$loader")
echo "connecting $viewers viewers…"
if ! read -r line <&"$from" || [[ $line != ready* ]]; then fail "the viewers did not connect: $line"; fi
echo "$line"
read -r watched watched_user watched_system < <(timed_run)
echo "with $viewers viewers: $(cpu "$watched" "$watched_user" "$watched_system")"
echo stopped >&"$to"
cat <&"$from"
wait "$loader" || fail "a viewer missed part of the run"
xdotool key Return  # RESET
read -r again again_user again_system < <(timed_run)
echo "without viewers again: $(cpu "$again" "$again_user" "$again_system")"
printf 'with/without: %s (goal at most 1.3)\n' "$(awk -v a="$watched" -v b="$alone" -v c="$again" 'BEGIN {printf "%.2f", 2 * a / (b + c)}')"
kill -TERM "$program"
wait "$program" || true
