# SPDX-License-Identifier: GPL-3.0-or-later
# shellcheck shell=bash
# Sourced by the live view's test and bench after xsession.sh.

# Installs the locked Node modules (puppeteer-core, ws) into the folder $1,
# outside the source tree, once per lock file, and sets NODE_PATH to them.
live_modules() {
    local dir=$1 lock
    lock=$(dirname "${BASH_SOURCE[0]}")/package-lock.json
    mkdir -p "$dir"
    # Two runs at once would each rewrite the other's modules.
    exec {npmlock}>"$dir.lock"
    flock "$npmlock"
    if ! cmp -s "$lock" "$dir/package-lock.json" || [[ ! -d $dir/node_modules ]]; then
        cp "$(dirname "$lock")/package.json" "$lock" "$dir/"
        # --ignore-scripts: nothing may fetch a browser; the system's chromium is the one.
        npm ci --prefix "$dir" --ignore-scripts --no-audit --no-fund >"$dir/npm.log" 2>&1 ||
            { rm -f "$dir/package-lock.json"; fail "the Node modules did not install: $(cat "$dir/npm.log")"; }
    fi
    exec {npmlock}>&-
    export NODE_PATH=$dir/node_modules
}

# Is the page at $1 served? Node's fetch: no other client needed.
served() { node -e 'fetch(process.argv[1]).then(r => process.exit(r.ok ? 0 : 1), () => process.exit(1))' "$1"; }

# Starts the program with the view on, loopback only, on a free port and a
# new token, and waits until the page is served; sets $url and $feed.
view_on() {
    local port token
    port=$(node -e 'const s = require("net").createServer().listen(0, "127.0.0.1", () => { console.log(s.address().port); s.close(); })')
    token=$(od -An -N16 -tx1 /dev/urandom | tr -d ' \n')
    url=http://127.0.0.1:$port/v/$token
    feed=ws://127.0.0.1:$port/v/$token/feed
    start_program  # writes the settings file that edit_settings edits
    kill -TERM "$program"
    wait "$program" || fail "SIGTERM did not end the program cleanly"
    edit_settings '"LiveView"=dword:00000001' "\"LivePort\"=dword:$(printf %08x "$port")" \
        '"LiveLocal"=dword:00000001' "\"LiveToken\"=\"$token\""
    start_viewed
}

# Starts the program and waits until it serves the page: its module loads
# after the window shows.
start_viewed() {
    start_program
    for _ in $(seq 100); do served "$url" && return 0; sleep 0.1; done
    fail "nothing served at $url"
}
