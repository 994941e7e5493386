# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced by the tests that run the real program in a headless KDE Plasma
# session: a private session bus, KWin on its virtual screen with XWayland
# (KWin hosts kglobalaccel), and the desktop portal with its KDE backend.
# A script that sets kde_portal=0 before sourcing this leaves the KDE
# backend out, as on a desktop whose portal has no global shortcuts.
# Exits 77 (skipped) when KWin cannot run here. Offers:
#   start_wayland TITLE [ARGS...]   the program natively on Wayland
#   start_xwayland TITLE [ARGS...]  the program on KWin's XWayland
# each a copy named TITLE in a folder of its own (so a settings title of its
# own, and its protocol beside it), which sets $program once its window
# shows; and window_shows CAPTION,
#   settings_text TITLE, wait_for_setting TITLE PATTERN, protocol_of TITLE,
#   shortcut_infos COMPONENT (kglobalaccel's), screenshot FILE.png, fail.
# $WAYLAND_DISPLAY and $DISPLAY name the session's displays.
#   source kdesession.sh <chronivel executable>
exe=$1
shift

work=$(mktemp -d)
pids=()
cleanup() {
    local pid parent
    # Newest first: the programs, then the portal, KWin (which ends its
    # XWayland) and the bus last. Only what is still ours, our child or the
    # command KWin ran on our display: a number whose process has ended may
    # since belong to anything.
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
        pid=${pids[i]}
        parent=$(ps -o ppid= -p "$pid" 2>/dev/null | tr -d ' ') || continue
        [[ $parent == "$$" ]] || tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null |
            grep -x "WAYLAND_DISPLAY=${WAYLAND_DISPLAY:-none}" >/dev/null || continue
        kill -TERM "$pid" 2>/dev/null && { timeout 10 tail --pid="$pid" -f /dev/null || kill -9 "$pid" 2>/dev/null; }
    done
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    local log
    echo "FAIL: $*" >&2
    for log in "$work"/*.log; do
        [[ -s $log ]] && { echo "--- $(basename "$log"):" >&2; tail -n 40 "$log" >&2; }
    done
    exit 1
}

mkdir -p "$work/bin" "$work/runtime"
chmod 700 "$work/runtime"
export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_RUNTIME_DIR=$work/runtime
export XDG_CURRENT_DESKTOP=KDE XDG_SESSION_TYPE=wayland
unset QT_QPA_PLATFORM DISPLAY WAYLAND_DISPLAY
# python3-dbus belongs to the system's Python, not to one a user put first.
python=/usr/bin/python3

# Waits up to $2 tenths of a second (100 unless told) for command $1 to succeed.
wait_until() {
    for _ in $(seq "${2:-100}"); do
        eval "$1" && return 0
        sleep 0.1
    done
    return 1
}

dbus-daemon --session --nofork --print-address=3 3>"$work/bus" 2>"$work/bus.log" &
pids+=($!)
wait_until '[[ -s $work/bus ]]' || fail "the session bus did not start"
DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$work/bus")
export DBUS_SESSION_BUS_ADDRESS
has_owner() {
    gdbus call --session --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
        --method org.freedesktop.DBus.NameHasOwner "$1" 2>/dev/null | grep true >/dev/null
}

# A window that opens takes the focus, as the tests' other programs must,
# whatever window had it.
mkdir -p "$XDG_CONFIG_HOME"
printf '[Windows]\nFocusStealingPreventionLevel=0\n' >"$XDG_CONFIG_HOME/kwinrc"

# A plain copy: the installed one carries a file capability that a sandbox
# may refuse to run. XWayland needs the folder of X sockets.
cp /usr/bin/kwin_wayland "$work/bin/kwin_wayland" || exit 77
[[ -d /tmp/.X11-unix ]] || mkdir -m 1777 /tmp/.X11-unix 2>/dev/null || [[ -d /tmp/.X11-unix ]]
export WAYLAND_DISPLAY=chronivel-test-$$
# One X server starts at a time, as in xsession.sh: two that choose their
# display number together can both take the same one.
exec {xstart}>"${TMPDIR:-/tmp}/chronivel-tests-xvfb.lock"
flock "$xstart"
# The command KWin runs with its displays set tells them and its own number,
# and keeps KWin up.
KWIN_WAYLAND_NO_PERMISSION_CHECKS=1 KWIN_SCREENSHOT_NO_PERMISSION_CHECKS=1 \
    "$work/bin/kwin_wayland" --virtual --xwayland --no-lockscreen --socket "$WAYLAND_DISPLAY" \
    --width 1024 --height 768 "sh -c 'echo \$\$ \$DISPLAY >$work/display; exec sleep infinity'" \
    >"$work/kwin.log" 2>&1 {xstart}>&- &
kwin=$!
pids+=("$kwin")
wait_until '[[ -s $work/display ]] || ! kill -0 $kwin 2>/dev/null' 300 || true
flock -u "$xstart"
exec {xstart}>&-
if [[ ! -s $work/display ]]; then
    kill -0 "$kwin" 2>/dev/null && fail "KWin started no XWayland"
    echo "SKIP: KWin cannot run here:" >&2
    cat "$work/kwin.log" >&2
    exit 77
fi
read -r keeper DISPLAY <"$work/display"
pids+=("$keeper")
export DISPLAY
wait_until 'has_owner org.kde.kglobalaccel' || fail "KWin's kglobalaccel did not come on the bus"

# The backend before the portal, which asks it what it offers at its start.
# It is a Qt 5 program, whose Wayland plugin is not installed: it runs on XWayland.
if [[ ${kde_portal:-1} == 1 ]]; then
    QT_QPA_PLATFORM=xcb /usr/lib/x86_64-linux-gnu/libexec/xdg-desktop-portal-kde >"$work/portal-kde.log" 2>&1 &
    pids+=($!)
    wait_until 'has_owner org.freedesktop.impl.portal.desktop.kde' 300 || fail "the portal's KDE backend did not start"
else
    # No backend is meant for this desktop: the bus then starts none.
    export XDG_CURRENT_DESKTOP=none
fi
/usr/libexec/xdg-desktop-portal --replace >"$work/portal.log" 2>&1 &
pids+=($!)
wait_until 'has_owner org.freedesktop.portal.Desktop' 300 || fail "the desktop portal did not start"

# The settings file of title $1 as UTF-8 text with LF line ends. Read it
# whole (no grep -q), or pipefail trips.
settings_text() { iconv -f UTF-16 -t UTF-8 "$XDG_CONFIG_HOME/Orvantis/$1.reg" | tr -d '\r'; }
# Waits up to 10 s until the settings of title $1 match $2.
wait_for_setting() {
    local title=$1 pattern=$2
    wait_until 'settings_text "$title" 2>/dev/null | grep -- "$pattern" >/dev/null' ||
        fail "$title's settings never showed $pattern"
}
protocol_of() { echo "$work/$1/Protocol.txt"; }

# Whether KWin shows a window captioned $1 (any client, Wayland or X11).
window_shows() {
    gdbus call --session --dest org.kde.KWin --object-path /WindowsRunner --method org.kde.krunner1.Match "$1" \
        2>/dev/null | grep -F "', '$1', " >/dev/null
}

# Starts the program and waits until its window shows.
program=0
start_as() {
    local platform=$1 title=$2 status=0
    shift 2
    mkdir -p "$work/$title"
    [[ -x $work/$title/$title ]] || cp "$exe" "$work/$title/$title"
    QT_QPA_PLATFORM=$platform "$work/$title/$title" "$@" >"$work/$title.log" 2>&1 &
    program=$!
    pids+=("$program")
    wait_until 'window_shows "$title" || ! kill -0 $program 2>/dev/null' 200
    window_shows "$title" && return 0
    kill -0 "$program" 2>/dev/null && fail "$title showed no window on $platform"
    wait "$program" || status=$?
    fail "$title ended with status $status before its window showed on $platform"
}
start_wayland() { start_as wayland "$@"; }
start_xwayland() { start_as xcb "$@"; }

# kglobalaccel's shortcuts of component $1: (id, name, component, ..., keys, default keys) each.
shortcut_infos() {
    gdbus call --session --dest org.kde.kglobalaccel --object-path "/component/$1" \
        --method org.kde.kglobalaccel.Component.allShortcutInfos 2>/dev/null
}

# The whole screen as KWin composes it, into the PNG file $1.
screenshot() {
    "$python" - "$1" <<'EOF' || fail "no screenshot of the session"
import os, subprocess, sys
import dbus
shooter = dbus.Interface(dbus.SessionBus().get_object('org.kde.KWin', '/org/kde/KWin/ScreenShot2'),
                         'org.kde.KWin.ScreenShot2')
read_end, write_end = os.pipe()
info = shooter.CaptureWorkspace({'native-resolution': True}, dbus.types.UnixFd(write_end))
os.close(write_end)
with os.fdopen(read_end, 'rb') as pipe:
    data = pipe.read()
width, height, stride = int(info['width']), int(info['height']), int(info['stride'])
rows = b''.join(data[y * stride:y * stride + width * 4] for y in range(height))
# QImage's 32-bit formats lie in memory as B, G, R, A on this machine.
subprocess.run(['convert', '-size', f'{width}x{height}', '-depth', '8', 'bgra:-', sys.argv[1]], input=rows, check=True)
EOF
}
