#!/usr/bin/env python3
"""Measures how the load of a model grows with its number of instances.

    load_bench.py [--build DIR] [--work DIR] [--runs K] [N ...]

For each N (default 100, 1000, 10000) it writes a chain application of N
instances (generate_model.py), runs morvel in the project directory with
"load chain.mdl" and "quit" on standard input, and prints side by side: the
wall and CPU time of the load, the peak memory of the process, and the
per-instance cost. The load's times are those of the whole run less those of
a run that only quits, so start-up is not counted. Each figure is the
best of K runs (default 3). The last line gives the ratio of the per-instance
cost at the largest N to that at the smallest, with the targets: a ratio of
at most 1.5 and a load of 10,000 instances under 5 s.

Run it by hand; it is not part of the test suite.
"""
import argparse
import os
import shutil
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import generate_model  # noqa: E402
from bench_support import run_morvel  # noqa: E402

SOURCE_DIR = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
RATIO_TARGET = 1.5
WALL_TARGET_10000 = 5.0


def best_of(runs, measure):
    """The smallest wall time, CPU time and peak memory over the runs."""
    results = [measure() for _ in range(runs)]
    return tuple(min(result[i] for result in results) for i in range(3))


def measure_load(program, directory, name, runs):
    def measure():
        wall, cpu, peak, text = run_morvel(program, directory, f"load {name}.mdl\nquit\n")
        if f'Application "{name}" loaded.' not in text:
            sys.exit(f"the load failed in {directory}:\n{text[-2000:]}")
        return wall, cpu, peak
    return best_of(runs, measure)


def main():
    parser = argparse.ArgumentParser(description="Time the load of generated models.")
    parser.add_argument("sizes", type=int, nargs="*", default=[100, 1000, 10000])
    parser.add_argument("--build", default=os.path.join(SOURCE_DIR, "build"),
                        help="build directory holding morvel and morveldir")
    parser.add_argument("--work", help="directory for the generated projects (kept)")
    parser.add_argument("--runs", type=int, default=3, help="runs per measure, best kept")
    options = parser.parse_args()

    program = os.path.join(os.path.abspath(options.build), "morvel")
    morveldir = os.path.join(os.path.abspath(options.build), "morveldir")
    if not os.access(program, os.X_OK):
        sys.exit(f"no program {program}: build first")
    os.environ["MORVELDIR"] = morveldir
    work = options.work or tempfile.mkdtemp(prefix="morvel-bench-")
    os.makedirs(work, exist_ok=True)
    name = "chain"

    base_wall, base_cpu, base_peak = best_of(
        options.runs, lambda: run_morvel(program, work, "quit\n")[:3])

    rows = []
    for count in options.sizes:
        directory = os.path.join(work, f"n{count}")
        shutil.rmtree(directory, ignore_errors=True)
        generate_model.generate(count, directory, name)
        wall, cpu, peak = measure_load(program, directory, name, options.runs)
        load_wall, load_cpu = max(wall - base_wall, 0.0), max(cpu - base_cpu, 0.0)
        rows.append((count, load_wall, load_cpu, peak, load_wall / count, load_cpu / count))

    print(f"start-up alone: wall {base_wall * 1e3:.1f} ms, cpu {base_cpu * 1e3:.1f} ms, "
          f"peak {base_peak / 1024:.1f} MiB (subtracted from the times below)")
    print(f"{'instances':>10} {'wall s':>9} {'cpu s':>9} {'peak MiB':>9} "
          f"{'wall us/inst':>13} {'cpu us/inst':>12}")
    for count, wall, cpu, peak, wall_each, cpu_each in rows:
        print(f"{count:>10} {wall:>9.3f} {cpu:>9.3f} {peak / 1024:>9.1f} "
              f"{wall_each * 1e6:>13.1f} {cpu_each * 1e6:>12.1f}")

    if len(rows) > 1 and rows[0][5] > 0:
        first, last = rows[0], rows[-1]
        ratio = last[5] / first[5]
        wall_ratio = last[4] / first[4] if first[4] > 0 else float("inf")
        verdict = "met" if ratio <= RATIO_TARGET else "missed"
        print(f"per-instance cost at {last[0]} / at {first[0]}: cpu {ratio:.2f}, "
              f"wall {wall_ratio:.2f} (target <= {RATIO_TARGET}: {verdict})")
    for count, wall, *_ in rows:
        if count == 10000:
            verdict = "met" if wall < WALL_TARGET_10000 else "missed"
            print(f"load of 10000 instances: {wall:.2f} s wall "
                  f"(target < {WALL_TARGET_10000} s: {verdict})")
    if not options.work:
        shutil.rmtree(work)


if __name__ == "__main__":
    main()
