#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The real program with the live view on, under rounds of hostile clients
# (noise, a 1 MB head, slow heads, a 100 MB frame, a thousand connections at
# once), while a run runs: the program's RSS after each round, and whether
# the run's STOP line is the one its own readout kept. Reports; a crash or a
# view that no longer answers fails it.
#   bench/liveview_hostile.sh [chronivel executable] [rounds, 10]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
exe=${1:-$root/build/src/app/chronivel}
rounds=${2:-10}
source "$root/tests/app/xsession.sh" "$exe"

port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
token=0123456789abcdef0123456789abcdef
start_program
kill -TERM "$program"
wait "$program" || fail "SIGTERM did not end the program cleanly"
edit_settings '"LiveView"=dword:00000001' "\"LivePort\"=dword:$(printf %08x "$port")" '"LiveLocal"=dword:00000001' \
    "\"LiveToken\"=\"$token\""
start_program
rss() { awk '/^VmRSS/ {print $2}' "/proc/$program/status"; }

xdotool key Return  # START
echo "round RSS_KiB"
echo "0     $(rss)"
for round in $(seq "$rounds"); do
    python3 "$root/bench/liveview_hostile.py" "$port" "$token" || fail "round $round: the view stopped answering"
    kill -0 "$program" 2>/dev/null || fail "round $round: the program is gone"
    printf '%-5s %s\n' "$round" "$(rss)"
done
give_focus "$window" "the main window"
xdotool key Return  # STOP
for _ in $(seq 100); do [[ -s $protocol ]] && break; sleep 0.1; done
grep -a '^STOP: = ' "$protocol" >/dev/null || fail "the run has no STOP line"
echo "run: $(grep -a '^STOP: = ' "$protocol" | tr -d '\r')"
