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
source "$here/xsession.sh" "$1"
source "$here/live/view.sh"
live_modules "$2"
view_on

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
