# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced by the live view's test and bench: installs the locked Node modules
# (puppeteer-core, ws) into the folder $1, outside the source tree, once per
# lock file, and sets NODE_PATH to them.
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
            { cat "$dir/npm.log" >&2; rm -f "$dir/package-lock.json"; flock -u "$npmlock"; return 1; }
    fi
    flock -u "$npmlock"
    exec {npmlock}>&-
    export NODE_PATH=$dir/node_modules
}
