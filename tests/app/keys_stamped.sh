#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The real program under a private X server times keys from their press, as
# the X server stamped them, not from when it got round to them:
#   stopped  the program is stopped (SIGSTOP) while Space and Return are
#            pressed, then let go on; the lap and the STOP follow the keys.
#   saving   a settings file of 50 MB: the save at START keeps the window
#            busy while Space is pressed; the lap follows the key.
#   keys_stamped.sh <chronivel executable> stopped|saving
set -euo pipefail
mode=$2
source "$(dirname "$0")/xsession.sh" "$1"

now_ms() { echo $(($(date +%s%N) / 1000000)); }
# Presses a key; sets $before and $after, the moments around the press.
press() {
    before=$(now_ms)
    xdotool key "$1"
    after=$(now_ms)
}
# The protocol is written after the settings: the run is done when it is there.
wait_for_stop_line() {
    for _ in $(seq 300); do
        grep -a '^STOP: =' "$protocol" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    fail "the run's STOP line never reached the protocol"
}
# Milliseconds of the first time in the protocol's line that starts with $1.
recorded_ms() {
    local line
    line=$(grep -a "^$1" "$protocol" | head -n 1 | tr -d '\r') || fail "no line $1 in the protocol"
    local time
    time=$(LC_ALL=C sed -E 's/^[^=]*= +([0-9]+),([0-9]{3}).*/\1\2/' <<<"$line")
    echo $((10#$time))
}
# The recorded time lies between the earliest and the latest the keys allow,
# give or take the millisecond the stamps and the readout cut off.
expect_between() {
    local what=$1 ms=$2 low=$3 high=$4
    echo "$what: recorded $ms ms, the keys allow $low..$high ms"
    ((ms >= low - 2 && ms <= high + 2)) || fail "$what is $ms ms; the keys were pressed $low..$high ms after the start"
}

case $mode in
stopped)
    start_program
    press Return  # START
    start_before=$before start_after=$after
    wait_for_setting '^"TickCount"=hex:.*[1-9a-f]' 300  # the run's start, not the zero before it
    kill -STOP "$program" || fail "the program ended by itself"
    sleep 1
    press space
    lap_before=$before lap_after=$after
    sleep 1
    press Return  # STOP
    stop_before=$before stop_after=$after
    sleep 1
    kill -CONT "$program"
    wait_for_stop_line
    expect_between "LAP 1" "$(recorded_ms 'LAP 1 =')" $((lap_before - start_after)) $((lap_after - start_before))
    expect_between "STOP" "$(recorded_ms 'STOP: =')" $((stop_before - start_after)) $((stop_after - start_before))
    ;;
saving)
    start_program
    kill -TERM "$program"
    wait "$program" || fail "SIGTERM did not end the program cleanly"
    # 25 million characters of a value the program does not know: 50 MB in UTF-16.
    {
        printf '\xff\xfe'
        { settings_text; printf '"Ballast"="%s"\n' "$(head -c 25000000 /dev/zero | tr '\0' x)"; } |
            sed 's/$/\r/' | iconv -f UTF-8 -t UTF-16LE
    } >"$work/big.reg"
    mv "$work/big.reg" "$settings"
    start_program
    press Return  # START, saved at once
    start_before=$before start_after=$after
    press space  # while the save runs
    lap_before=$before lap_after=$after
    wait_for_setting '^"TickCount"=hex:.*[1-9a-f]' 300  # the run's start, not the zero before it
    saved=$(now_ms)
    echo "the save at START was in the file at most $((saved - start_before)) ms after the key"
    press Return  # STOP
    wait_for_stop_line
    expect_between "LAP 1" "$(recorded_ms 'LAP 1 =')" $((lap_before - start_after)) $((lap_after - start_before))
    ;;
*)
    fail "unknown mode $mode"
    ;;
esac
echo "PASS: $mode"
