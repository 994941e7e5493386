#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The real program's system-wide hot keys in a headless KDE Plasma session,
# through the desktop's global shortcuts portal and real key presses: natively
# on Wayland and on XWayland, with another program in front, Ctrl+Shift+F12
# starts and stops a run and Ctrl+Shift+F11 takes a lap, and the protocol
# holds the run; a restart finds its keys again; a second title gets a
# kglobalaccel component of its own, and where the first holds the keys a
# press reaches only the first and the second tells its user so.
# With "without-shortcuts-portal" the portal has no global shortcuts, as on
# older desktops, and the program says so.
#   hotkeys_kde.sh <chronivel executable> <fakekeys executable> [without-shortcuts-portal]
set -euo pipefail
fakekeys=$2
[[ ${3:-} == without-shortcuts-portal ]] && kde_portal=0
source "$(dirname "$0")/kdesession.sh" "$1"

# The program writes each notice of its window to stderr, which the harness logs.
says() {
    local log="$work/$1.log" words=$2
    wait_until 'grep -F -- "$words" "$log" >/dev/null' 150 || fail "$1 never said: $2"
}

if [[ ${kde_portal:-1} == 0 ]]; then
    start_xwayland chronivel
    says chronivel "system-wide keys need a newer desktop"
    echo "PASS"
    exit 0
fi

# The component's shortcuts that have keys, as kglobalaccel says.
keyed() { shortcut_infos "$1" | grep -o '\[[0-9, ]*\], \[[0-9, ]*\]' | grep -vc '^\[0\]' || true; }
# Whether a running program's portal session holds the component.
active() {
    gdbus call --session --dest org.kde.kglobalaccel --object-path "/component/$1" \
        --method org.kde.kglobalaccel.Component.isActive 2>/dev/null | grep true >/dev/null
}
blocks() { grep -ac '^STOP: = ' "$(protocol_of "$1")" 2>/dev/null || true; }

# Another program's window, in front: it gets the focus as it opens.
other=0
others=0
bring_other_to_front() {
    ((++others))
    xmessage -title "other $others" -geometry 300x80+600+500 "another program" &
    pids+=($!)
    wait_until 'other=$(xdotool search --onlyvisible --name "^other $others\$" 2>/dev/null) && [[ -n $other ]]' ||
        fail "the other program's window did not appear"
    wait_until '[[ $(xdotool getwindowfocus 2>/dev/null) == "$other" ]]' || fail "the other program has no focus"
}

# Start, a lap, stop by hot keys while the other program is in front; the run is block $1 of title chronivel.
timed_run() {
    "$fakekeys" ctrl+shift+F12
    wait_for_setting chronivel '^"TickCount"=hex:.*[1-9a-f]'
    "$fakekeys" ctrl+shift+F11 ctrl+shift+F12
    local number=$1
    wait_until '(($(blocks chronivel) >= number))' || fail "run $1 never reached the protocol"
    awk -v n="$number" '/^START / {b++} b == n' "$(protocol_of chronivel)" | tr -d '\r' |
        grep '^LAP 1 = ' >/dev/null || fail "run $1 has no lap"
    [[ $(xdotool getwindowfocus) == "$other" ]] || fail "a hot key took the focus from the other program"
    "$fakekeys" ctrl+shift+F12  # reset
}

for platform in wayland xwayland; do
    "start_$platform" chronivel
    wait_until 'active chronivel_chronivel && (($(keyed chronivel_chronivel) == 3))' 150 ||
        fail "on $platform kglobalaccel gave chronivel no keys: $(shortcut_infos chronivel_chronivel)"
    bring_other_to_front
    run=$(($(blocks chronivel) + 1))
    timed_run "$run"
    # A restart on the other platform finds the keys that this one kept.
    [[ $platform == xwayland ]] && break
    kill -TERM "$program"
    wait "$program" || fail "SIGTERM did not end the program"
    wait_until '! active chronivel_chronivel' || fail "the ended program's keys stay active"
done
first=$program

# A second title beside the first: a component of its own, without keys.
grep -F "Ctrl+Shift" "$work/chronivel.log" && fail "the first program told of hot keys it holds"
start_xwayland "Other Title"
wait_until '[[ -n $(shortcut_infos chronivel_Other_20Title) ]]' 150 ||
    fail "the second title got no component: $(gdbus call --session --dest org.kde.kglobalaccel \
        --object-path /kglobalaccel --method org.kde.KGlobalAccel.allComponents)"
says "Other Title" "Choose other keys for them in"
(($(keyed chronivel_Other_20Title) == 0)) || fail "both titles hold the keys"
(($(keyed chronivel_chronivel) == 3)) || fail "the first title lost its keys"
bring_other_to_front
timed_run $((run + 1))
kill -0 "$first" || fail "the first program ended"
settings_text "Other Title" 2>/dev/null | grep '^"TickCount"=hex:.*[1-9a-f]' >/dev/null &&
    fail "a press reached the second title too"
[[ ! -s $(protocol_of "Other Title") ]] || fail "the second title recorded a run"
echo "PASS"
