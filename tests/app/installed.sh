#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The program as the package installs it, run from a scratch root under a
# private X server with the system's Qt: its window appears, F1 opens the
# installed manual, a run's STOP goes to the protocol in the user's data
# folder, and nothing is written below the root's usr/.
#   installed.sh <root the package was unpacked into>
set -euo pipefail
root=$1
installed=1
source "$(dirname "$0")/xsession.sh" "$root/usr/bin/chronivel"
protocol=$XDG_DATA_HOME/Orvantis/chronivel/Protocol.txt

# The desktop's opener, as Qt calls it for F1: it notes what it was asked to open.
mkdir -p "$work/desktop"
cat >"$work/desktop/xdg-open" <<OPENER
#!/bin/sh
echo "\$@" >>"$work/opened"
OPENER
chmod +x "$work/desktop/xdg-open"
program_env=(PATH="$work/desktop:$PATH")

usr_listing() { (cd "$root/usr" && find . -printf '%p %y %s %m %T@\n' | sort); }
before=$(usr_listing)

start_program
xdotool key F1
for _ in $(seq 100); do [[ -s $work/opened ]] && break; sleep 0.1; done
[[ -s $work/opened ]] || fail "F1 opened nothing"
manual="file://$root/usr/share/chronivel/help/index.html"
[[ $(cat "$work/opened") == "$manual" ]] || fail "F1 opened $(cat "$work/opened"), not $manual"

give_focus "$window" "the window"
xdotool key Return  # START
wait_for_setting '^"TickCount"=hex:[0-9a-f,]*[1-9a-f]'
xdotool key Return  # STOP
for _ in $(seq 100); do [[ -s $protocol ]] && break; sleep 0.1; done

kill -TERM "$program"
wait "$program" || fail "SIGTERM did not end the program cleanly"

# The live view's module is found where the package put it.
port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
token=0123456789abcdef0123456789abcdef
edit_settings '"LiveView"=dword:00000001' "\"LivePort\"=dword:$(printf %08x "$port")" '"LiveLocal"=dword:00000001' \
    "\"LiveToken\"=\"$token\""
start_program
python3 - "http://127.0.0.1:$port/v/$token" <<'FETCH' || fail "the installed program serves no live view: $(cat "$work/program.log")"
import sys, time, urllib.request
for _ in range(50):
    try:
        page = urllib.request.urlopen(sys.argv[1], timeout=2).read().decode()
        sys.exit(0 if "page.js" in page else 1)
    except OSError:
        time.sleep(0.1)
sys.exit(1)
FETCH
kill -TERM "$program"
wait "$program" || fail "SIGTERM did not end the program cleanly"
after=$(usr_listing)
changed=$(diff <(echo "$before") <(echo "$after")) || fail "the program wrote below $root/usr: $changed"
[[ -s $protocol ]] || fail "the STOP wrote no protocol to $protocol"
grep -a '^STOP: = ' "$protocol" >/dev/null || fail "the protocol has no STOP line"
echo "PASS"
