#!/usr/bin/env python3
"""How quillow-cli's progress moves: runs a command with its standard error on
a terminal (where quillow-cli shows its stages and percentages), notes when
each text appears, and prints every stage with its time and the longest
stretch its percentage stood still.

    progress_trace.py [--limit SECONDS] -- COMMAND...

With --limit, exits 1 when a stage stood still longer than that (a stage
without percentages counts as standing still from its start to the next).
"""

import os
import pty
import re
import select
import subprocess
import sys
import time


def main():
    args = sys.argv[1:]
    limit = None
    if args[:1] == ["--limit"]:
        limit = float(args[1])
        args = args[2:]
    if args[:1] == ["--"]:
        args = args[1:]
    if not args:
        print(__doc__, file=sys.stderr)
        return 2
    master, slave = pty.openpty()
    start = time.monotonic()
    proc = subprocess.Popen(args, stderr=slave, stdout=subprocess.DEVNULL)
    os.close(slave)
    events, pending = [], b""
    while True:
        ready, _, _ = select.select([master], [], [], 0.5)
        if ready:
            try:
                chunk = os.read(master, 65536)
            except OSError:
                chunk = b""
            if not chunk:
                break
            now = time.monotonic() - start
            pending += chunk
            # Each text starts with a carriage return and ends with "erase to the end of the line".
            parts = re.split(rb"[\r\n]", pending)
            pending = parts.pop()
            for p in parts:
                text = p.replace(b"\x1b[K", b"").decode("utf-8", "replace").strip()
                if text:
                    events.append((now, text))
        elif proc.poll() is not None:
            break
    status = proc.wait()
    end = time.monotonic() - start
    if pending.strip():
        events.append((end, pending.replace(b"\x1b[K", b"").decode("utf-8", "replace").strip()))

    # A stage is a text without a percentage and the percentages after it
    # (their texts start alike, whatever the blanks before the number).
    stages = []
    for at, text in events:
        m = re.match(r"^(.*?)\s+(\d+)%$", text)
        name = m.group(1) if m else text
        percent = int(m.group(2)) if m else None
        if not stages or stages[-1]["name"].rstrip(".") != name.rstrip(".") or percent is None and stages[-1]["marks"]:
            stages.append({"name": name, "start": at, "marks": []})
        if percent is not None:
            stages[-1]["marks"].append((at, percent))
    worst = 0.0
    print(f"{'from s':>7} {'for s':>7} {'still s':>8}  stage")
    for i, s in enumerate(stages):
        stop = stages[i + 1]["start"] if i + 1 < len(stages) else end
        # The longest time without a new percentage, from the stage's start to its end.
        times, last, still = [s["start"]], None, 0.0
        for at, percent in s["marks"]:
            if percent != last:
                times.append(at)
                last = percent
        times.append(stop)
        still = max(b - a for a, b in zip(times, times[1:]))
        worst = max(worst, still)
        print(f"{s['start']:7.2f} {stop - s['start']:7.2f} {still:8.2f}  {s['name']}")
    print(f"total {end:.2f} s, exit status {status}, longest still {worst:.2f} s")
    if limit is not None and worst > limit:
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
