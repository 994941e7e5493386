#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# CPU of the whole program while a run runs, with the large display shown
# full-screen at 1920x1080 and without it, side by side in one run on one
# private X server: rounds of 10 s each, alternating, so that a busy moment
# of the machine falls on both. Prints each round and the ratio of the sums.
#   bench/secondmonitor_cpu.sh [chronivel executable] [rounds]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
exe=${1:-$root/build/src/app/chronivel}
rounds=${2:-3}
source "$root/tests/app/xsession.sh" "$exe" -screen 0 1920x1080x24

ticks() { awk '{print $14 + $15}' "/proc/$program/stat"; }
# CPU time of the program over $1 seconds, in percent of one core.
cpu_over() {
    local before after hz
    hz=$(getconf CLK_TCK)
    before=$(ticks)
    sleep "$1"
    after=$(ticks)
    echo $(((after - before) * 100 * 100 / (hz * $1)))  # hundredths of a percent
}
big_shown() { [[ -n $(xdotool search --onlyvisible --name '^Monitor 2$' 2>/dev/null) ]]; }
toggle_big() {
    give_focus "$window" "the main window"
    xdotool key ctrl+t
    for _ in $(seq 50); do
        if [[ $1 == on ]] && big_shown; then return 0; fi
        if [[ $1 == off ]] && ! big_shown; then return 0; fi
        sleep 0.1
    done
    fail "Ctrl+T did not turn the large display $1"
}

start_program
xdotool key Return  # START: the readout runs from here on
sleep 2
without=0 with=0
for round in $(seq "$rounds"); do
    a=$(cpu_over 10)
    toggle_big on
    sleep 1
    b=$(cpu_over 10)
    toggle_big off
    sleep 1
    printf 'round %d: without %d.%02d %%, with the display %d.%02d %%\n' "$round" $((a / 100)) $((a % 100)) \
        $((b / 100)) $((b % 100))
    without=$((without + a)) with=$((with + b))
done
printf 'with/without: %s\n' "$(awk -v a="$with" -v b="$without" 'BEGIN {printf "%.2f", b ? a / b : 0}')"
kill -TERM "$program"
wait "$program" || true
