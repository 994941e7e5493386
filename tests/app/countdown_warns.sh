#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The countdown's warning is heard and seen: a 12 s countdown in the real
# program plays the four-note warning sound into a private sound server ten
# seconds before its end, and through those ten seconds the readout flashes
# red; after the end it is lit as ever.
#   countdown_warns.sh <chronivel executable>
set -euo pipefail
source "$(dirname "$0")/xsession.sh" "$1"
source "$(dirname "$0")/soundserver.sh"
trap 'stop_sound_server; cleanup' EXIT
start_sound_server
shots=${CHRONIVEL_SHOTS:-$work}
mkdir -p "$shots"

# A first run writes the settings file that the countdown is then armed in.
start_program
kill -TERM "$program"
wait "$program" || fail "SIGTERM did not end the program cleanly"
edit_settings '"Sound"=dword:00000001' '"CountDown"=dword:00000001' '"CountDownT"=dword:00002ee0'

start_recording
start_program
wait_for_sounds 1  # the program's start-up sound
xdotool key Return  # START
wait_for_sounds 3
read -r _ length notes <<<"$(sounds_heard | sed -n 3p)"
echo "after the start sound: $length s in $notes notes"
((notes == 4)) || fail "the sound after START has $notes notes, not the warning's four"

# The pixels of the shot in the warning's red and in the readout's usual lime.
# The face has a few of each elsewhere (the STOP button, the lamp): the
# readout's digits outnumber them, in whichever colour it is lit.
pixels() { convert "$work/shot.png" -fill black +opaque "$1" -fill white -opaque "$1" -format '%[fx:int(mean*w*h)]' info:; }
shoot() {
    import -window "$window" "$work/shot.png"
    red=$(pixels 'rgb(255,0,0)') lime=$(pixels 'rgb(0,255,0)')
}
# Lime taken before red: both while the readout flashed.
seen=""
for _ in $(seq 100); do
    [[ -f $protocol ]] && fail "the countdown ended before the readout showed dark, then lit (seen:$seen)"
    shoot
    if ((red > lime)); then
        seen+=" red"
        [[ $seen == *lime* ]] && { cp "$work/shot.png" "$shots/warning-lit.png"; break; }
    else
        seen+=" lime"
        cp "$work/shot.png" "$shots/warning-dark.png"
    fi
done
[[ $seen == *lime*red ]] || fail "the readout did not flash (seen:$seen)"

for _ in $(seq 200); do [[ -f $protocol ]] && break; sleep 0.1; done
[[ -f $protocol ]] || fail "the countdown never ended"
shoot
cp "$work/shot.png" "$shots/warning-over.png"
((lime > red)) || fail "the readout is still red after the end ($red red, $lime lime pixels)"
echo "PASS"
