#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The real program under a private X server, its settings file a symbolic link
# into a dotfile repository whose file is not there yet: every save goes to
# the file at the link's end, with its permissions kept, and the link stays.
#   settings_link.sh <chronivel executable>
set -euo pipefail
source "$(dirname "$0")/xsession.sh" "$1"

target=$work/dotfiles/chronivel.reg
mkdir -p "$work/dotfiles" "$(dirname "$settings")"
ln -s ../../dotfiles/chronivel.reg "$settings"

still_linked() {
    [[ -L $settings ]] || fail "the settings link was replaced by a file ($1)"
    [[ $(readlink "$settings") == ../../dotfiles/chronivel.reg ]] || fail "the link was changed ($1)"
    [[ $(ls -A "$work/dotfiles") == chronivel.reg ]] || fail "the repository holds $(ls -A "$work/dotfiles") ($1)"
}

start_program
xdotool key Return  # START: saved at once
wait_for_setting '^"TickCount"=hex:'
still_linked "first save"
[[ -f $target ]] || fail "the file the link leads to was not made"
[[ $(stat -c %a "$target") == 600 ]] || fail "a new settings file is not the user's alone: $(stat -c %a "$target")"

chmod 640 "$target"  # shared with the group, as the repository wants
xdotool key Return  # STOP
wait_for_setting '^"TickCount"=hex:00,00,00,00,00,00,00,00'
still_linked "save at STOP"
[[ $(stat -c %a "$target") == 640 ]] || fail "the file lost its permissions: $(stat -c %a "$target")"

kill -TERM "$program"
wait "$program" || fail "SIGTERM did not end the program cleanly"
still_linked "save at exit"
grep -a '^STOP: = ' "$protocol" >/dev/null || fail "the run was not recorded"
echo "PASS"
