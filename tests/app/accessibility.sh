#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The real program as a screen reader meets it: through the accessibility bus
# (AT-SPI) of a private session bus, with Qt's bridge switched on, on Xvfb.
# accessibility.py presses the buttons by their names and reads what they say.
#   accessibility.sh <chronivel executable>
set -euo pipefail
# A session bus of its own, so that nothing reaches the user's screen reader.
[[ -n ${CHRONIVEL_PRIVATE_BUS:-} ]] || CHRONIVEL_PRIVATE_BUS=1 exec dbus-run-session -- "$0" "$@"
source "$(dirname "$0")/xsession.sh" "$1"

/usr/libexec/at-spi-bus-launcher --launch-immediately >"$work/atspi.log" 2>&1 &
pids+=($!)
program_env=(QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1)
start_program
/usr/bin/python3 "$(dirname "$0")/accessibility.py" "$program" || fail "see above"
echo "PASS"
