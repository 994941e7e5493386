#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The real program where there is no graphical session: --help lists the
# options, the files and the keys and --version answers, a plain start says in one line why it cannot run instead of
# aborting (naming the display or platform plugin asked for), and a huge wrong option is not echoed back whole.
#   no_display.sh <chronivel executable>
set -uo pipefail
exe=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/runtime" && chmod 700 "$work/runtime"
export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_RUNTIME_DIR=$work/runtime
# Each case runs in a clean environment as far as the window system goes.
headless=(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM)

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# run <stdout file> <stderr file> <command...>; sets $status.
run() {
    local out=$1 err=$2
    shift 2
    timeout 30 "$@" >"$out" 2>"$err"
    status=$?
}

for option in --help -h; do
    run "$work/out" "$work/err" "${headless[@]}" "$exe" "$option"
    [[ $status == 0 ]] || fail "$option: exit status $status, stderr: $(head -c 300 "$work/err")"
    grep -q '^Usage: chronivel \[/D<n>\] \[/R<n>\]' "$work/out" || fail "$option: no usage line"
    for listed in -- '-v, --version' --help-all '/D<n>' '/R<n>' -platform \
        "settings   $XDG_CONFIG_HOME/Orvantis/chronivel.reg" '$XDG_DATA_HOME/Orvantis/chronivel/Protocol.txt' \
        'lock       $XDG_RUNTIME_DIR/Orvantis/chronivel.lock' \
        'Enter, F5' 'Space, F8' Pause 'Ctrl+C ' 'configuration' Ctrl+P Ctrl+N Ctrl+Z Ctrl+T Ctrl+A F1 \
        Ctrl+Shift+F12 Ctrl+Shift+F11 Ctrl+Shift+Space; do
        grep -qF -- "$listed" "$work/out" || fail "$option: '$listed' is not listed"
    done
    # The manual's line names the start page the program would open.
    manual=$(sed -n 's/^  manual     //p' "$work/out")
    [[ -f $manual ]] || fail "$option: the manual is listed as '$manual'"
    # Written for the user, not in the toolkit's words.
    ! grep -qi 'commandline options' "$work/out" || fail "$option: Qt's own help text"
    [[ ! -e $XDG_CONFIG_HOME && ! -e $XDG_DATA_HOME ]] || fail "$option: wrote files"
done

for option in --version -v; do
    run "$work/out" "$work/err" "${headless[@]}" "$exe" "$option"
    [[ $status == 0 ]] || fail "$option: exit status $status, stderr: $(head -c 300 "$work/err")"
    grep -Eqx 'chronivel [0-9]+(\.[0-9]+)+' "$work/out" || fail "$option: printed '$(head -c 300 "$work/out")'"
done

# one_line_without_session <what> <command...>: the start must end with one
# line that names the missing session, a failure status that is not an abort,
# and no files written.
one_line_without_session() {
    local what=$1
    shift
    rm -rf "$XDG_CONFIG_HOME" "$XDG_DATA_HOME"
    run "$work/out" "$work/err" "$@"
    cat "$work/out" "$work/err" >"$work/all"
    if [[ $status == 0 || $status -ge 124 ]]; then fail "$what: exit status $status"; fi
    [[ $(wc -l <"$work/all") == 1 ]] || fail "$what: said $(wc -l <"$work/all") lines: $(head -c 600 "$work/all")"
    grep -q 'graphical session is needed' "$work/all" || fail "$what: said '$(head -c 300 "$work/all")'"
    [[ ! -e $XDG_CONFIG_HOME && ! -e $XDG_DATA_HOME ]] || fail "$what: wrote files"
}
one_line_without_session "a start with no display" "${headless[@]}" "$exe"
grep -q 'DISPLAY' "$work/all" || fail "the message does not say which display is missing"
one_line_without_session "a start with switches and no display" "${headless[@]}" "$exe" /D7 /R0
# Options of the window system are its own, not -h or -v spelt out.
one_line_without_session "a start with -platformtheme and no display" "${headless[@]}" "$exe" -platformtheme x
one_line_without_session "a start with -reverse and no display" "${headless[@]}" "$exe" -reverse

# A display that is named but has no server behind it.
free=99
while [[ -e /tmp/.X11-unix/X$free || -e /tmp/.X$free-lock ]]; do free=$((free + 1)); done
one_line_without_session "a start on a dead display" env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY=:$free "$exe"
grep -q "\":$free\"" "$work/all" || fail "the message does not name the display :$free"
# What the command line asks for wins over the environment, and is named.
for option in -display --display; do
    one_line_without_session "a start with $option :$free" "${headless[@]}" "$exe" "$option" ":$free"
    grep -q "the display \":$free\" given with -display cannot" "$work/all" ||
        fail "$option: the message does not name the display :$free"
done
for option in -platform --platform; do
    one_line_without_session "a start with $option nosuch" "${headless[@]}" DISPLAY=:$free "$exe" "$option" nosuch
    grep -q 'the platform plugin "nosuch" given with -platform was not found (available: [a-z]' "$work/all" ||
        fail "$option: the message does not say the plugin is missing"
done

# Wrong options are judged once the window system has taken its own; the
# offscreen one needs no display.
long=$(head -c 100000 /dev/zero | tr '\0' x)
run "$work/out" "$work/err" env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=offscreen "$exe" "-$long"
[[ $status == 1 ]] || fail "a 100 kB wrong option: exit status $status"
[[ $(wc -c <"$work/err") -lt 200 ]] || fail "a 100 kB wrong option echoed $(wc -c <"$work/err") bytes"
grep -q '^chronivel: Unknown options: x, x, x' "$work/err" || fail "a 100 kB wrong option: '$(head -c 300 "$work/err")'"
run "$work/out" "$work/err" env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=offscreen "$exe" "--$long"
[[ $status == 1 ]] || fail "a 100 kB wrong long option: exit status $status"
[[ $(wc -c <"$work/err") -lt 200 ]] || fail "a 100 kB wrong long option echoed $(wc -c <"$work/err") bytes"
grep -q "^chronivel: Unknown option 'xxxx" "$work/err" || fail "a 100 kB wrong long option: '$(head -c 300 "$work/err")'"

[[ $failures == 0 ]] || exit 1
echo "PASS"
