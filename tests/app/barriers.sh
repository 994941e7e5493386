#!/usr/bin/env bash
# Light barriers end to end: the real program, its port a pseudo-terminal whose
# lines the serial shim drives. A run started from the keyboard takes two laps
# at the lap barrier (DCD) and stops at the stop barrier (CTS); the protocol's
# lap times must be the times between the edges the test made.
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

control=$work/lines
log=$work/lines.log
program_env=(LD_PRELOAD="$shim" CHRONIVEL_SERIALSHIM_CONTROL="$control" CHRONIVEL_SERIALSHIM_LOG="$log")
start_program
for _ in $(seq 100); do grep -q '^READY ' "$log" 2>/dev/null && break; sleep 0.1; done
grep -q '^READY ' "$log" 2>/dev/null || fail "the program did not open $port at start-up"

xdotool key Return  # START from the keyboard
started() {
    local count
    count=$(settings_text | grep '^"TickCount"=hex:') && [[ $count != '"TickCount"=hex:00,00,00,00,00,00,00,00' ]]
}
for _ in $(seq 100); do started && break; sleep 0.1; done
started || fail "Enter did not start a run"

edge() { echo "$1" >"$control"; sleep 0.4; }
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
