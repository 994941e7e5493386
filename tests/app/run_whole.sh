#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The real program under a private X server: a run in progress comes back
# whole after an exit or a kill -9 (START line, laps, pause), and finished
# runs that the protocol file will not take are told, kept and written later.
# A damaged start of a run in the settings is told and is no run. A kill -9
# while a run is finished, its settings saves slowed down, neither loses nor
# doubles it. Settings that cannot be saved during a run are told on the
# window, and the keys go on acting on the run.
#   run_whole.sh <chronivel executable> kill|term|unwritable|damaged|finish|unsaved
set -euo pipefail
mode=$2
source "$(dirname "$0")/xsession.sh" "$1"

# The block of the protocol that begins with "START <n> = ", CR LF stripped.
block() { tr -d '\r' <"$protocol" | awk -v head="START $1 = " 'index($0, head) == 1 { on = 1 } on { print } on && /^$/ { exit }'; }

# A click on the Retry at the end of the notice line, which covers the date
# panel: at zoom 1 the panel is 131 x 25 pixels at (45, 46).
click_retry() {
    eval "$(xdotool getwindowgeometry --shell "$window")"
    xdotool mousemove $((X + 45 + 131 - 14)) $((Y + 46 + 12)) click 1
}

# The finished runs kept in the settings for the protocol, as text; the
# settings file holds a text with line ends as UTF-16 hex.
pending_runs() {
    settings_text | perl -0ne 'print $1 if /^"PendingRuns"="(.*)"$/m;
        if (/^"PendingRuns"=hex\(1\):((?:[0-9a-f, ]|\\\n)*)/m) { ($h = $1) =~ s/[^0-9a-f]//g; ($t = pack("H*", $h)) =~ s/\0//g; print $t }'
}
wait_for_pending() {
    for _ in $(seq 100); do
        pending_runs 2>/dev/null | grep -a -- "$1" >/dev/null && return 0
        sleep 0.1
    done
    fail "the settings do not keep $1"
}

told() { grep -c 'Cannot write to the protocol file' "$work/program.log" || true; }
wait_told() {
    for _ in $(seq 100); do
        (($(told) >= $1)) && return 0
        sleep 0.1
    done
    fail "the failed write was not told (time $1)"
}

case $mode in
kill | term)
    start_program
    xdotool key Return  # START
    wait_for_setting '^"TickCount"=hex:'
    sleep 0.5
    xdotool key space  # LAP 1
    sleep 0.5
    xdotool key space  # LAP 2
    sleep 0.5
    xdotool key Pause
    sleep 1
    [[ $mode == kill ]] && kill -9 "$program" || kill -TERM "$program"
    wait "$program" 2>/dev/null || true
    sleep 2

    start_program
    sleep 2  # a paused run stays at its reading
    xdotool key Return  # STOP
    for _ in $(seq 100); do [[ -s $protocol ]] && break; sleep 0.1; done
    [[ -s $protocol ]] || fail "the stopped run was not written to the protocol"
    run=$(block 1)
    [[ -n $run ]] || fail "the run lost its START line with its number"
    grep -ac '^LAP [12] = ' <<<"$run" | grep -x 2 >/dev/null || fail "the run lost its laps"
    grep -a '^PAUSE = ' <<<"$run" >/dev/null || fail "the run lost its pause"
    stop=$(grep -a '^STOP: = ' <<<"$run") || fail "no STOP line"
    seconds=$(LC_ALL=C sed -E 's/^STOP: = +([0-9]+),.*/\1/' <<<"$stop")
    ((seconds >= 1 && seconds < 3)) || fail "the paused run did not come back at its reading: $stop"
    ;;
unwritable)
    mkdir "$protocol"  # a folder where the file should be: root cannot write it either
    start_program
    xdotool key Return  # START 1
    sleep 0.3
    xdotool key space
    sleep 0.3
    xdotool key Return  # STOP
    wait_told 1
    grep "\"$protocol\". Is a directory" "$work/program.log" >/dev/null || fail "the file or the reason was not named"
    grep 'kept in' "$work/program.log" >/dev/null || fail "the user was not told where the run is"
    wait_for_pending 'START 1 = '
    only_main_window "after the protocol would not take the run"
    xdotool key Return  # RESET
    sleep 0.3
    xdotool key Return  # START 2
    sleep 0.3
    xdotool key Return  # STOP
    wait_told 2
    wait_for_pending 'START 2 = '
    pending_runs | grep -a 'START 1 = ' >/dev/null || fail "the first kept run was lost"
    kill -9 "$program"
    wait "$program" 2>/dev/null || true

    # Still a folder at the next start: told again; then the user mends it and retries.
    start_program  # a new log
    wait_told 1
    grep '^2 runs not written there are kept' "$work/program.log" >/dev/null || fail "the kept runs were not told"
    rmdir "$protocol"
    click_retry
    for _ in $(seq 100); do [[ -s $protocol ]] && break; sleep 0.1; done
    [[ -n $(block 1) && -n $(block 2) ]] || fail "the kept runs were not written at the retry"
    wait_for_setting '^"PendingRuns"=""'  # forgotten once written
    xdotool key Return  # RESET
    sleep 0.3
    xdotool key Return  # START 3
    sleep 0.3
    xdotool key Return  # STOP
    for _ in $(seq 100); do [[ -n $(block 3) ]] && break; sleep 0.1; done
    [[ -n $(block 3) ]] || fail "the next run was not numbered on"
    [[ $(grep -ac '^START ' "$protocol") == 3 ]] || fail "a run is missing or doubled"
    ;;
damaged)
    start_program
    kill -TERM "$program"
    wait "$program" || fail "SIGTERM did not end the program cleanly"
    # The largest count there is: a start in the future of any counter.
    settings_text | sed -e 's/^"TickCount"=.*/"TickCount"=hex:ff,ff,ff,ff,ff,ff,ff,7f/' -e 's/$/\r/' |
        iconv -f UTF-8 -t UTF-16 >"$work/damaged.reg"
    mv "$work/damaged.reg" "$settings"
    start_program
    for _ in $(seq 100); do grep -q '"TickCount"' "$work/program.log" && break; sleep 0.1; done
    grep -q '"TickCount"' "$work/program.log" || fail "the damaged start of the run was not told"
    only_main_window "after the damaged run was told"
    wait_for_setting "^\"TickCount\"=hex:00,00,00,00,00,00,00,00"
    xdotool key Return  # START: the program came up ready
    sleep 1
    xdotool key Return  # STOP
    for _ in $(seq 100); do [[ -s $protocol ]] && break; sleep 0.1; done
    stop=$(grep -a '^STOP: = ' "$protocol") || fail "no run was timed"
    seconds=$(LC_ALL=C sed -E 's/^STOP: = +([0-9]+),.*/\1/' <<<"$stop")
    ((seconds < 5)) || fail "the damaged count made a run: $stop"
    [[ -n $(block 1) ]] || fail "the run has no START line"
    settings_text | grep -E '^"Leader"=dword:0000[0-9a-f]{4}' >/dev/null || fail "the best time is not the run's"
    ;;
finish)
    # Each kill comes at another step of finishing the run: during the save
    # that keeps it, after the append, during the save that forgets it.
    for killAfter in 1 3 5; do
        start_program
        xdotool key Return  # START
        for _ in $(seq 100); do
            settings_text | grep '^"TickCount"=hex:' | grep -vx '"TickCount"=hex:00,00,00,00,00,00,00,00' >/dev/null &&
                break
            sleep 0.1
        done
        # Every settings save now takes two seconds.
        strace -f -p "$program" -o /dev/null -e trace=rename,renameat,renameat2 \
            -e inject=rename,renameat,renameat2:delay_enter=2000000 &
        tracer=$!
        sleep 1
        xdotool key Return  # STOP
        sleep "$killAfter"
        kill -9 "$program"
        wait "$program" 2>/dev/null || true
        wait "$tracer" 2>/dev/null || true

        start_program
        sleep 1
        # A run that came back running is stopped now; one that was finished is not run again.
        if ! settings_text | grep '^"TickCount"=hex:00,00,00,00,00,00,00,00' >/dev/null; then
            xdotool key Return
            wait_for_setting '^"TickCount"=hex:00,00,00,00,00,00,00,00'
        fi
        kill -TERM "$program"
        wait "$program" || fail "SIGTERM did not end the program cleanly"
    done
    for number in 1 2 3; do
        [[ $(grep -ac "^START $number = " "$protocol") == 1 ]] || fail "run $number is not in the protocol once"
    done
    [[ $(grep -ac '^STOP: = ' "$protocol") == 3 ]] || fail "a run was written twice"
    start_program
    ;;
unsaved)
    start_program
    xdotool key Return  # START
    wait_for_setting '^"TickCount"=hex:'
    # A folder where the settings file was: no save can replace it now, root's neither.
    mv "$settings" "$work/saved.reg"
    mkdir "$settings"
    xdotool key space  # LAP 1, whose save fails
    notice_shows settings_not_saved "$notice_problem"
    only_main_window "after a save failed"
    xdotool key space  # LAP 2: the key still takes laps
    xdotool key Return  # STOP
    for _ in $(seq 100); do [[ -n $(block 1) ]] && break; sleep 0.1; done
    run=$(block 1)
    [[ $(grep -ac '^LAP [12] = ' <<<"$run") == 2 ]] || fail "the keys did not take both laps: $run"
    grep -a '^STOP: = ' <<<"$run" >/dev/null || fail "Enter did not stop the run"
    grep -aF "'$settings'" "$work/program.log" >/dev/null || fail "the settings file was not named"
    # The folder goes again: the Retry at the notice's end saves.
    rmdir "$settings"
    click_retry
    wait_for_setting '^"TickCount"=hex:00,00,00,00,00,00,00,00'
    ;;
*)
    fail "unknown mode $mode"
    ;;
esac
kill -TERM "$program"
wait "$program" || fail "SIGTERM did not end the program cleanly"
settings_text | grep '^"Sound"=dword:00000001' >/dev/null || fail "settings damaged"
echo "PASS: $mode"
