#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The alarm clock rings in the real program, under a window manager: with an
# alarm set a few seconds ahead in its settings, the program is minimised; when
# the time comes its window comes back and the ring is heard on a private sound
# server, and Escape silences it.
#   alarm_rings.sh <chronivel executable>
set -euo pipefail
# -noreset: the server stays up between the two programs, for openbox to join.
source "$(dirname "$0")/xsession.sh" "$1" -noreset
source "$(dirname "$0")/soundserver.sh"
trap 'stop_sound_server; cleanup' EXIT
start_sound_server

start_openbox

# A first run writes the settings file that the alarm is then set in.
start_program
kill -TERM "$program"
wait "$program" || fail "SIGTERM did not end the program cleanly"
[[ -f $settings ]] || fail "the program wrote no settings"

# The alarm, $1 seconds from now, as the fraction of the day that "Alarm" keeps
# (a double's eight bytes, little-endian), armed.
set_alarm_in() {
    local now alarm
    now=$(date +%s.%N)
    alarm=$(python3 -c '
import datetime, struct, sys
t = datetime.datetime.fromtimestamp(float(sys.argv[1]) + float(sys.argv[2]))
day = (t - t.replace(hour=0, minute=0, second=0, microsecond=0)).total_seconds() / 86400
print(",".join("%02x" % b for b in struct.pack("<d", day)))' "$now" "$1")
    {
        printf '\xff\xfe'
        settings_text | sed -e '/^"AlarmOn"=/d' -e '/^"Alarm"=/d' -e "/^\[/a \"AlarmOn\"=dword:00000001\n\"Alarm\"=hex:$alarm" |
            sed 's/$/\r/' | iconv -f UTF-8 -t UTF-16LE
    } >"$work/alarm.reg"
    mv "$work/alarm.reg" "$settings"
}
# An alarm that would fall after midnight cannot be set today: wait for tomorrow.
of_day=$((10#$(date +%H) * 3600 + 10#$(date +%M) * 60 + 10#$(date +%S)))
((of_day < 86400 - 30)) || sleep $((86400 - of_day + 1))
set_alarm_in 10
settings_text | grep -q '^"AlarmOn"=dword:00000001' || fail "the alarm could not be set in the settings"

mapped() { xwininfo -id "$window" 2>/dev/null | grep -q 'Map State: IsViewable'; }

start_recording
start_program
xdotool windowminimize "$window"
for _ in $(seq 50); do mapped || break; sleep 0.1; done
mapped && fail "the window could not be minimised"

# Before the alarm: once the start sound is over, however late it came, nothing rings.
wait_for_sounds 1
stop_recording
start_recording
sleep 2
stop_recording
expect_silence "while the alarm waited"

for _ in $(seq 200); do mapped && break; sleep 0.1; done
mapped || fail "the alarm's time passed and the window did not come back"
# Longer than the ring lasts once: it is heard again, until it is acknowledged.
sleep 2
start_recording
sleep 2
stop_recording
expect_sound "the alarm's ring, two seconds on"

give_focus "$window" "the window brought back by the alarm"
xdotool key Escape
sleep 1
start_recording
sleep 2
stop_recording
expect_silence "after Escape acknowledged the alarm"
kill -0 "$program" || fail "the program ended"
echo "PASS"
