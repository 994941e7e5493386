#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The real program where Qt's Wayland plugin is not installed: a copy whose
# qt.conf gives it a plugin folder without it. Asked for Wayland, it says in
# one line that the plugin is missing and which package brings it, not that
# the display could not be opened.
#   wayland_plugin.sh <chronivel executable>
set -uo pipefail
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/runtime" "$work/plugins/platforms" && chmod 700 "$work/runtime"
export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_RUNTIME_DIR=$work/runtime
qt_plugins=$(qtpaths6 --query QT_INSTALL_PLUGINS)
for plugin in "$qt_plugins"/platforms/*; do
    [[ $plugin == *wayland* ]] || ln -s "$plugin" "$work/plugins/platforms/"
done
cp "$1" "$work/chronivel"
printf '[Paths]\nPlugins = %s\n' "$work/plugins" >"$work/qt.conf"

failures=0
for asked in "QT_QPA_PLATFORM=wayland" "QT_QPA_PLATFORM=xcb -platform wayland-egl"; do
    read -r variable option name <<<"$asked"
    timeout 30 env -u QT_PLUGIN_PATH -u QT_QPA_PLATFORM_PLUGIN_PATH WAYLAND_DISPLAY=wayland-0 DISPLAY=:0 \
        "$variable" "$work/chronivel" ${option:+"$option" "$name"} >"$work/said" 2>&1
    status=$?
    said=$(cat "$work/said")
    echo "$asked: status $status: $said"
    if [[ $status != 1 || $(wc -l <"$work/said") != 1 ]]; then
        echo "FAIL: $asked: not one line and status 1" >&2
        failures=$((failures + 1))
    fi
    plugin=${name:-${variable#*=}}
    if ! grep -q "platform plugin \"$plugin\" .*was not found (available: .*xcb.*); it comes with the package qt6-wayland" "$work/said"; then
        echo "FAIL: $asked: the plugin and its package are not named" >&2
        failures=$((failures + 1))
    fi
done
((failures == 0)) && echo "PASS"
