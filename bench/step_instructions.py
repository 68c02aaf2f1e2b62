#!/usr/bin/env python3
"""Instructions per diagnosis step, counted by valgrind's callgrind, on the
applications a diagnosis bench run left with --keep: a measure of the step's
cost that the machine's load does not change.

    bench/diagnosis_bench.py --sizes 100 1000 --keep DIR
    bench/step_instructions.py DIR 100 1000

For each size, a nominal run with noise (sim_noise=0.01) of 40 and of 80
steps is diagnosed under callgrind; the instructions of the diagnosis steps
(Diagnoser::step, inclusive) of the 40 extra steps, per step and per
component, are printed side by side, with the ratio per component of the
largest size against the smallest.
"""
import os
import re
import subprocess
import sys
import tempfile


def step_instructions(project, steps):
    first = open(os.path.join(project, "template.mes")).readline().split()[1]
    with open(os.path.join(project, "long.mes"), "w") as template:
        template.write(f"time {first}\n0 -\n{steps - 1} -\n")
    with open(os.path.join(project, "none.force"), "w") as force:
        force.write("# nominal\n")
    runtime = os.path.join(project, "bin", "plant_xe")
    subprocess.run([runtime, "long.mes", "force=none.force", "simulate=run.mes", "sim_noise=0.01",
                    "seed=3"], cwd=project, check=True, capture_output=True)
    with tempfile.NamedTemporaryFile(suffix=".callgrind") as profile:
        subprocess.run(["valgrind", "--tool=callgrind", f"--callgrind-out-file={profile.name}",
                        runtime, "run.mes", "results=run.jsonl", "plots=0"], cwd=project,
                       check=True, capture_output=True)
        report = subprocess.run(["callgrind_annotate", "--inclusive=yes", profile.name],
                                check=True, capture_output=True, text=True).stdout
    line = next(line for line in report.splitlines() if "Diagnoser::step(long)" in line)
    return int(re.match(r"\s*([\d,]+)", line).group(1).replace(",", ""))


def main():
    directory, sizes = sys.argv[1], [int(size) for size in sys.argv[2:]]
    rows = []
    for n in sizes:
        project = os.path.join(directory, f"n{n}", "appli", "plant")
        extra = step_instructions(project, 80) - step_instructions(project, 40)
        rows.append((n, extra / 40))
    print(f"{'N':>8} {'per step':>14} {'per component':>14}")
    for n, per_step in rows:
        print(f"{n:>8} {per_step:>14.0f} {per_step / n:>14.0f}")
    if len(rows) >= 2:
        (small, a), (large, b) = rows[0], rows[-1]
        print(f"\nPer component, N = {large} against N = {small}: x{(b / large) / (a / small):.2f}")


if __name__ == "__main__":
    main()
