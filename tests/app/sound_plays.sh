#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The program's start-up sound really reaches the sound server: a private
# PulseAudio daemon with a silent null sink, whose monitor is recorded while the
# program starts, and once while nothing plays, as a control.
#   sound_plays.sh <chronivel executable>
set -euo pipefail
exe=$1

work=$(mktemp -d)
cleanup() {
    stop_sound_server
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    [[ -f $work/daemon.log ]] && { echo "--- daemon log:" >&2; tail -20 "$work/daemon.log" >&2; }
    exit 1
}

mkdir -p "$work/runtime"
chmod 700 "$work/runtime"
export XDG_RUNTIME_DIR=$work/runtime XDG_CONFIG_HOME=$work/home/.config
export QT_QPA_PLATFORM=offscreen
source "$(dirname "$0")/soundserver.sh"
start_sound_server

# Records for as long as `$@` runs, with half a second before and after.
record() {
    start_recording
    sleep 0.5
    "$@" || fail "'$*' failed"
    sleep 0.5
    stop_recording
}

# A copy of its own, so that its protocol and settings stay in the test's folder.
mkdir -p "$work/portable"
cp "$exe" "$work/portable/chronivel"
run_program() {
    "$work/portable/chronivel" >"$work/program.log" 2>&1 &
    local program=$!
    sleep 1.5
    kill -TERM "$program"
    wait "$program" || { cat "$work/program.log" >&2; return 1; }
}

record sleep 1
expect_silence "while nothing played"
record run_program
expect_sound "the start sound"
echo "PASS"
