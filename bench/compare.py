# The figures of two benchmark programs side by side (make bench BASE=<commit>): reads the runs
# tools/bench leaves in a folder, base-<round> and new-<round>, each a .json and a .txt.
#   python3 compare.py FOLDER
import json, re, statistics, sys
from pathlib import Path

TOLERANCE = 10  # percent either way
# "goal game-click: 3.51 (target <= 5) ok", "goal memory: +13.1 MiB (target <= +14 MiB) short"
GOAL = re.compile(r"^goal (\S+): (?:not measured|([-+]?[\d.]+))[^(]*\(target (<= [^)]*)\)", re.M)
# What Google Benchmark appends to a benchmark's name; the fields of a run that are no counters.
SETTINGS = re.compile(r"/(?:min_time|repeats|iterations):[^/]*|/real_time")
FIELDS = {"family_index", "per_family_instance_index", "repetitions", "repetition_index",
          "threads", "iterations", "real_time", "cpu_time", "error_occurred"}


# Each goal's figure (None when not measured) and its target, from a program's console output.
def goals(text):
    found = GOAL.findall(text)
    return {n: float(v) if v else None for n, v, _ in found}, {n: t for n, _, t in found}


# Each benchmark's median time and its counters, from Google Benchmark's JSON output.
def medians(data):
    figures = {}
    for run in data["benchmarks"]:
        single = run["run_type"] == "iteration" and run["repetitions"] <= 1
        if run.get("error_occurred") or not (single or run.get("aggregate_name") == "median"):
            continue
        name = SETTINGS.sub("", run["run_name"])
        figures[f"{name} ({run['time_unit']})"] = run["real_time"]
        for counter, value in run.items():
            if counter not in FIELDS and isinstance(value, (int, float)):
                figures[f"{name}/{counter}"] = value
    return figures


# The median over the rounds of every figure any round has; None where none measured it.
def over_rounds(rounds):
    names = dict.fromkeys(name for figures in rounds for name in figures)
    values = {n: [f[n] for f in rounds if f.get(n) is not None] for n in names}
    return {n: statistics.median(v) if v else None for n, v in values.items()}


def change(base, new):
    return None if base is None or new is None or base == 0 else (new - base) / abs(base) * 100


def number(value):
    if value is None:
        return "-"
    return f"{value:.0f}" if abs(value) >= 100 else f"{value:.2f}"


# The table of both sides' figures; returns the goals whose new figure strays from the base's.
def table(title, base, new, targets=None):
    last = "target" if targets else ""
    print(f"{title:<26}{'base':>10}{'new':>10}{'change':>10}  {last}".rstrip())
    strays = []
    for name in dict.fromkeys([*new, *base]):
        b, n = base.get(name), new.get(name)
        c = change(b, n)
        shown = "" if c is None else f"{c:+.1f} %"
        flag = targets is not None and (c is None or abs(c) > TOLERANCE)
        if flag:
            strays.append(f"{name} ({shown or 'not measured'})")
        target = (targets or {}).get(name, "")
        mark = "<<" if flag else ""
        print(f"{name:<26}{number(b):>10}{number(n):>10}{shown:>10}  {target:<12}{mark}".rstrip())
    return strays


# One side's goals, their targets and its benchmark medians, each the median over its rounds.
def side(folder, name):
    paths = sorted(Path(folder).glob(f"{name}-*.json"))
    if not paths:
        sys.exit(f"compare: no {name}-<round>.json in {folder}")
    outputs = [goals(path.with_suffix(".txt").read_text()) for path in paths]
    runs = [medians(json.loads(path.read_text())) for path in paths]
    return over_rounds([figures for figures, _ in outputs]), outputs[-1][1], over_rounds(runs)


def main(folder):
    base_goals, _, base_runs = side(folder, "base")
    new_goals, targets, new_runs = side(folder, "new")
    strays = table("goal", base_goals, new_goals, targets)
    print()
    table("benchmark median", dict(sorted(base_runs.items())), dict(sorted(new_runs.items())))
    if strays:
        print(f"\nNOT within {TOLERANCE} % of the base's: " + ", ".join(strays))
    else:
        print(f"\nevery figure of the new code is within {TOLERANCE} % of the base's")


if __name__ == "__main__":
    main(sys.argv[1])
