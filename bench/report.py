#!/usr/bin/env python3
"""Report of a run of run_bench.sh: per size, and per line across the sizes.

    report.py RESULTS_DIR [--markdown]

RESULTS_DIR holds wrapper.json (the time of the GNU time wrapper) and a folder
per size with meta ("lines bytes runs warmup"), rows ("key<TAB>command" in the
order measured), KEY.json from hyperfine, KEY.mem (peak KiB of every run) and,
after the clean-up, check ("same" or "differs").
"""

import json
import os
import sys

# (label, numerator, denominator, kind, target): time ratios are how many times
# faster quillow is (at least the target); "floor" ratios how many times the
# floor it takes (at most the target); memory ratios how much more it takes
# (at most the target); "beyond" the bytes a line it takes beyond the file's
# size (at most the target).
RATIOS = [
    ("scan (-d) vs wc -l (the floor)", "repeated", "wc", "floor", 6),
    ("--list vs wc -l (the floor)", "list_cs", "wc", "floor", 10),
    ("scan vs mawk", "mawk", "list_cs", "time", 10),
    ("scan vs sort -u", "sort_u", "list_cs", "time", 2.5),
    ("case-insensitive scan vs mawk tolower", "mawk_lower", "list_ci", "time", 5),
    ("clean-up vs mawk", "mawk_clean", "clean", "time", 10),
    ("clean-up vs sort -u", "sort_u", "clean", "time", 3.5),
    # On the standard streams: at most 1.15x the scan alone (1.2x from a pipe);
    # a clean-up to a file at most 1.15x the scan plus cat and sync of its bytes.
    ("to standard output vs the scan", "list_cs", "to_stdout", "time", 1 / 1.15),
    ("from a pipe vs from the file, to standard output", "to_stdout", "pipe_stdout", "time", 1 / 1.2),
    ("clean-up vs the scan plus cat > OUT && sync", "scan_cat_sync", "clean", "time", 1 / 1.15),
    ("peak memory: scan vs mawk", "list_cs", "mawk", "mem", 1.2),
    ("peak memory: case-insensitive scan vs mawk tolower", "list_ci", "mawk_lower", "mem", 1.2),
    ("peak memory: clean-up vs mawk", "clean", "mawk_clean", "mem", 1.2),
    ("peak memory: scan, bytes a line beyond the file", "list_cs", None, "beyond", 32),
    ("peak memory: clean-up, bytes a line beyond the file", "clean", None, "beyond", 32),
]


def mib(size):
    return f"{size / 2**20:.1f}" if size < 10 * 2**20 else f"{size / 2**20:,.0f}"


def label(lines):
    if lines % 1000000 == 0:
        return f"{lines // 1000000}M"
    if lines % 1000 == 0:
        return f"{lines // 1000}k"
    return f"{lines:,}"


def wrapper_time(results):
    """The fastest `time true` less the fastest `true`: noise on a busy machine
    only adds time, so the fastest runs give the steadiest difference."""
    try:
        with open(os.path.join(results, "wrapper.json")) as fh:
            wrapped, bare = json.load(fh)["results"]
        return max(0.0, wrapped["min"] - bare["min"])
    except (OSError, ValueError, KeyError):
        return 0.0


def load_size(path, overhead):
    with open(os.path.join(path, "meta")) as fh:
        lines, size, runs, warmup = map(int, fh.read().split())
    rows, med, low, high, mem = [], {}, {}, {}, {}
    with open(os.path.join(path, "rows")) as fh:
        for row in fh:
            key, command = row.rstrip("\n").split("\t", 1)
            rows.append((key, command))
            with open(os.path.join(path, key + ".json")) as jf:
                r = json.load(jf)["results"][0]
            med[key] = max(0.0, r["median"] - overhead)
            low[key] = max(0.0, r["min"] - overhead)
            high[key] = max(0.0, r["max"] - overhead)
            with open(os.path.join(path, key + ".mem")) as mf:
                mem[key] = max(int(v) for v in mf.read().split()) * 1024
    check = None
    if os.path.exists(os.path.join(path, "check")):
        with open(os.path.join(path, "check")) as fh:
            check = fh.read().strip() == "same"
    return dict(lines=lines, size=size, runs=runs, warmup=warmup, rows=rows,
                med=med, low=low, high=high, mem=mem, check=check)


def ratio(s, a, b, kind, target):
    """(value, met) or None when a command was not measured; a time ratio
    also gives the ratio of the fastest runs and that of the slowest."""
    if kind in ("time", "floor"):
        if a not in s["med"] or not s["med"].get(b):
            return None
        value = s["med"][a] / s["med"][b]
        spread = (s["low"][a] / s["low"][b] if s["low"][b] else value,
                  s["high"][a] / s["high"][b] if s["high"][b] else value)
        return value, value >= target if kind == "time" else value <= target, spread
    if kind == "beyond":
        if a not in s["mem"]:
            return None
        value = (s["mem"][a] - s["size"]) / s["lines"]
        return value, value <= target
    if a not in s["mem"] or not s["mem"].get(b):
        return None
    value = s["mem"][a] / s["mem"][b]
    return value, value <= target


def target_text(kind, target):
    if kind == "beyond":
        return f"<= {target:.3g} B"
    return f">= {target:.3g}x" if kind == "time" else f"<= {target:.3g}x"


def value_text(kind, value):
    return f"{value:.1f} B" if kind == "beyond" else f"{value:.2f}x"


def spread_text(r):
    """The ratios of the fastest and of the slowest runs, where there are."""
    return f"(min {r[2][0]:.2f}x, max {r[2][1]:.2f}x)" if len(r) > 2 else ""


def all_rows(sizes):
    seen = {}
    for s in sizes:
        for key, command in s["rows"]:
            seen.setdefault(key, command)
    return list(seen.items())


def ns_per_line(s, key):
    return s["med"][key] * 1e9 / s["lines"]


def bytes_per_line(s, key):
    return s["mem"][key] / s["lines"]


def per_line(value):
    """Per-line figures below 10 keep two digits, so a floor does not read as 0."""
    return f"{value:.2g}" if value < 10 else f"{value:,.0f}"


def text_report(sizes, overhead):
    out = []
    for s in sizes:
        out.append(f"\n== {s['lines']:,} lines, {mib(s['size'])} MiB, "
                   f"{s['size'] / s['lines']:.1f} bytes/line "
                   f"(runs per command: {s['runs']}, warm-up: {s['warmup']})")
        out.append(f"{'command':<40} {'median s':>9} {'min s':>8} {'ns/line':>8} "
                   f"{'peak MiB':>9} {'B/line':>7}")
        for key, command in s["rows"]:
            out.append(f"{command:<40} {s['med'][key]:>9.3f} {s['low'][key]:>8.3f} "
                       f"{per_line(ns_per_line(s, key)):>8} {s['mem'][key] / 2**20:>9.1f} "
                       f"{per_line(bytes_per_line(s, key)):>7}")
        out.append(f"\n{'ratio (median; min and max: of the fastest and the slowest runs)':<52}"
                   f" {'value':>7} {'target':>8}")
        for name, a, b, kind, target in RATIOS:
            r = ratio(s, a, b, kind, target)
            shown = f"{value_text(kind, r[0]):>7} {target_text(kind, target):>8}  {'met' if r[1] else 'MISSED'}" \
                f" {spread_text(r)}" if r else f"{'n/a':>7}"
            out.append(f"{name:<52} {shown}")
        if s["check"] is not None:
            out.append(f"clean-up output equals mawk's: {'yes' if s['check'] else 'NO'}")
    if len(sizes) > 1:
        heads = "".join(f"{label(s['lines']):>9}" for s in sizes)
        for title, unit, value in (("time per line", "ns", ns_per_line),
                                   ("peak memory per line", "bytes", bytes_per_line)):
            out.append(f"\n== {title} ({unit}) as the file grows")
            out.append(f"{'command':<40}{heads}")
            for key, command in all_rows(sizes):
                cells = "".join(f"{per_line(value(s, key)):>9}" if key in s["med"] else f"{'-':>9}"
                                for s in sizes)
                out.append(f"{command:<40}{cells}")
        base = next((s for s in sizes if s["lines"] == 10_000_000), None)
        if base:
            # Target: at most 1.3x the cost per line at 10M lines, at every larger size.
            out.append("\n== time per line against that at 10M lines (target <= 1.3x)")
            for key, command in all_rows(sizes):
                cells = [f"{label(s['lines'])} {ns_per_line(s, key) / ns_per_line(base, key):.2f}x"
                         for s in sizes if s["lines"] > base["lines"] and key in s["med"] and base["med"].get(key)]
                if cells:
                    out.append(f"{command:<40} " + ", ".join(cells))
    out.append(f"\ntimes exclude {overhead * 1000:.1f} ms per run taken by the GNU time wrapper")
    return "\n".join(out).lstrip("\n")


def md_table(head, rows):
    lines = ["| " + " | ".join(head) + " |",
             "|" + "---|" + "--:|" * (len(head) - 1)]
    lines += ["| " + " | ".join(row) + " |" for row in rows]
    return "\n".join(lines)


def code(command):
    return "`" + command.replace("|", "\\|") + "`"


def markdown_report(sizes):
    heads = [label(s["lines"]) for s in sizes]
    out = ["Files: " + ", ".join(
        f"{label(s['lines'])} lines {mib(s['size'])} MiB" for s in sizes)
        + f" ({sizes[0]['size'] / sizes[0]['lines']:.0f} bytes/line). "
        + "Runs per command: " + ", ".join(f"{label(s['lines'])} {s['runs']}" for s in sizes)
        + ".", ""]
    for title, value in (("Time per line, ns (median)", ns_per_line),
                         ("Peak memory per line, bytes", bytes_per_line)):
        rows = [[code(command)] + [per_line(value(s, key)) if key in s["med"] else "-"
                                   for s in sizes]
                for key, command in all_rows(sizes)]
        out += [md_table([title] + heads, rows), ""]
    rows = []
    for name, a, b, kind, target in RATIOS:
        cells = []
        for s in sizes:
            r = ratio(s, a, b, kind, target)
            cells.append(f"{value_text(kind, r[0])} {'met' if r[1] else 'missed'} {spread_text(r)}".rstrip()
                         if r else "-")
        if any(c != "-" for c in cells):
            rows.append([name, target_text(kind, target)] + cells)
    out.append(md_table(["Ratio", "target"] + heads, rows))
    checks = [s["check"] for s in sizes if s["check"] is not None]
    if checks:
        out += ["", "Clean-up output equals mawk's: " + ("yes" if all(checks) else "NO") + "."]
    return "\n".join(out)


def main():
    if len(sys.argv) not in (2, 3) or sys.argv[2:] not in ([], ["--markdown"]):
        sys.exit("usage: report.py RESULTS_DIR [--markdown]")
    results = sys.argv[1]
    overhead = wrapper_time(results)
    sizes = [load_size(os.path.join(results, d), overhead) for d in os.listdir(results)
             if os.path.isfile(os.path.join(results, d, "rows"))]
    if not sizes:
        sys.exit(f"report.py: no results in {results}")
    sizes.sort(key=lambda s: s["lines"])
    print(markdown_report(sizes) if sys.argv[2:] else text_report(sizes, overhead))


if __name__ == "__main__":
    main()
