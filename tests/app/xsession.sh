# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced by the tests that run the real program under a private X server.
# Sets up $work, a portable copy of the program in $work/portable, private settings and
# runtime folders, starts Xvfb and offers start_program and fail.
#   source xsession.sh <chronivel executable> [Xvfb options...]
# A script that needs another X server defines x_server before sourcing this:
# it execs one with the given options, writing its display number to fd 3
# (exec: the server itself is the process that cleanup ends).
exe=$1
shift

work=$(mktemp -d)
pids=()
xserver=0
cleanup() {
    # Only what is still our own child: a number whose process was waited for
    # may since belong to anything, such as another test's X server.
    local pid
    for pid in "${pids[@]}"; do
        [[ $pid != "$xserver" && $(ps -o ppid= -p "$pid" 2>/dev/null | tr -d ' ') == "$$" ]] &&
            kill -9 "$pid" 2>/dev/null || true
    done
    # The X server last, and let it end on its own terms: killed outright, it
    # leaves its display's lock and socket behind for the next one to clear.
    if ((xserver)) && kill -TERM "$xserver" 2>/dev/null; then
        wait "$xserver" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    [[ -f $settings ]] && { echo "--- settings:" >&2; settings_text >&2 || true; }
    [[ -f $protocol ]] && { echo "--- protocol:" >&2; cat "$protocol" >&2; }
    [[ -f $work/program.log ]] && { echo "--- program:" >&2; cat "$work/program.log" >&2; }
    if ((xserver)) && ! kill -0 "$xserver" 2>/dev/null; then
        echo "--- the X server had ended:" >&2
        cat "$work/xserver.log" >&2
    fi
    exit 1
}

# A copy in a folder of its own (a bin folder would send the protocol to the data
# folder), so that the protocol beside it does not land in the build
# tree; a script that sets installed=1 before sourcing this runs an installed
# program where it is.
mkdir -p "$work/portable" "$work/runtime"
chmod 700 "$work/runtime"
if [[ ${installed:-0} == 1 ]]; then
    program_file=$exe
else
    program_file=$work/portable/chronivel
    cp "$exe" "$program_file"
    # The live view's module goes where the program looks for it: beside it.
    cp "$(dirname "$exe")/chronivel-live.so" "$work/portable/"
fi
export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_RUNTIME_DIR=$work/runtime
unset QT_QPA_PLATFORM WAYLAND_DISPLAY XDG_SESSION_TYPE
settings=$XDG_CONFIG_HOME/Orvantis/chronivel.reg
protocol=$work/portable/Protocol.txt

# The settings file as UTF-8 text with LF line ends; the program writes it in
# UTF-16, as regedit does. Read it whole (no grep -q), or pipefail trips.
settings_text() { iconv -f UTF-16 -t UTF-8 "$settings" | tr -d '\r'; }

# Sets values in the settings file (written by a run before) for the next
# start, each given as its line: edit_settings '"CountDown"=dword:00000001' ...
edit_settings() {
    local line edits=()
    for line in "$@"; do edits+=(-e "/^${line%%=*}=/d" -e "/^\[/a ${line}"); done
    {
        printf '\xff\xfe'
        settings_text | sed "${edits[@]}" | sed 's/$/\r/' | iconv -f UTF-8 -t UTF-16LE
    } >"$work/edited.reg"
    mv "$work/edited.reg" "$settings"
}

# Waits until the settings file says what the test expects, for up to
# $2 tenths of a second (10 s unless told).
wait_for_setting() {
    local pattern=$1
    for _ in $(seq "${2:-100}"); do
        settings_text 2>/dev/null | grep -- "$pattern" >/dev/null && return 0
        sleep 0.1
    done
    fail "settings never showed $pattern"
}

# One X server starts at a time: two that choose their display number
# together can both take the same one, each removing the other's lock as
# stale, and a program then talks to a server that is gone.
exec {xstart}>"${TMPDIR:-/tmp}/chronivel-tests-xvfb.lock"
flock "$xstart"
# -noreset: by default the server starts itself over when its last client
# goes, and refuses connections meanwhile; a program started right after the
# one before it ended (without a window manager, the only client) could not
# open the display.
declare -F x_server >/dev/null || x_server() { exec Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp -noreset "$@"; }
x_server "$@" 3>"$work/display" 2>"$work/xserver.log" {xstart}>&- &
xserver=$!
pids+=("$xserver")
for _ in $(seq 100); do [[ -s $work/display ]] && break; sleep 0.1; done
flock -u "$xstart"
exec {xstart}>&-
[[ -s $work/display ]] || fail "the X server did not start"
export DISPLAY=:$(cat "$work/display")

# The first visible window of process $1, waited for up to 20 s. Polled, not
# xdotool's --sync: xdotool gives up at the first X error, which a window
# closing elsewhere during the search can cause.
window_of() {
    local found
    for _ in $(seq 200); do
        found=$(xdotool search --onlyvisible --pid "$1" 2>/dev/null | head -n 1) || true
        [[ -n $found ]] && { echo "$found"; return 0; }
        kill -0 "$1" 2>/dev/null || return 1
        sleep 0.1
    done
    return 1
}

# Starts the program with the given arguments and waits until its window has
# the keyboard focus; sets $program and $window. The program alone runs with
# the variables in $program_env (NAME=value ...).
program=0
window=0
program_env=()

# A real window manager on the server, for what only one does (stacking,
# focus, iconifying); it is there once it names itself on the root window.
start_openbox() {
    openbox --sm-disable >"$work/openbox.log" 2>&1 &
    pids+=($!)
    for _ in $(seq 100); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break; sleep 0.1; done
    xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id' || fail "openbox did not start: $(cat "$work/openbox.log")"
}

start_program() {
    local status=0
    env "${program_env[@]}" "$program_file" "$@" >"$work/program.log" 2>&1 &
    program=$!
    pids+=("$program")
    if ! window=$(window_of "$program"); then
        kill -0 "$program" 2>/dev/null && fail "no window appeared"
        wait "$program" || status=$?
        fail "the program ended with status $status before its window appeared"
    fi
    give_focus "$window" "the window"
}

# Gives window $1 the keyboard focus, as the user would by clicking it, and
# waits until it has it; $2 names it in the failure. Without a window manager
# the focus is ours to give, once the window is mapped.
give_focus() {
    for _ in $(seq 100); do
        xdotool windowfocus "$1" 2>/dev/null || true
        [[ $(xdotool getwindowfocus 2>/dev/null) == "$1" ]] && return 0
        sleep 0.1
    done
    fail "$2 never took the keyboard focus"
}

# Another program's window (an xmessage) at the geometry $1; sets $other.
other=0
start_other_program() {
    xmessage -geometry "$1" "another program" &
    pids+=($!)
    for _ in $(seq 100); do
        # xmessage does not name its process on its window: found by its class.
        other=$(xdotool search --onlyvisible --class Xmessage 2>/dev/null | head -n 1) || true
        [[ -n $other ]] && return 0
        sleep 0.1
    done
    fail "the other program's window did not appear"
}

# What happens while nobody may be at the keyboard is told on the main
# window, never in a window of its own that could take the next key: only
# the main window shows; $1 says when, in the failure.
only_main_window() {
    local windows
    windows=$(xdotool search --onlyvisible --pid "$program" 2>/dev/null | wc -l)
    ((windows == 1)) || fail "$1: $windows windows show"
}

# The notice on the main window, in its colour $2: $notice_problem while
# something is wrong, $notice_news for news. Waited for up to 15 s; the
# screenshot is kept as $1.png in $CHRONIVEL_SHOTS, or in the work folder.
notice_problem='rgb(255,204,64)'
notice_news='rgb(200,224,255)'
notice_shows() {
    local shots=${CHRONIVEL_SHOTS:-$work} pixels
    mkdir -p "$shots"
    for _ in $(seq 50); do
        import -window "$window" "$work/notice.png"
        pixels=$(convert "$work/notice.png" -fill black +opaque "$2" -fill white -opaque "$2" \
            -format '%[fx:int(mean*w*h)]' info:)
        ((pixels > 200)) && { cp "$work/notice.png" "$shots/$1.png"; return 0; }
        sleep 0.3
    done
    fail "$1: no notice in $2 on the window"
}
