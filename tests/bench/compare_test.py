# bench/compare.py on made-up runs: which goals it flags, the median over the rounds, and the
# benchmark medians it takes from the JSON output.
#   python3 compare_test.py path/to/compare.py
import json, subprocess, sys, tempfile
from pathlib import Path


# Writes one run per round of each side, a goal line per (goal, figure), and returns the table.
def compare(base, new):
    with tempfile.TemporaryDirectory() as folder:
        for side, rounds in (("base", base), ("new", new)):
            for i, figures in enumerate(rounds):
                lines = [f"goal {g}: {'not measured' if v is None else v} (target <= 5) ok"
                         for g, v in figures.items()]
                Path(folder, f"{side}-{i}.txt").write_text("\n".join(["noise"] + lines) + "\n")
                click = figures.get("click") or 1
                Path(folder, f"{side}-{i}.json").write_text(json.dumps({"benchmarks": [
                    {"run_name": "click/repeats:10/real_time", "run_type": "aggregate",
                     "aggregate_name": name, "repetitions": 10, "real_time": time,
                     "time_unit": "us"} for name, time in (("mean", 99), ("median", click))] + [
                    {"run_name": "memory/iterations:1", "run_type": "iteration", "repetitions": 1,
                     "real_time": 5, "time_unit": "us", "game_MiB": 20},
                    {"run_name": "hint", "run_type": "iteration", "repetitions": 1,
                     "error_occurred": True, "real_time": 1, "time_unit": "us"}]}))
        return subprocess.run([sys.executable, sys.argv[1], folder], capture_output=True,
                              text=True, check=True).stdout


# base rounds, new rounds, the goals flagged ("" when none)
cases = [
    ([{"click": 4.0, "menu": 2.0}], [{"click": 4.3, "menu": 1.9}], ""),
    ([{"click": 4.0, "menu": 2.0}], [{"click": 4.5, "menu": 1.7}],
     "click (+12.5 %), menu (-15.0 %)"),
    ([{"click": 4.0, "mem": 12.0}], [{"click": None, "mem": 12.0}], "click (not measured)"),
    ([{"click": 4.0}], [{"click": 4.0, "mem": 1.0}], "mem (not measured)"),
    ([{"click": 3.0}, {"click": 3.2}, {"click": 9.0}], [{"click": 3.3}, {"click": 3.3}], ""),
]
for base, new, flagged in cases:
    table = compare(base, new)
    last = table.splitlines()[-1]
    expected = f"NOT within 10 % of the base's: {flagged}" if flagged else "every figure"
    assert last.startswith(expected), (base, new, table)
    assert "click (us)" in table and "99.00" not in table and "hint" not in table, table
    assert "memory/game_MiB" in table, table
print(f"{len(cases)} cases")
