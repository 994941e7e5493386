#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Light barriers end to end: the real program, its port a pseudo-terminal whose
# lines the serial shim drives. With start, stop and lap barriers (arrangement
# 2), a run started from the keyboard passes the start barrier (DSR) without
# stopping, takes two laps at the lap barrier (DCD) and stops at the stop
# barrier (CTS). With one barrier alone (arrangement 1), the start barrier
# starts the next run and stops it. The protocol's times must be the times
# between the edges the test made.
#   barriers.sh <chronivel executable> <serial shim library> <ptyholder>
set -euo pipefail
shim=$2
ptyholder=$3
source "$(dirname "$0")/xsession.sh" "$1"

# A port to choose: the slave of a pseudo-terminal kept open by a helper.
coproc PTY { "$ptyholder"; }
pids+=("$PTY_PID")
read -r -u "${PTY[0]}" port || fail "no pseudo-terminal"

# Settings of a first run, with that port chosen.
start_program
kill -TERM "$program"
wait "$program" || fail "the first run did not end cleanly"
# Edited as a user would in a text editor, saved as UTF-8; the program reads that too.
settings_text | sed "s|^\"PortName\"=.*|\"PortName\"=\"$port\"|" >"$work/edited.reg"
mv "$work/edited.reg" "$settings"
grep -q "^\"PortName\"=\"$port\"" "$settings" || fail "no PortName in the settings"

# Starts the program with the shim taking its commands from $control and
# logging the lines to $log, and waits until it has opened the port.
start_with_shim() {
    control=$work/$1
    log=$work/$1.log
    program_env=(LD_PRELOAD="$shim" CHRONIVEL_SERIALSHIM_CONTROL="$control" CHRONIVEL_SERIALSHIM_LOG="$log")
    start_program
    for _ in $(seq 100); do grep -q '^READY ' "$log" 2>/dev/null && break; sleep 0.1; done
    grep -q '^READY ' "$log" 2>/dev/null || fail "the program did not open $port at start-up"
}
start_with_shim lines

xdotool key Return  # START from the keyboard
started() {
    local count
    count=$(settings_text | grep '^"TickCount"=hex:') && [[ $count != '"TickCount"=hex:00,00,00,00,00,00,00,00' ]]
}
for _ in $(seq 100); do started && break; sleep 0.1; done
started || fail "Enter did not start a run"

edge() { echo "$1" >"$control"; sleep 0.4; }
edge "DSR 1"  # the start barrier, passed once more: beside a stop barrier it does not stop
edge "DSR 0"
edge "DCD 1"
edge "DCD 0"
edge "DCD 1"
edge "DCD 0"
edge "CTS 1"
for _ in $(seq 100); do grep -q '^STOP: = ' "$protocol" 2>/dev/null && break; sleep 0.1; done
grep -q '^STOP: = ' "$protocol" 2>/dev/null || fail "the stop barrier did not stop the run; the shim logged: $(cat "$log")"
kill -TERM "$program"
wait "$program" || fail "the program did not end cleanly"

# Moments of the edges, in ns of CLOCK_MONOTONIC.
mapfile -t laps < <(awk '$1 == "DCD" && $2 == 1 {print $3}' "$log")
stop=$(awk '$1 == "CTS" && $2 == 1 {print $3}' "$log")
((${#laps[@]} == 2)) && [[ -n $stop ]] || fail "the shim logged other edges: $(cat "$log")"

# "1.02,345" or "2,345" in ms.
ms() { awk -v t="$1" 'BEGIN { n = split(t, p, /[.,]/); v = p[n] + 1000 * p[n - 1]; if (n > 2) v += 60000 * p[n - 2]; print v }'; }
tr -d '\r' <"$protocol" >"$work/protocol.txt"
lap2=$(grep -a '^LAP 2 = ' "$work/protocol.txt") || fail "no second lap"
stopline=$(grep -a '^STOP: = ' "$work/protocol.txt")
recorded_lap=$(ms "$(awk '{print $NF}' <<<"$lap2")")
# The stop line: total, (+ since the first lap), since the previous lap, average.
recorded_last=$(ms "$(awk '{for (i = 1; i < NF; i++) if ($i ~ /\)$/) {print $(i + 1); exit}}' <<<"$stopline")")
made_lap=$(((laps[1] - laps[0]) / 1000000))
made_last=$(((stop - laps[1]) / 1000000))
echo "second lap: made $made_lap ms, recorded $recorded_lap ms"
echo "last stretch: made $made_last ms, recorded $recorded_last ms"
# Each recorded time is the difference of two times cut to the millisecond.
close() { (($1 - $2 <= 1 && $2 - $1 <= 1)); }
close "$recorded_lap" "$made_lap" || fail "the second lap is $recorded_lap ms, the edges were $made_lap ms apart"
close "$recorded_last" "$made_last" || fail "the stop came $recorded_last ms after the lap, the edges $made_last ms"
echo "PASS: laps and stop at the moments of their edges"

# One barrier alone, on pins 4 + 6 (DSR), starts and stops.
settings_text | sed 's|^"LsCount"=.*|"LsCount"=dword:00000001|' >"$work/edited.reg"
mv "$work/edited.reg" "$settings"
grep -q '^"LsCount"=dword:00000001' "$settings" || fail "no LsCount in the settings"
start_with_shim one
edge "DSR 1"
edge "DSR 0"
edge "DSR 1"
stops() { grep -ac '^STOP: = ' "$protocol"; }
for _ in $(seq 100); do (($(stops) == 2)) && break; sleep 0.1; done
(($(stops) == 2)) || fail "one barrier did not stop the run it started; the shim logged: $(cat "$log")"
kill -TERM "$program"
wait "$program" || fail "the program did not end cleanly"
settings_text | grep -q '^"LsCount"=dword:00000001' || fail "the arrangement was not kept"

mapfile -t edges < <(awk '$1 == "DSR" && $2 == 1 {print $3}' "$log")
((${#edges[@]} == 2)) || fail "the shim logged other edges: $(cat "$log")"
tr -d '\r' <"$protocol" >"$work/protocol.txt"
grep -aq '^START 2 = ' "$work/protocol.txt" || fail "the barrier's run is not in the protocol"
run=$(ms "$(grep -a '^STOP: = ' "$work/protocol.txt" | tail -n 1 | awk '{print $NF}')")
made_run=$(((edges[1] - edges[0]) / 1000000))
echo "one barrier: made $made_run ms, recorded $run ms"
close "$run" "$made_run" || fail "the run took $run ms, its edges were $made_run ms apart"
echo "PASS: one barrier starts and stops at the moments of its edges"
