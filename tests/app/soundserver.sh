# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced by the tests that listen to the program: a private PulseAudio daemon
# with a silent null sink, whose monitor is recorded. Needs $work, fail and
# XDG_RUNTIME_DIR (a private one); the sourcing script calls stop_sound_server
# on its way out.
sound_daemon=""
recorder=""

for tool in pulseaudio parec sox; do
    command -v "$tool" >/dev/null || fail "$tool is not installed (tools/bootstrap installs it)"
done

start_sound_server() {
    # Its own home, so that the user's sound server is never touched.
    mkdir -p "$work/home"
    export HOME=$work/home
    export PULSE_SERVER=unix:$XDG_RUNTIME_DIR/pulse/native
    unset PULSE_SINK PULSE_SOURCE DBUS_SESSION_BUS_ADDRESS
    pulseaudio --daemonize=yes --exit-idle-time=-1 --system=false -n \
        --log-target=file:"$work/daemon.log" \
        --load="module-null-sink sink_name=nullsink" \
        --load=module-native-protocol-unix || fail "the sound daemon did not start"
    for _ in $(seq 100); do [[ -S $XDG_RUNTIME_DIR/pulse/native && -s $XDG_RUNTIME_DIR/pulse/pid ]] && break; sleep 0.1; done
    [[ -s $XDG_RUNTIME_DIR/pulse/pid ]] || fail "the sound daemon wrote no pid file"
    sound_daemon=$(cat "$XDG_RUNTIME_DIR/pulse/pid")
}

stop_sound_server() {
    # Only while it is still our child: a waited-for number may be reused by now.
    if [[ -n $recorder && $(ps -o ppid= -p "$recorder" 2>/dev/null | tr -d ' ') == "$$" ]]; then
        kill "$recorder" 2>/dev/null || true
        wait "$recorder" 2>/dev/null || true
    fi
    if [[ -n $sound_daemon ]] && kill "$sound_daemon" 2>/dev/null; then
        # It removes its pid file and socket as it exits; let it finish before its folder goes.
        for _ in $(seq 50); do [[ -e $XDG_RUNTIME_DIR/pulse/pid ]] || break; sleep 0.1; done
    fi
}

# Records the sink into $raw from now until stop_recording.
raw=$work/recording.raw
start_recording() {
    # The default latency holds back up to two seconds, lost when parec is killed;
    # much shorter ones drop samples.
    parec --latency-msec=100 -d nullsink.monitor --format=s16le --rate=44100 --channels=1 --raw >"$raw" &
    recorder=$!
    # The null sink's monitor delivers silence all along: once some came, the
    # recording runs, and whatever is played from now on is in it.
    for _ in $(seq 100); do [[ -s $raw ]] && return 0; sleep 0.1; done
    fail "parec recorded nothing in 10 s"
}
stop_recording() {
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
# Succeeds when the recording is silent; else fails saying what was heard while $1.
expect_silence() {
    local rms max
    read -r rms max <<<"$(measure)"
    echo "$1: RMS $rms, maximum $max"
    [[ $rms =~ ^[0-9]+(\.[0-9]+)?$ ]] || fail "sox measured no amplitude"
    awk -v r="$rms" 'BEGIN {exit !(r < 0.001)}' || fail "a sound was heard $1"
}
# Fails unless the recording holds a sound of some loudness; $1 says which.
expect_sound() {
    local rms max
    read -r rms max <<<"$(measure)"
    echo "$1: RMS $rms, maximum $max"
    [[ $rms =~ ^[0-9]+(\.[0-9]+)?$ && $max =~ ^[0-9]+(\.[0-9]+)?$ ]] || fail "sox measured no amplitude"
    awk -v r="$rms" -v m="$max" 'BEGIN {exit !(r > 0.01 && m > 0.1)}' || fail "$1 was not heard in the recording"
}

# The sounds in the recording so far that are over (a quarter second of
# silence after them), one line each: its start and length in seconds and its
# notes (parts with 20 ms or more of silence between).
sounds_heard() {
    python3 - "$raw" <<'PY'
import array, sys
data = open(sys.argv[1], "rb").read()
samples = array.array("h", data[: len(data) // 2 * 2])
frame = 441  # 10 ms
sound, notes, last, quiet = None, 0, 0, 0
for i in range(len(samples) // frame):
    part = samples[i * frame:(i + 1) * frame]
    if max(part) > 3277 or min(part) < -3277:  # a tenth of full scale
        if sound is None:
            sound, notes = i, 1
        elif quiet >= 2:
            notes += 1
        last, quiet = i, 0
    else:
        quiet += 1
        if sound is not None and quiet >= 25:
            print(f"{sound / 100:.2f} {(last - sound + 1) / 100:.2f} {notes}")
            sound = None
PY
}
# Waits up to 20 s until the recording holds $1 sounds that are over.
wait_for_sounds() {
    for _ in $(seq 200); do
        (($(sounds_heard | wc -l) >= $1)) && return 0
        sleep 0.1
    done
    fail "the recording never held $1 sounds: $(sounds_heard | tr '\n' ';')"
}
