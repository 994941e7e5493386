#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The real program in a headless KDE Plasma session. Natively on Wayland the
# round window's corners show the desktop behind it (no mask cuts a Wayland
# surface), the see-through look asks nothing Wayland refuses, and the user is
# told once what Wayland does not allow. Started with no platform chosen, where
# XWayland is there, it runs as an X window on XWayland, round, and tells nothing
# of Wayland. The configuration's crescent leaves the rest of its square clear.
#   wayland_window.sh <chronivel executable> <fakekeys executable>
set -uo pipefail
fakekeys=$2
source "$(dirname "$0")/kdesession.sh" "$1"
shots=${CHRONIVEL_SCREENSHOTS:-$work}
mkdir -p "$shots"
limits='Wayland lets no program keep its window on top'

# window_shape BASE SHOT: the square where SHOT differs from BASE (the window)
# as "x y width height", then how much of the square outside the circle it
# spans differs (its corners: none should) and how much of the rim inside it.
window_shape() {
    "$python" - "$1" "$2" <<'EOF'
import math, subprocess, sys
def pixels(path):
    width, height = map(int, subprocess.run(['identify', '-format', '%w %h', path], capture_output=True,
                                            check=True, text=True).stdout.split())
    return width, height, subprocess.run(['convert', path, 'rgb:-'], capture_output=True, check=True).stdout
width, height, base = pixels(sys.argv[1])
_, _, shot = pixels(sys.argv[2])
def differs(x, y):
    i = 3 * (y * width + x)
    return any(abs(base[i + k] - shot[i + k]) > 24 for k in range(3))
changed = [(x, y) for y in range(height) for x in range(width) if differs(x, y)]
if not changed:
    print('none')
    sys.exit()
x0, x1 = min(x for x, _ in changed), max(x for x, _ in changed)
y0, y1 = min(y for _, y in changed), max(y for _, y in changed)
cx, cy, r = (x0 + x1 + 1) / 2, (y0 + y1 + 1) / 2, (x1 - x0 + 1) / 2
corner, rim = [], []
for y in range(y0, y1 + 1):
    for x in range(x0, x1 + 1):
        d = math.hypot(x + 0.5 - cx, y + 0.5 - cy) / r
        if d > 1.03:
            corner.append(differs(x, y))
        elif 0.9 < d < 0.97:
            rim.append(differs(x, y))
print(x0, y0, x1 - x0 + 1, y1 - y0 + 1, f'{sum(corner) / len(corner):.3f}', f'{sum(rim) / len(rim):.3f}')
EOF
}

# shape_when_still NAME: screenshots into $shots/NAME.png until two in a row
# agree and differ from the bare desktop; sets $shape to window_shape's answer.
shape_when_still() {
    local previous=
    for _ in $(seq 40); do
        screenshot "$shots/$1.png"
        shape=$(window_shape "$shots/desktop.png" "$shots/$1.png")
        [[ $shape != none && $shape == "$previous" ]] && return 0
        previous=$shape
        sleep 0.5
    done
    fail "$1: the window never showed still: $shape"
}

# round NAME: the window is a circle in a square of its own, the desktop in its corners.
round() {
    read -r x y w h corners rim <<<"$shape"
    echo "$1: window at $x,$y, $w x $h; of its corners $corners and of its rim $rim differ from the desktop"
    ((w > 150 && w - h <= 2 && h - w <= 2)) || fail "$1: the window is $w x $h, not a square"
    [[ $corners == 0.000 ]] || fail "$1: the corners do not show the desktop (see $shots/$1.png)"
    [[ $rim > 0.900 ]] || fail "$1: the rim of the face does not show (see $shots/$1.png)"
}

screenshot "$shots/desktop.png"

start_wayland native
native=$program
wait_until "grep -q '$limits' '$work/native.log'" 300 || fail "natively on Wayland the limits were not told"
shape_when_still wayland
round wayland

# The configuration (Ctrl+C) comes over the window: white pixels would be the
# corners of its square, painted where no mask cuts them.
white() { convert "$1" -fill black +opaque white -fill white -opaque white -format '%[fx:int(mean*w*h)]' info:; }
before=$(white "$shots/wayland.png")
"$fakekeys" ctrl+c
wait_until 'screenshot "$shots/configuration.png"; [[ $(window_shape "$shots/wayland.png" "$shots/configuration.png") != none ]]' 100 ||
    fail "natively on Wayland Ctrl+C showed no configuration"
shape_when_still configuration
(($(white "$shots/configuration.png") - before < 500)) ||
    fail "natively on Wayland the configuration's square shows white around its crescent (see $shots/configuration.png)"
"$fakekeys" Escape
wait_until 'screenshot "$work/now.png"; [[ $(window_shape "$shots/wayland.png" "$work/now.png") == none ]]' 100 ||
    fail "Escape did not close the configuration"

# Another program in front sends the first to the background, where it would be see-through.
start_as "" xwayland
# An X window of that title that KWin keeps above the others.
above_x_window() {
    local window
    for window in $(xdotool search --name '^xwayland$' 2>/dev/null); do
        xprop -id "$window" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE && return 0
    done
    return 1
}
wait_until above_x_window 300 ||
    fail "with XWayland there and no platform chosen, the program did not come as an X window kept on top: " \
        "$(for w in $(xdotool search --name '^xwayland$'); do xprop -id "$w" WM_NAME _NET_WM_STATE; done)"
# end PIDS...: the programs ended as a user would, and their windows gone from the screen.
end() {
    kill -TERM "$@"
    wait "$@" 2>/dev/null
    wait_until 'screenshot "$work/now.png"
        [[ $(compare -metric AE -fuzz 10% "$shots/desktop.png" "$work/now.png" null: 2>&1) == 0 ]]' 100 ||
        fail "a window stayed on the screen after its program ended"
}
end "$native" "$program"
grep -c "$limits" "$work/native.log" | grep -qx 1 || fail "natively on Wayland the limits were told more than once"
! grep -q 'does not support setting window opacity' "$work/native.log" ||
    fail "natively on Wayland the program asked for an opacity"
! grep -q "$limits" "$work/xwayland.log" || fail "on XWayland the program told Wayland's limits"

# Alone on the desktop: KWin leaves the corners of an X window's shape as they
# were last drawn, so a window that closed behind it would still show there.
start_as "" xwayland
wait_until above_x_window 300 || fail "the program did not come again as an X window kept on top"
shape_when_still xwayland
round xwayland
echo "PASS"
