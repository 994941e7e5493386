#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The light barriers' adapter unplugged during a run and plugged in again
# under another name, as Linux names it when the old name is still held: the
# real program under openbox, its port a /dev/serial/by-id-style link to a
# pseudo-terminal whose modem lines the serial shim drives. Nothing may take
# the chronometer's keys meanwhile: Enter still stops the run while the
# adapter is away, no window but the main one appears, and the adapter is
# opened again by itself, with no key or menu touched, the moment the link
# leads to a port again. Also: started while the adapter is missing, no box,
# and its edges start and stop a run once it is there.
#   barriers_replug.sh <chronivel executable> <serial shim library> <ptyholder>
set -euo pipefail
shim=$2
ptyholder=$3
source "$(dirname "$0")/xsession.sh" "$1"
start_openbox

# Two ports: pseudo-terminals, each kept open by a helper until the test ends.
mkfifo "$work/hold"
for name in first second; do
    "$ptyholder" <"$work/hold" >"$work/$name" &
    pids+=($!)
done
exec {hold}>"$work/hold"
for _ in $(seq 100); do [[ -s $work/first && -s $work/second ]] && break; sleep 0.1; done
first=$(cat "$work/first") second=$(cat "$work/second")
[[ -n $first && -n $second ]] || fail "no pseudo-terminals"

byid=$work/serial/by-id
link=$byid/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0
mkdir -p "$byid"
ln -s "$first" "$link"

# Settings of a first run, then the adapter chosen by its lasting name.
start_program
kill -TERM "$program"
wait "$program" || fail "the first run did not end cleanly"
settings_text | sed "s|^\"PortName\"=.*|\"PortName\"=\"$link\"|" >"$work/edited.reg"
mv "$work/edited.reg" "$settings"

control=$work/control
log=$work/lines.log
program_env=(LD_PRELOAD="$shim" CHRONIVEL_SERIALSHIM_CONTROL="$control" CHRONIVEL_SERIALSHIM_LOG="$log")

started() { settings_text | grep '^"TickCount"=hex:' | grep -vq 'hex:00,00,00,00,00,00,00,00$'; }
edge() { echo "$1" >"$control"; sleep 0.3; }
lines() { tr -d '\r' <"$protocol" 2>/dev/null | grep -ac "$1" || true; }
wait_for_lines() {
    for _ in $(seq 100); do (($(lines "$1") >= $2)) && return 0; sleep 0.1; done
    fail "the protocol never had $2 lines of $1"
}

start_program
for _ in $(seq 100); do grep -q '^READY ' "$log" 2>/dev/null && break; sleep 0.1; done
grep -q '^READY ' "$log" || fail "the program did not open $link at start-up"
xdotool key Return  # START
for _ in $(seq 100); do started && break; sleep 0.1; done
started || fail "Enter did not start a run"
edge "DCD 1"
edge "DCD 0"

# Pulled out: the modem requests fail and the link is gone, as udev removes it.
echo UNPLUG >"$control"
rm "$link"
notice_shows unplugged "$notice_problem"
only_main_window "after the unplug"
# The coach reads the notice's whole text, then presses Enter to stop the run.
notice_click() {
    eval "$(xdotool getwindowgeometry --shell "$window")"
    xdotool mousemove $((X + 80)) $((Y + 58)) click 1
}
notice_click
for _ in $(seq 50); do (($(xdotool search --onlyvisible --pid "$program" | wc -l) == 2)) && break; sleep 0.1; done
(($(xdotool search --onlyvisible --pid "$program" | wc -l) == 2)) || fail "a click on the notice showed no details"
[[ -n ${CHRONIVEL_SHOTS:-} ]] && import -window root "$CHRONIVEL_SHOTS/details.png"
xdotool key Return  # meant to stop the run, and it does
wait_for_lines '^STOP: = ' 1
notice_click  # read: the details close
for _ in $(seq 50); do (($(xdotool search --onlyvisible --pid "$program" | wc -l) == 1)) && break; sleep 0.1; done
only_main_window "after the stop"
tr -d '\r' <"$protocol" | grep -aq '^LAP 1 = ' || fail "the lap before the unplug is not in the protocol"
echo "PASS: Enter stops the run while the adapter is away, and no box appears"

# Plugged in again under another name: the link leads to another port now.
ln -s "$second" "$link"
echo PLUG >"$control"
notice_shows back "$notice_news"
only_main_window "after the adapter came back"
xdotool key Return  # RESET
xdotool key Return  # START of the next run
for _ in $(seq 100); do started && break; sleep 0.1; done
started || fail "Enter did not start the next run"
edge "DCD 1"
edge "DCD 0"
edge "CTS 1"
edge "CTS 0"
wait_for_lines '^STOP: = ' 2
tr -d '\r' <"$protocol" | awk '/^START 2 /{run=1} run && /^LAP 1 = /{lap=1} END{exit !(run && lap)}' ||
    fail "the second run has no lap from its barrier"
kill -TERM "$program"
wait "$program" || fail "the program did not end cleanly"
settings_text | grep -q "^\"PortName\"=\"$link\"" || fail "the adapter's lasting name was not kept"
echo "PASS: the adapter came back under another name by itself, and its barriers take laps and stop the run"

# Started while the adapter is missing: no box, a notice, and it counts once it is there.
rm "$link"
start_program
notice_shows missing_at_start "$notice_problem"
only_main_window "at a start without the adapter"
ln -s "$first" "$link"
notice_shows there_now "$notice_news"
edge "DSR 1"  # the start barrier starts the run
for _ in $(seq 100); do started && break; sleep 0.1; done
started || fail "the start barrier did not start a run once the adapter was there"
edge "CTS 1"  # and the stop barrier stops it
wait_for_lines '^STOP: = ' 3
kill -TERM "$program"
wait "$program" || fail "the program did not end cleanly"
echo "PASS: started without its adapter, the program tells it on its window and takes the adapter when it comes"
