#!/usr/bin/env bash
# The program's start-up sound really reaches the sound server: a private
# PulseAudio daemon with a silent null sink, whose monitor is recorded while the
# program starts, and once while nothing plays, as a control.
#   sound_plays.sh <chronivel executable>
set -euo pipefail
exe=$1

work=$(mktemp -d)
daemon=""
recorder=""
cleanup() {
    # Only while it is still our child: a waited-for number may be reused by now.
    if [[ -n $recorder && $(ps -o ppid= -p "$recorder" 2>/dev/null | tr -d ' ') == "$$" ]]; then
        kill "$recorder" 2>/dev/null || true
        wait "$recorder" 2>/dev/null || true
    fi
    if [[ -n $daemon ]] && kill "$daemon" 2>/dev/null; then
        # It removes its pid file and socket as it exits; let it finish before removing the folder.
        for _ in $(seq 50); do [[ -e $XDG_RUNTIME_DIR/pulse/pid ]] || break; sleep 0.1; done
    fi
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    [[ -f $work/daemon.log ]] && { echo "--- daemon log:" >&2; tail -20 "$work/daemon.log" >&2; }
    exit 1
}

for tool in pulseaudio parec sox; do
    command -v "$tool" >/dev/null || fail "$tool is not installed (tools/bootstrap installs it)"
done

# Its own home and runtime folder, so that the user's sound server is never touched.
mkdir -p "$work/home" "$work/runtime"
chmod 700 "$work/runtime"
export HOME=$work/home XDG_RUNTIME_DIR=$work/runtime XDG_CONFIG_HOME=$work/home/.config
export PULSE_SERVER=unix:$XDG_RUNTIME_DIR/pulse/native
export QT_QPA_PLATFORM=offscreen
unset PULSE_SINK PULSE_SOURCE DBUS_SESSION_BUS_ADDRESS

pulseaudio --daemonize=yes --exit-idle-time=-1 --system=false -n \
    --log-target=file:"$work/daemon.log" \
    --load="module-null-sink sink_name=nullsink" \
    --load=module-native-protocol-unix || fail "the sound daemon did not start"
for _ in $(seq 100); do [[ -S $XDG_RUNTIME_DIR/pulse/native && -s $XDG_RUNTIME_DIR/pulse/pid ]] && break; sleep 0.1; done
[[ -s $XDG_RUNTIME_DIR/pulse/pid ]] || fail "the sound daemon wrote no pid file"
daemon=$(cat "$XDG_RUNTIME_DIR/pulse/pid")

# Records the sink into $raw for as long as `$@` runs, with half a second before and after.
raw=$work/recording.raw
record() {
    # The default latency holds back up to two seconds, lost when parec is killed;
    # much shorter ones drop samples.
    parec --latency-msec=100 -d nullsink.monitor --format=s16le --rate=44100 --channels=1 --raw >"$raw" &
    recorder=$!
    sleep 0.5
    "$@" || fail "'$*' failed"
    sleep 0.5
    kill "$recorder"
    wait "$recorder" 2>/dev/null || true
    recorder=""
    [[ -s $raw ]] || fail "nothing was recorded"
}

# The recording's RMS and maximum amplitude, of full scale 1.
measure() {
    sox -t raw -r 44100 -e signed -b 16 -c 1 "$raw" -n stat 2>&1 |
        awk '/^RMS +amplitude/ {rms = $3} /^Maximum amplitude/ {max = $3} END {print rms, max}'
}

# A copy of its own, so that its protocol and settings stay in the test's folder.
mkdir -p "$work/bin"
cp "$exe" "$work/bin/chronivel"
run_program() {
    "$work/bin/chronivel" >"$work/program.log" 2>&1 &
    local program=$!
    sleep 1.5
    kill -TERM "$program"
    wait "$program" || { cat "$work/program.log" >&2; return 1; }
}

record sleep 1
read -r quiet_rms quiet_max <<<"$(measure)"
echo "nothing played: RMS $quiet_rms, maximum $quiet_max"
record run_program
read -r sound_rms sound_max <<<"$(measure)"
echo "program started: RMS $sound_rms, maximum $sound_max"

number='^[0-9]+(\.[0-9]+)?$'
for value in "$quiet_rms" "$sound_rms" "$sound_max"; do
    [[ $value =~ $number ]] || fail "sox measured no amplitude"
done
awk -v r="$quiet_rms" 'BEGIN {exit !(r < 0.001)}' || fail "the recording is not silent when nothing plays"
awk -v r="$sound_rms" -v m="$sound_max" 'BEGIN {exit !(r > 0.01 && m > 0.1)}' ||
    fail "the start sound was not heard in the recording"
echo "PASS"
