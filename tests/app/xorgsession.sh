# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced by the tests that need two monitors: a real Xorg with the dummy
# video driver, whose one large screen RandR splits into two monitors, as a
# laptop's screen and a projector beside it. Xvfb cannot do this: with
# Xinerama it still gives the program one screen. Offers what xsession.sh
# offers, and remove_second_monitor / add_second_monitor.
#   source xorgsession.sh <chronivel executable>
# Xorg takes a -config outside its own folders only from root; the tests run as root.

# The monitors: the primary 1920x1080 at the left, the second 1280x1024 right of it.
first_monitor=(1920 1080 0)
second_monitor=(1280 1024 1920)

x_server() {
    cat >"$work/xorg.conf" <<CONF
Section "ServerFlags"
    Option "AutoAddDevices" "false"
    Option "AutoAddGPU" "false"
    Option "DontVTSwitch" "true"
EndSection
Section "Device"
    Identifier "dummy"
    Driver "dummy"
    VideoRam 256000
EndSection
Section "Monitor"
    Identifier "monitor"
    HorizSync 5.0-1000.0
    VertRefresh 5.0-200.0
EndSection
Section "Screen"
    Identifier "screen"
    Device "dummy"
    Monitor "monitor"
    DefaultDepth 24
    SubSection "Display"
        Depth 24
        Virtual 3200 1080
    EndSubSection
EndSection
CONF
    exec Xorg -config "$work/xorg.conf" -logfile "$work/xorg.log" -displayfd 3 -noreset -nolisten tcp
}
source "$(dirname "${BASH_SOURCE[0]}")/xsession.sh" "$1"

# WIDTH HEIGHT LEFT as RandR wants a monitor: pixels/millimetres (96 dpi).
monitor_geometry() {
    echo "$1/$(($1 * 254 / 960))x$2/$(($2 * 254 / 960))+$3+0"
}
add_second_monitor() {
    xrandr --setmonitor chronivel-2 "$(monitor_geometry "${second_monitor[@]}")" none ||
        fail "xrandr could not add the second monitor"
}
remove_second_monitor() {
    xrandr --delmonitor chronivel-2 || fail "xrandr could not remove the second monitor"
}

# The one output shows the left part of the screen; the monitors are RandR's.
xrandr --fb 3200x1080 --output DUMMY0 --mode 1920x1080 --pos 0x0 >/dev/null ||
    fail "xrandr could not set up the dummy screen; the X server's errors: $(grep -F '(EE)' "$work/xorg.log")"
xrandr --setmonitor chronivel-1 "$(monitor_geometry "${first_monitor[@]}")" DUMMY0 >/dev/null ||
    fail "xrandr could not make the first monitor"
add_second_monitor >/dev/null
[[ $(xrandr --listmonitors | head -n 1) == "Monitors: 2" ]] || fail "the X server has not two monitors: $(xrandr --listmonitors)"
