#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The real program under a private X server: a run survives `kill -9` and goes
# on counting after a restart, and SIGTERM saves everything, as Exit does,
# whatever window is open.
#   run_survives.sh <chronivel executable> kill|term
set -euo pipefail
mode=$2
source "$(dirname "$0")/xsession.sh" "$1"

tick_count() { settings_text | grep '^"TickCount"=' | cut -d= -f2; }
zero_count='hex:00,00,00,00,00,00,00,00'

case $mode in
kill)
    start_program
    xdotool key Return  # START
    wait_for_setting '^"TickCount"=hex:'
    first=$(tick_count)
    [[ $first != "$zero_count" ]] || fail "the started run was not saved"
    sleep 2
    kill -9 "$program"
    wait "$program" 2>/dev/null || true

    start_program
    [[ $(tick_count) == "$first" ]] || fail "the killed run's start was lost"
    sleep 1
    xdotool key Return  # STOP of the resumed run
    wait_for_setting "^\"TickCount\"=$zero_count"
    [[ -f $protocol ]] || fail "the stopped run was not written to the protocol"
    # The resumed run has no START line; its STOP line counts from the first start.
    stop=$(grep -a '^STOP: = ' "$protocol") || fail "no STOP line"
    seconds=$(sed -E 's/^STOP: = +([0-9]+),.*/\1/' <<<"$stop" | tr -d '\r')
    ((seconds >= 3)) || fail "the run did not go on counting across the kill: $stop"
    settings_text | grep '^"Sound"=dword:00000001' >/dev/null || fail "settings damaged"
    kill -TERM "$program"
    wait "$program" || fail "SIGTERM did not end the program cleanly"
    ;;
term)
    start_program
    xdotool key Return  # START
    wait_for_setting '^"TickCount"=hex:'
    # Moving the window is saved at exit only: SIGTERM must bring that about.
    xdotool windowmove "$window" 123 77
    for _ in $(seq 50); do
        [[ $(xdotool getwindowgeometry "$window" | grep -c 'Position: 123,77') == 1 ]] && break
        sleep 0.1
    done
    # An open dialog (this one slides away before it closes) does not hold up the end.
    xdotool key ctrl+c
    for _ in $(seq 50); do (($(xdotool search --onlyvisible --pid "$program" | wc -l) == 2)) && break; sleep 0.1; done
    kill -TERM "$program"
    for _ in $(seq 100); do kill -0 "$program" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$program" 2>/dev/null && fail "SIGTERM did not end the program while its configuration dialog was open"
    wait "$program" || fail "SIGTERM did not end the program cleanly"
    settings_text | grep '^"Left"=dword:0000007b' >/dev/null || fail "the window's place was not saved at SIGTERM"
    settings_text | grep '^"Top"=dword:0000004d' >/dev/null || fail "the window's place was not saved at SIGTERM"
    [[ $(tick_count) != "$zero_count" ]] || fail "the running run was not kept"
    ;;
*)
    fail "unknown mode $mode"
    ;;
esac
echo "PASS: $mode"
