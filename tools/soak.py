#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The soak behind tools/soak: drives the real program with random use and
kill -9 at random moments, keeps a log of what it did, works out from it which
runs must be in the protocol and with what, and checks the protocol and the
settings file against that.

tools/soak starts the X server and the private folders (tests/app/xsession.sh)
and calls this with --session; --print-programs only checks the options.
"""
import argparse
import os
import random
import re
import shutil
import signal
import subprocess
import sys
import time

from soakcheck import EDIT_MARK, Run, protocol_blocks, report, verdict

KEY_PATH = "HKEY_CURRENT_USER\\Software\\Orvantis\\chronivel"
ZERO_COUNT = "hex:00,00,00,00,00,00,00,00"
WAIT = 30  # seconds for anything the program should do at once, on a busy machine

READY, RUNNING, PAUSED, STOPPED = "ready", "running", "paused", "stopped"


def parse_args(argv):
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    p = argparse.ArgumentParser(
        prog="tools/soak",
        description="Random real use of the program under its own Xvfb with kill -9 at random moments; "
        "then every finished run must be in the protocol once and whole, and the settings file undamaged.")
    p.add_argument("--kills", type=int, help="how many kill -9 (default 100, --quick 10)")
    p.add_argument("--quick", action="store_true", help="about 10 kills, for the test suite")
    p.add_argument("--seed", type=int, help="the random choices' seed (printed at the end)")
    p.add_argument("--expect-whole-runs", action="store_true",
                   help="also fail when a run in progress at a kill does not come back whole: "
                   "its START line, its laps, its pause")
    p.add_argument("--expect-atomic-stop", action="store_true",
                   help="also fail when a run comes back running after a kill during its STOP "
                   "(and is written a second time at the next STOP)")
    p.add_argument("--exe", help="the program (default: build/src/app/chronivel, built first)")
    p.add_argument("--regcheck", help="the settings file checker, tests/app/regcheck.cpp "
                   "(default: build/tests/regcheck, built first)")
    p.add_argument("--out", default=os.path.join(root, "build/soak"),
                   help="where the log, the protocol, the settings and the program's output are left")
    p.add_argument("--print-programs", action="store_true", help=argparse.SUPPRESS)
    p.add_argument("--session", nargs=3, metavar=("WORK", "SETTINGS", "PROTOCOL"), help=argparse.SUPPRESS)
    args = p.parse_args(argv)
    if args.kills is None:
        args.kills = 10 if args.quick else 100
    if args.kills < 1:
        p.error("--kills must be at least 1")
    # What is not given is built here and brought up to date by tools/soak.
    args.targets = []
    for what, target, path in (("exe", "chronivel", "build/src/app/chronivel"),
                               ("regcheck", "regcheck", "build/tests/regcheck")):
        if getattr(args, what) is None:
            setattr(args, what, os.path.join(root, path))
            args.targets.append(target)
        setattr(args, what, os.path.abspath(getattr(args, what)))
    return args


def run_quiet(*command, timeout=WAIT):
    """A command's standard output, or None when it fails or hangs."""
    try:
        done = subprocess.run(command, capture_output=True, text=True, timeout=timeout)
    except subprocess.TimeoutExpired:
        return None
    return done.stdout if done.returncode == 0 else None


class Stall(Exception):
    """The program did not do in time what a key asks of it."""


class Soak:
    def __init__(self, args, work, settings, protocol):
        self.args = args
        self.work = work
        self.settings = settings
        self.protocol = protocol
        self.random = random.Random(args.seed)
        self.began = time.monotonic()
        os.makedirs(args.out, exist_ok=True)
        for name in ("soak.log", "program.log", "Protocol.txt", "chronivel.reg"):
            if os.path.exists(os.path.join(args.out, name)):
                os.remove(os.path.join(args.out, name))
        self.log_file = open(os.path.join(args.out, "soak.log"), "w")
        self.program_log = os.path.join(work, "program.log")
        self.proc = None
        self.resumed = None
        self.window = None
        self.editor = None  # the protocol window while it is open
        self.edited = False
        self.state = READY
        self.runs = []
        self.run = None  # the run in progress, or the one just stopped
        self.last_finished = None
        self.stopping = None  # the run whose STOP was sent last
        self.pending = []  # laps and pause ends sent and not yet seen taken
        self.pause_uncertain = False
        self.unconfirmed = None  # (what, state before) of a START, STOP or "0" sent without waiting
        self.known_stops = 0
        self.sound = None
        self.figures = dict(kills=0, in_flight=0, crashes=0, stalls=0, settings_checks=0, settings_damaged=0,
                            messages=0, paused_at_kill=0, back_paused=0, running_back_paused=0, ghosts=0)

    # ---- the log ------------------------------------------------------------------------------
    def note(self, text):
        self.log_file.write(f"{time.monotonic() - self.began:9.3f} {text}\n")
        self.log_file.flush()

    # ---- the program --------------------------------------------------------------------------
    def start_program(self):
        with open(self.program_log, "ab") as log:
            log.write(f"--- start {len(self.runs)} runs in\n".encode())
            self.proc = subprocess.Popen([os.path.join(self.work, "portable/chronivel")], stdout=log,
                                         stderr=subprocess.STDOUT)
        found = run_quiet("timeout", str(WAIT), "xdotool", "search", "--sync", "--onlyvisible", "--pid",
                          str(self.proc.pid), timeout=WAIT + 5)
        if not found:
            raise SystemExit(f"soak: the program (pid {self.proc.pid}) showed no window; see {self.program_log}")
        self.window = found.split()[0]
        self.editor = None
        self.edited = False
        self.focus(self.window)
        self.note(f"started pid {self.proc.pid}, window {self.window}")
        self.check_messages()

    def focus(self, window):
        # Without a window manager the focus is ours to give, once the window is mapped.
        end = time.monotonic() + WAIT
        while time.monotonic() < end:
            subprocess.run(["xdotool", "windowfocus", window], capture_output=True)
            if (run_quiet("xdotool", "getwindowfocus") or "").strip() == window:
                return
            time.sleep(0.1)
        raise Stall(f"window {window} never took the focus")

    def visible_windows(self):
        found = run_quiet("xdotool", "search", "--onlyvisible", "--pid", str(self.proc.pid))
        return (found or "").split()

    def check_messages(self):
        """A message the program shows on its own during plain use is a fault to report; it is
        closed so that the keys reach the chronometer again."""
        time.sleep(0.3)  # a message box comes right after what caused it
        for window in self.visible_windows():
            if window in (self.window, self.editor):
                continue
            title = (run_quiet("xdotool", "getwindowname", window) or "").strip()
            self.figures["messages"] += 1
            self.note(f"MESSAGE window {window} \"{title}\"")
            print(f"soak: the program showed a message \"{title}\" (window {window})", file=sys.stderr)
            self.focus(window)
            self.key("Return")
        self.focus(self.editor or self.window)

    def key(self, *keys):
        subprocess.run(["xdotool", "key", *keys], check=True, capture_output=True)
        self.note("key " + " ".join(keys))

    def wait_for(self, condition, what):
        end = time.monotonic() + WAIT
        while time.monotonic() < end:
            if condition():
                return
            if self.proc.poll() is not None:
                raise Stall(f"the program ended (status {self.proc.returncode}) before {what}")
            time.sleep(0.05)
        raise Stall(f"{what} not seen in {WAIT} s")

    # ---- what the program keeps -----------------------------------------------------------------
    def setting(self, name):
        try:
            with open(self.settings, "rb") as f:
                text = f.read().decode("utf-16")
        except (OSError, UnicodeError):
            return None
        found = re.search(r'^"%s"=(.*?)\r?$' % re.escape(name), text, re.MULTILINE)
        return found.group(1) if found else None

    def run_kept(self):
        count = self.setting("TickCount")
        return count is not None and count != ZERO_COUNT

    def read_protocol(self):
        try:
            with open(self.protocol, "rb") as f:
                return f.read()
        except OSError:
            return b""

    def stop_lines(self):
        return len(protocol_blocks(self.read_protocol())[0])

    def scan_protocol(self):
        """Gives the blocks appended since the last look to the run whose STOP was sent; returns
        how many there were."""
        blocks = protocol_blocks(self.read_protocol())[0]
        appended = max(0, len(blocks) - self.known_stops)
        for block in blocks[self.known_stops:]:
            if self.stopping is None:
                self.note(f"BLOCK appended with no STOP sent: {block}")
                continue
            self.stopping.finishes.append(block)
            self.last_finished = self.stopping
            self.note(f"run {self.stopping.index} written: {' | '.join(block)}")
        if len(blocks) < self.known_stops:
            self.note(f"PROTOCOL lost blocks: {self.known_stops} before, {len(blocks)} now")
        self.known_stops = len(blocks)
        return appended

    def check_settings(self):
        """The settings file must read whole with the program's own reader."""
        if not os.path.exists(self.settings):
            return  # not written yet
        self.figures["settings_checks"] += 1
        done = subprocess.run([self.args.regcheck, self.settings, KEY_PATH], capture_output=True, text=True)
        names = done.stdout.split()
        # Every save writes the whole key: a value missing is one lost.
        missing = [n for n in ("TickCount", "TickTime", "DayCounter", "Date", "Leader", "Sound", "FileName", "Format")
                   if n not in names]
        if done.returncode != 0 or missing:
            self.figures["settings_damaged"] += 1
            problem = done.stderr.strip() or "missing " + ", ".join(missing)
            self.note(f"SETTINGS DAMAGED: {problem}")
            print(f"soak: settings damaged: {problem}", file=sys.stderr)
            shutil.copy(self.settings, os.path.join(self.args.out, f"damaged-{self.figures['kills']}.reg"))

    def readout_moves(self):
        """Whether the readout changes: a running run's digits do, a paused one's do not."""
        geometry = run_quiet("xdotool", "getwindowgeometry", "--shell", self.window) or ""
        values = dict(line.split("=", 1) for line in geometry.split() if "=" in line)
        crop = f"{values.get('WIDTH', 224)}x{values.get('HEIGHT', 224)}+{values.get('X', 0)}+{values.get('Y', 0)}"
        shots = set()
        end = time.monotonic() + 5
        while time.monotonic() < end:
            shot = subprocess.run(["import", "-window", "root", "-crop", crop, "rgb:-"], capture_output=True)
            shots.add(shot.stdout)
            if len(shots) > 1:
                return True
            time.sleep(0.15)
        return False

    # ---- the user's actions ---------------------------------------------------------------------
    def confirm(self):
        """Everything sent so far has been taken: keys are handled in order."""
        for what, run in self.pending:
            if what == "lap":
                run.laps += 1
            else:
                run.pauses += 1
        self.pending = []
        self.pause_uncertain = False

    def sync(self):
        """Toggles the sound and waits for the settings to show it: every key before it was handled."""
        self.sound = self.setting("Sound")
        if self.sound is None:
            return  # nothing saved yet, so nothing sent that counts
        want = "dword:00000000" if self.sound == "dword:00000001" else "dword:00000001"
        self.key("ctrl+s")
        self.wait_for(lambda: self.setting("Sound") == want, "the sound's toggle saved")
        self.confirm()

    def start(self, wait):
        self.run = Run(len(self.runs) + 1)
        self.runs.append(self.run)
        self.state = RUNNING
        self.key("Return")
        self.run.run_from(time.monotonic())
        self.note(f"START run {self.run.index}")
        self.unconfirmed = ("start", READY)
        if wait:
            self.wait_for(self.run_kept, "the started run saved")
            self.unconfirmed = None
            self.confirm()

    def stop(self, wait):
        self.scan_protocol()  # from what the file holds now
        before = self.state
        self.stopping = self.run
        if before == PAUSED:
            self.pending.append(("stop_pause", self.run))  # STOP while paused writes the pause line
        self.state = STOPPED
        self.key("Return")
        self.run.hold(time.monotonic())
        self.note(f"STOP run {self.run.index}")
        self.unconfirmed = ("stop", before)
        if wait:
            count = self.known_stops
            self.wait_for(lambda: self.stop_lines() > count and not self.run_kept(), "the run written and saved")
            self.unconfirmed = None
            self.confirm()
            self.scan_protocol()

    def reset(self, wait):
        self.key("Return")
        self.note("RESET")
        self.state = READY
        self.run = None

    def zero(self, wait):
        before = self.state
        self.key("0")
        if before in (RUNNING, PAUSED):
            self.note(f"0: run {self.run.index} reset while running")
            self.state = READY
            self.unconfirmed = ("discard", before)
            if wait:
                self.wait_for(lambda: not self.run_kept(), "the reset run cleared")
                self.unconfirmed = None
                self.confirm()
                self.run.discarded = True
                self.run = None
        else:
            self.note("0: reset" if before == STOPPED else "0: nothing to reset")
            self.state = READY
            self.run = None

    def lap(self, wait):
        self.key("F8" if self.editor or self.random.random() < 0.3 else "space")
        self.pending.append(("lap", self.run))
        self.note(f"LAP run {self.run.index}")

    def pause(self, wait):
        self.key("Pause")
        if self.state == RUNNING:
            self.state = PAUSED
            self.run.hold(time.monotonic())
        else:
            self.state = RUNNING
            self.pending.append(("pause", self.run))
            self.run.run_from(time.monotonic())
        self.note(f"{'PAUSE' if self.state == PAUSED else 'CONTINUE'} run {self.run.index}")
        self.pause_uncertain = True

    def idle(self, wait):
        time.sleep(self.random.uniform(0.2, 2.0))

    def open_protocol(self, wait):
        self.key("ctrl+p")
        if not wait:
            return
        end = time.monotonic() + WAIT
        while not self.editor:
            others = [w for w in self.visible_windows() if w != self.window]
            if others:
                self.editor = others[0]
            elif time.monotonic() > end:
                raise Stall("the protocol window did not open")
            else:
                time.sleep(0.1)
        self.edited = False
        self.focus(self.editor)
        self.note(f"protocol window {self.editor} open")

    def edit(self, wait):
        self.key("ctrl+Home", *["Down"] * self.random.randint(0, 12), "End")
        subprocess.run(["xdotool", "type", "--delay", "30", EDIT_MARK], check=True, capture_output=True)
        self.note(f"typed \"{EDIT_MARK}\"")
        self.edited = True

    def close_protocol(self, wait):
        # Esc closes it and saves an edited text; Ctrl+P hides it, which drops the edits.
        how = self.random.choice(["Escape", "Escape", "ctrl+p"])
        self.key(how)
        self.note("protocol window " + ("closed" + (", saving the edit" if self.edited else "") if how == "Escape"
                                        else "hidden" + (", dropping the edit" if self.edited else "")))
        editor, self.editor = self.editor, None
        if wait:
            end = time.monotonic() + WAIT
            while editor in self.visible_windows():
                if time.monotonic() > end:
                    raise Stall("the protocol window did not close")
                time.sleep(0.1)
            self.check_messages()

    def choose(self):
        """The next action, weighted by what a user does in each state."""
        if self.editor:
            # Mostly one edit, then closed with it saved.
            choices = {self.close_protocol: 4 if self.edited else 1, self.edit: 0.5 if self.edited else 3,
                       self.idle: 0.5}
            if self.state in (READY, STOPPED):
                choices[self.start if self.state == READY else self.reset] = 1
            elif self.state == RUNNING:
                choices.update({self.lap: 3, self.stop: 1.5})
            else:
                choices[self.stop] = 1
        elif self.state == READY:
            choices = {self.start: 6, self.zero: 0.1, self.idle: 0.5}
        elif self.state == RUNNING:
            choices = {self.lap: 4, self.pause: 1.5, self.stop: 2, self.zero: 0.15, self.idle: 1.5}
        elif self.state == PAUSED:
            choices = {self.pause: 2, self.stop: 1, self.zero: 0.1, self.idle: 1}
        else:
            choices = {self.reset: 2, self.zero: 1}
        if not self.editor and self.known_stops > 0:
            choices[self.open_protocol] = 1.2
        actions = list(choices)
        return self.random.choices(actions, weights=[choices[a] for a in actions])[0]

    def act(self, wait):
        action = self.choose()
        if self.editor and not self.editor_has_focus():
            self.focus(self.editor)
        action(wait)
        if wait:
            time.sleep(self.random.uniform(0.05, 0.6))

    def editor_has_focus(self):
        return (run_quiet("xdotool", "getwindowfocus") or "").strip() == self.editor

    # ---- kills and restarts ---------------------------------------------------------------------
    def kill(self, in_flight):
        if self.proc.poll() is not None:
            self.figures["crashes"] += 1
            self.note(f"CRASH: the program ended by itself with status {self.proc.returncode}")
        else:
            if in_flight:
                time.sleep(self.random.choice([0, self.random.uniform(0, 0.05), self.random.uniform(0.05, 0.4)]))
            self.proc.send_signal(signal.SIGKILL)
            self.proc.wait()
        self.figures["kills"] += 1
        self.figures["in_flight"] += bool(self.unconfirmed or self.pending)
        self.note(f"KILL -9 ({'in flight' if in_flight else 'settled'}), state {self.state}")
        self.check_settings()
        for _ in range(3):
            try:
                self.start_program()
                break
            except Stall as stall:
                self.figures["stalls"] += 1
                self.note(f"STALL at a restart: {stall}")
                self.proc.kill()
                self.proc.wait()
        else:
            raise SystemExit(f"soak: the program does not come up again; see {self.args.out}")
        # Read once the program is up: what it kept is what it went on with.
        self.resolve()
        self.come_back()

    def resolve(self):
        """What the program kept of the last keys before the kill, from its files."""
        kept = self.run_kept()
        written = self.scan_protocol() > 0
        what, before = self.unconfirmed or (None, self.state)
        self.unconfirmed = None
        run = self.run
        maybe = self.pending
        self.pending = []
        certain_pause = not self.pause_uncertain
        self.pause_uncertain = False
        was_paused = self.state == PAUSED
        if what == "start":
            if not kept:
                self.note(f"run {run.index} never started")
                self.runs.remove(run)
                self.run, run = None, None
        elif what == "stop":
            if written:
                # The STOP was taken, so was every key before it.
                self.pending, maybe = maybe, []
                self.confirm()
                if kept:
                    self.note(f"run {run.index} written but still kept as running")
                    self.figures["ghosts"] += 1
                    certain_pause = False
                else:
                    self.run, run = None, None
            elif kept:
                maybe = [m for m in maybe if m[0] != "stop_pause"]
                was_paused = before == PAUSED
            else:
                self.note(f"run {run.index}: STOP taken but nothing written")
                run.vanished = True
                self.run, run = None, None
        elif what == "discard":
            if not kept:
                run.discarded = True
                self.run, run = None, None
            else:
                was_paused = before == PAUSED
        elif before in (RUNNING, PAUSED):
            if not kept:
                self.note(f"run {run.index} VANISHED at the kill")
                run.vanished = True
                self.run, run = None, None
        elif kept:
            # Nothing was running, yet the program will resume a run: the last one again.
            self.figures["ghosts"] += 1
            run = self.last_finished
            self.note(f"a finished run comes back running: run {run.index if run else '?'}")
            was_paused, certain_pause = False, False
        for what_, r in maybe:
            if what_ == "lap":
                r.laps_maybe += 1
            else:
                r.pauses_maybe += 1
        if run and (not certain_pause or what == "stop"):
            run.elapsed = run.running_since = None
        self.run = run
        self.resumed = (run, was_paused, certain_pause) if kept else None
        if run and kept:
            run.kills += 1

    def come_back(self):
        self.state = READY
        if not self.resumed:
            return
        run, was_paused, certain_pause = self.resumed
        moving = self.readout_moves()
        self.state = RUNNING if moving else PAUSED
        if run is None:  # a run nobody started: time it like any
            run = Run(len(self.runs) + 1)
            self.runs.append(run)
        self.run = run
        self.note(f"run {run.index} back {'running' if moving else 'paused'}")
        if moving and was_paused:
            run.run_from(time.monotonic())  # its time counts from here; the program may count the pause too
        if certain_pause and was_paused:
            self.figures["paused_at_kill"] += 1
            self.figures["back_paused"] += not moving
        elif certain_pause and not moving:
            self.figures["running_back_paused"] += 1

    def finish(self):
        """Ends the last run and the program as a user would, then looks once more."""
        if self.editor:
            self.close_protocol(True)
        if self.state in (RUNNING, PAUSED):
            self.stop(True)
        self.proc.send_signal(signal.SIGTERM)
        try:
            status = self.proc.wait(timeout=WAIT)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            status = "hung"
        self.note(f"SIGTERM: status {status}")
        if status != 0:
            self.figures["crashes"] += 1
        self.check_settings()
        self.scan_protocol()

    def soak(self):
        self.note(f"seed {self.args.seed}, {self.args.kills} kills, began {time.strftime('%Y-%m-%d %H:%M:%S %Z')}")
        self.start_program()
        while self.figures["kills"] < self.args.kills:
            try:
                for _ in range(self.random.randint(1, 8)):
                    self.act(True)
                in_flight = self.random.random() < 0.5
                if in_flight:
                    self.act(False)
                else:
                    self.sync()
                    time.sleep(self.random.uniform(0, 1.0))
            except Stall as stall:
                self.figures["stalls"] += 1
                self.note(f"STALL: {stall}")
                print(f"soak: {stall}; killing the program", file=sys.stderr)
                in_flight = True
            self.kill(in_flight)
        self.finish()

    # ---- the verdict ----------------------------------------------------------------------------
    def keep(self):
        for path, name in ((self.protocol, "Protocol.txt"), (self.settings, "chronivel.reg"),
                           (self.program_log, "program.log")):
            if os.path.exists(path):
                shutil.copy(path, os.path.join(self.args.out, name))

    def close(self):
        if self.proc and self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait()
        self.keep()
        self.log_file.close()


def main(argv):
    if "--print-programs" in argv:
        # Help and errors go to stderr: tools/soak reads the programs from stdout.
        stdout, sys.stdout = sys.stdout, sys.stderr
        args = parse_args(argv)
        sys.stdout = stdout
        for program, target in ((args.exe, "chronivel"), (args.regcheck, "regcheck")):
            if not os.path.exists(program) and target not in args.targets:
                sys.exit(f"soak: {program} does not exist")
            print(program)
        print(" ".join(args.targets))
        return 0
    args = parse_args(argv)
    if not args.session:
        sys.exit("soak: run it as tools/soak")
    if args.seed is None:
        args.seed = random.randrange(1 << 31)
    soak = Soak(args, *args.session)
    try:
        soak.soak()
        print(f"soak: seed {args.seed}, {time.monotonic() - soak.began:.0f} s; "
              f"log, protocol and settings in {args.out}")
        return report(verdict(soak.runs, soak.read_protocol(), soak.note), soak.figures, args.expect_whole_runs,
                      args.expect_atomic_stop, soak.note)
    finally:
        soak.close()


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
