# SPDX-License-Identifier: GPL-3.0-or-later
"""What tools/soak checks: the runs as its log says they must be, the
protocol's blocks, and the figures it prints."""
import re

# What the soak types into the protocol window: taken out again before the
# protocol is compared with what was recorded.
EDIT_MARK = " soakedit"
SEPARATOR = "_" * 35
START_LINE = re.compile(r"^START (\d+) = ")
LAP_LINE = re.compile(r"^LAP ?(\d+) = ")
PAUSE_LINE = re.compile(r"^PAUSE = ")
STOP_TIME = re.compile(r"^STOP: = +([\d:.]+),(\d+)")
# How far a run's STOP time may be from the keys' times: a busy machine
# handles a key late, at START and at STOP.
TIME_SLACK = 2.0


def normalized(line):
    return line.replace(EDIT_MARK, "").replace("\xa0", " ").rstrip()


def protocol_blocks(data):
    """The runs in the protocol's bytes, each the tuple of its lines up to its
    STOP line, without separators and empty lines; and the lines after the
    last STOP line."""
    blocks, lines = [], []
    for raw in re.split(r"\r\n|\n|\r", data.decode("latin-1")):
        line = normalized(raw)
        if not line or line == SEPARATOR:
            continue
        lines.append(line)
        if line.startswith("STOP"):
            blocks.append(tuple(lines))
            lines = []
    return blocks, lines


class Run:
    """One run as the soak's log has it: what the program must have kept of it."""

    def __init__(self, index):
        self.index = index
        self.laps = 0  # taken, as far as the program showed it had the keys
        self.laps_maybe = 0  # sent just before a kill: may or may not have been taken
        self.pauses = 0  # pause lines the run must have
        self.pauses_maybe = 0
        self.kills = 0  # kills while it was in progress
        self.finishes = []  # the blocks its STOPs appended, as read right after
        self.discarded = False  # reset with "0" while running: not written, by design
        self.vanished = False  # gone at a restart without a STOP
        # Its time as the keys were sent: what it ran up to running_since, and
        # since then when it runs. None once a key near a kill leaves it unknown.
        self.elapsed = 0.0
        self.running_since = None

    def run_from(self, moment):
        if self.elapsed is not None:
            self.running_since = moment

    def hold(self, moment):
        if self.elapsed is not None and self.running_since is not None:
            self.elapsed += moment - self.running_since
        self.running_since = None


def verdict(runs, data, note):
    """The figures of the runs against the protocol's bytes; `note` logs each fault."""
    blocks, tail = protocol_blocks(data)
    counts = {}
    for block in blocks:
        counts[block] = counts.get(block, 0) + 1
    made = set()
    f = dict(started=len(runs), finished=0, complete=0, lost=0, doubled=0, rewritten=0, start_missing=0,
             laps_lost=0, laps_doubled=0, pauses_lost=0, times_off=0, killed=0, killed_whole=0, discarded=0,
             strangers=0, numbers=0)
    for run in runs:
        f["discarded"] += run.discarded
        if run.vanished:
            f["lost"] += 1
        if run.kills and run.finishes:
            f["killed"] += 1
        if not run.finishes:
            continue
        f["finished"] += 1
        made.update(run.finishes)
        found = [b for b in run.finishes if counts.get(b)]
        # The same block more than once; or a second block of its own, written after the run came
        # back from a kill during its STOP.
        copies = sum(counts.get(b, 0) - 1 for b in set(run.finishes) if counts.get(b, 0) > 1)
        again = len(set(b for b in run.finishes if counts.get(b))) - 1
        if not found:
            f["lost"] += 1
            note(f"LOST run {run.index}")
            continue
        f["doubled"] += copies + again
        f["rewritten"] += again
        block = found[0]
        starts = [line for line in block if START_LINE.match(line)]
        laps = [int(LAP_LINE.match(line).group(1)) for line in block if LAP_LINE.match(line)]
        pauses = sum(1 for line in block if PAUSE_LINE.match(line))
        start_ok = len(starts) == 1 and START_LINE.match(block[0]) is not None
        f["start_missing"] += not starts
        laps_lost = max(0, run.laps - len(laps))
        laps_extra = max(0, len(laps) - run.laps - run.laps_maybe)
        pauses_lost = max(0, run.pauses - pauses)
        whole = (start_ok and not laps_lost and not laps_extra and not pauses_lost
                 and pauses <= run.pauses + run.pauses_maybe and laps == list(range(1, len(laps) + 1)))
        f["laps_lost"] += laps_lost
        f["laps_doubled"] += laps_extra
        f["pauses_lost"] += pauses_lost
        stop = STOP_TIME.match(block[-1])
        if stop and run.elapsed is not None:
            seconds = 0
            for part in re.split(r"[:.]", stop.group(1)):
                seconds = seconds * 60 + int(part)
            seconds += int(stop.group(2)) / 10 ** len(stop.group(2))
            if abs(seconds - run.elapsed) > TIME_SLACK:
                f["times_off"] += 1
                whole = False
                note(f"run {run.index} timed {seconds:.3f} s, keys sent {run.elapsed:.3f} s apart")
        f["complete"] += whole
        if run.kills:
            f["killed_whole"] += whole
        if not whole:
            note(f"run {run.index} not whole: {run.laps}+{run.laps_maybe}? laps, {run.pauses}"
                      f"+{run.pauses_maybe}? pauses, block {' | '.join(block)}")
    f["strangers"] = sum(n for b, n in counts.items() if b not in made)
    numbers = [int(START_LINE.match(line).group(1)) for b in blocks for line in b if START_LINE.match(line)]
    f["numbers"] = sum(1 for a, b in zip(numbers, numbers[1:]) if b <= a)
    if tail:
        note(f"after the last STOP: {tail}")
    lines = [normalized(line) for line in re.split(r"\r\n|\n|\r", data.decode("latin-1"))]
    f["glued"] = sum(1 for a, b in zip(lines, lines[1:]) if a.startswith("STOP") and b)
    return f


def report(f, g, whole, atomic_stop, note):
    """Prints the figures `f` of the verdict and `g` of the soak; returns the exit status:
    1 when anything was lost, doubled or damaged; with `whole` also when a run came back incomplete,
    with `atomic_stop` when a run came back after its STOP."""
    mark = "" if whole else "   (not checked: --expect-whole-runs)"
    stop_mark = "" if atomic_stop else "   (not checked: --expect-atomic-stop)"
    rows = [
        ("kills", f"{g['kills']} ({g['in_flight']} with keys still in flight)", False),
        ("runs started", f["started"], False),
        ("runs finished", f["finished"], False),
        ("runs complete", f"{f['complete']} of {f['finished']}", False),
        ("runs lost", f["lost"], f["lost"] > 0),
        ("runs doubled", f["doubled"], f["doubled"] > f["rewritten"] or (atomic_stop and f["doubled"] > 0)),
        ("  of them written again after coming back", str(f["rewritten"]) + stop_mark, False),
        ("blocks no run made", f["strangers"], f["strangers"] > 0),
        ("run numbers not rising", f["numbers"], f["numbers"] > 0),
        ("runs reset with 0 (not written)", f["discarded"], False),
        ("blocks without their empty line", f"{f['glued']}   (not a check)", False),
        ("runs killed in progress, finished", f"{f['killed']}, {f['killed_whole']} of them whole" + mark,
         whole and f["killed_whole"] < f["killed"]),
        ("START lines missing", str(f["start_missing"]) + mark, whole and f["start_missing"] > 0),
        ("laps lost", str(f["laps_lost"]) + mark, whole and f["laps_lost"] > 0),
        ("laps doubled", str(f["laps_doubled"]) + mark, whole and f["laps_doubled"] > 0),
        ("pause lines lost", str(f["pauses_lost"]) + mark, whole and f["pauses_lost"] > 0),
        (f"STOP times off by more than {TIME_SLACK:.0f} s", str(f["times_off"]) + mark,
         whole and f["times_off"] > 0),
        ("paused runs that came back paused", f"{g['back_paused']} of {g['paused_at_kill']}" + mark,
         whole and g["back_paused"] < g["paused_at_kill"]),
        ("running runs that came back paused", str(g["running_back_paused"]) + mark,
         whole and g["running_back_paused"] > 0),
        ("finished runs that came back running", str(g["ghosts"]) + stop_mark, atomic_stop and g["ghosts"] > 0),
        ("settings damaged", f"{g['settings_damaged']} of {g['settings_checks']} checks", g["settings_damaged"] > 0),
        ("messages shown", g["messages"], g["messages"] > 0),
        ("crashes, unclean exits", g["crashes"], g["crashes"] > 0),
        ("stalls (a key without effect)", g["stalls"], False),
    ]
    failed = [name for name, _, bad in rows if bad]
    for name, value, bad in rows:
        print(f"  {name:42} {value}{'   <- FAIL' if bad else ''}")
    print("soak: " + ("FAIL: " + ", ".join(failed) if failed else "PASS"))
    note("figures: " + "; ".join(f"{n} {v}" for n, v, _ in rows))
    return 1 if failed else 0
