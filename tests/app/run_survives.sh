#!/usr/bin/env bash
# The real program under a private X server: a run survives `kill -9` and goes
# on counting after a restart, and SIGTERM saves everything, as Exit does.
#   run_survives.sh <chronivel executable> kill|term
set -euo pipefail
exe=$1
mode=$2

work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill -9 "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    [[ -f $settings ]] && { echo "--- settings:" >&2; cat "$settings" >&2; }
    [[ -f $protocol ]] && { echo "--- protocol:" >&2; cat "$protocol" >&2; }
    exit 1
}

# A copy of its own, so that the protocol beside it does not land in the build tree.
mkdir -p "$work/bin" "$work/runtime"
chmod 700 "$work/runtime"
cp "$exe" "$work/bin/chronivel"
export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_RUNTIME_DIR=$work/runtime
unset QT_QPA_PLATFORM WAYLAND_DISPLAY
settings=$XDG_CONFIG_HOME/Orvantis/chronivel.reg
protocol=$work/bin/Protocol.txt

Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
pids+=($!)
for _ in $(seq 100); do [[ -s $work/display ]] && break; sleep 0.1; done
[[ -s $work/display ]] || fail "Xvfb did not start"
export DISPLAY=:$(cat "$work/display")

program=0
window=0
start_program() {
    "$work/bin/chronivel" >"$work/program.log" 2>&1 &
    program=$!
    pids+=("$program")
    window=$(timeout 20 xdotool search --sync --onlyvisible --pid "$program" 2>/dev/null | head -n 1) ||
        fail "no window appeared"
    # Without a window manager the focus is ours to give, once the window is mapped.
    for _ in $(seq 100); do
        xdotool windowfocus "$window" 2>/dev/null || true
        [[ $(xdotool getwindowfocus 2>/dev/null) == "$window" ]] && return 0
        sleep 0.1
    done
    fail "the window never took the keyboard focus"
}

# Waits until the settings file says what the test expects.
wait_for_setting() {
    local pattern=$1
    for _ in $(seq 100); do
        grep -q -- "$pattern" "$settings" 2>/dev/null && return 0
        sleep 0.1
    done
    fail "settings never showed $pattern"
}

tick_count() { grep '^"TickCount"=' "$settings" | cut -d= -f2; }
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
    grep -q '^"Sound"=dword:00000001' "$settings" || fail "settings damaged"
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
    kill -TERM "$program"
    wait "$program" || fail "SIGTERM did not end the program cleanly"
    grep -q '^"Left"=dword:0000007b' "$settings" || fail "the window's place was not saved at SIGTERM"
    grep -q '^"Top"=dword:0000004d' "$settings" || fail "the window's place was not saved at SIGTERM"
    [[ $(tick_count) != "$zero_count" ]] || fail "the running run was not kept"
    ;;
*)
    fail "unknown mode $mode"
    ;;
esac
echo "PASS: $mode"
