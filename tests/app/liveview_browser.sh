#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The live view in a real browser (headless chromium through puppeteer-core)
# while the real program under a private X server times a run by its keys;
# live/browser.cjs checks the page, this script starts and restarts the program.
# Screenshots of the page go to $CHRONIVEL_SHOTS when it is set.
#   liveview_browser.sh <chronivel executable> <folder for the Node modules>
set -euo pipefail
here=$(dirname "$0")
[[ -x /usr/bin/chromium ]] || { echo "FAIL: no /usr/bin/chromium (tools/bootstrap installs it)" >&2; exit 1; }
source "$here/live/modules.sh"
live_modules "$2" || { echo "FAIL: the Node modules did not install" >&2; exit 1; }
source "$here/xsession.sh" "$1"

port=$(node -e 'const s = require("net").createServer().listen(0, "127.0.0.1", () => { console.log(s.address().port); s.close(); })')
token=$(od -An -N16 -tx1 /dev/urandom | tr -d ' \n')
url=http://127.0.0.1:$port/v/$token

# Served once it answers; the module loads after the window shows.
start_viewed() {
    start_program
    for _ in $(seq 100); do curl -sf -o /dev/null "$url" && return 0; sleep 0.1; done
    fail "nothing served at $url"
}

start_program  # writes the settings file that edit_settings edits
kill -TERM "$program"
wait "$program" || fail "SIGTERM did not end the program cleanly"
edit_settings '"LiveView"=dword:00000001' "\"LivePort\"=dword:$(printf %08x "$port")" \
    '"LiveLocal"=dword:00000001' "\"LiveToken\"=\"$token\""
start_viewed

[[ -n ${CHRONIVEL_SHOTS:-} ]] && mkdir -p "$CHRONIVEL_SHOTS"
coproc browser { exec node "$here/live/browser.cjs" "$url" "$protocol" "$work/chromium" ${CHRONIVEL_SHOTS:+"$CHRONIVEL_SHOTS"} 2>&1; }
# Its own copies: bash forgets the coprocess's descriptors and number when it ends.
exec {from}<&"${browser[0]}" {to}>&"${browser[1]}"
driver=$browser_PID
pids+=("$driver")
while IFS= read -r line <&"$from"; do
    echo "$line"
    case $line in
    end)
        kill -TERM "$program"
        wait "$program" || fail "SIGTERM did not end the program cleanly"
        echo ended >&"$to"
        ;;
    start)
        start_viewed
        echo started >&"$to"
        ;;
    esac
done
wait "$driver" || fail "the page did not pass"
kill -TERM "$program"
wait "$program" || fail "SIGTERM did not end the program cleanly"
