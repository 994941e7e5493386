# SPDX-License-Identifier: GPL-3.0-or-later
"""Drives the program with pid argv[1] through AT-SPI as Orca would: presses
buttons by their accessible names and reads the names and states they give.
Every wait is bounded and fails with what it waited for."""
import re
import subprocess
import sys
import time

import pyatspi

TIME = re.compile(r"^\d\d:\d\d\.\d\d,\d{3}$")


def wait_for(what, probe, seconds=20):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        found = probe()
        if found:
            return found
        time.sleep(0.1)
    sys.exit(f"FAIL: {what}")


def fresh(node):
    node.clear_cache()  # the bridge's cache may hold a name from before a change
    return node


def find(root, name, role=None):
    return pyatspi.findDescendant(
        root, lambda n: n is not None and fresh(n).name == name and (role is None or n.getRole() == role))


def press(node, action):
    actions = node.queryAction()
    names = [actions.getName(i) for i in range(actions.nActions)]
    if action not in names:
        sys.exit(f"FAIL: {node.name!r} offers {names}, not {action!r}")
    actions.doAction(names.index(action))


def application(pid):
    desktop = pyatspi.Registry.getDesktop(0)
    return next((a for a in desktop if a is not None and a.get_process_id() == pid), None)


app = wait_for("the program never joined the accessibility bus", lambda: application(int(sys.argv[1])))
start = wait_for("no START button", lambda: find(app, "START", pyatspi.ROLE_PUSH_BUTTON))
press(start, "Press")
wait_for("Press on START did not start the run", lambda: fresh(start).name == "STOP")

lap_list = find(app, "Lap list")
press(wait_for("no Lap button", lambda: find(app, "Lap", pyatspi.ROLE_PUSH_BUTTON)), "Press")
wait_for("the lap list lost its name once it had lines",
         lambda: fresh(lap_list).name == "Lap list" and lap_list.childCount > 0)

readout = pyatspi.findDescendant(app, lambda n: n is not None and TIME.match(fresh(n).name or ""))
if readout is None:
    sys.exit("FAIL: no readout named by its time")
press(find(app, "Pause or continue"), "Press")
wait_for("the pause was not announced as it began", lambda: "Paused" in fresh(readout).description)

sound = find(app, "Sound", pyatspi.ROLE_CHECK_BOX)
if sound is None:
    sys.exit("FAIL: the sound button does not read as something that switches on and off")
was_on = sound.getState().contains(pyatspi.STATE_CHECKED)
press(sound, "Press")
wait_for("the sound button does not say that it switched",
         lambda: fresh(sound).getState().contains(pyatspi.STATE_CHECKED) != was_on)
mode = find(app, "Countdown mode")
if mode.getRole() != pyatspi.ROLE_CHECK_BOX or mode.getState().contains(pyatspi.STATE_CHECKED):
    sys.exit(f"FAIL: the countdown mode reads as {mode.getRoleName()}, checked: "
             f"{mode.getState().contains(pyatspi.STATE_CHECKED)}")

# The large display, on the one monitor there is: each row named by its time text.
subprocess.run(["xdotool", "key", "ctrl+t"], check=True)
def timed():
    named = pyatspi.findAllDescendants(app, lambda n: n is not None and TIME.match(fresh(n).name or ""))
    return named if len(named) >= 3 else None


named = wait_for("the second monitor's two rows are not named by their time texts", timed)
print("named by a time text:", [n.name for n in named])
print("PASS")
