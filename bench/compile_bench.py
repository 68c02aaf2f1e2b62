#!/usr/bin/env python3
"""Measures the compile command on generated applications: the time morvel
itself spends (clause compilation and generation, measured with stand-in
c++, ar and rm that do nothing) beside the time of the whole compile with the
real compiler, and their ratio.

    compile_bench.py [--build DIR] [--runs K] [N ...]      (default sizes: 100 1000)

Times are CPU seconds (user and system) of morvel and the processes it
waits for, so that other work on a shared machine does not count; wall
seconds are printed beside them. A compile's times are those of a run that
loads and compiles less those of a run that only loads. Each timed run gets
a fresh copy of the project, so that every compile creates its files as a
first compile does; each figure is the best of K runs (default 1). The
copies are deleted at the end only: a file system may create files more
slowly just after many were deleted.

Run by hand; it is not part of the test suite.
"""
import argparse
import os
import resource
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))


def timed_run(morvel, project, env, script):
    """CPU, system CPU and wall seconds of one morvel run on the script."""
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    start = time.perf_counter()
    subprocess.run([morvel, "new"], input=script, cwd=project, env=env, capture_output=True,
                   check=True)
    wall = time.perf_counter() - start
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    system = after.ru_stime - before.ru_stime
    return after.ru_utime - before.ru_utime + system, system, wall


def timed_compile(template, copies, installation, path_prefix=None):
    """CPU, system CPU and wall seconds of a compile in a fresh copy of the template."""
    env = dict(os.environ, MORVELDIR=installation)
    if path_prefix:
        env["PATH"] = path_prefix + os.pathsep + env["PATH"]
    morvel = os.path.join(installation, "bin", "linux", "morvel")
    project = os.path.join(copies, f"run{len(os.listdir(copies))}")
    shutil.copytree(template, project)
    load = timed_run(morvel, project, env, b"load chain.mdl\nquit\n")
    both = timed_run(morvel, project, env, b"load chain.mdl\ncompile\nquit\n")
    return tuple(whole - part for whole, part in zip(both, load))


def best_of(runs, measure):
    """The run of least CPU time."""
    return min((measure() for _ in range(runs)), key=lambda times: times[0])


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default=os.path.join(HERE, "..", "build"))
    parser.add_argument("--runs", type=int, default=1, help="runs per measure, best kept")
    parser.add_argument("sizes", nargs="*", type=int, default=[100, 1000])
    args = parser.parse_args()
    installation = os.path.abspath(os.path.join(args.build, "morveldir"))
    print(f"{'instances':>10} {'morvel cpu':>11} {'of it sys':>10} {'whole cpu':>10} "
          f"{'morvel share':>13} {'us/instance':>12} {'morvel wall':>12} {'whole wall':>11}")
    with tempfile.TemporaryDirectory(prefix="morvel-compile-bench-") as work:
        shims = os.path.join(work, "shims")
        os.makedirs(shims)
        for tool in ("c++", "ar", "rm"):
            path = os.path.join(shims, tool)
            with open(path, "w") as shim:
                shim.write("#!/bin/sh\nexit 0\n")
            os.chmod(path, 0o755)
        for size in args.sizes:
            template = os.path.join(work, f"chain{size}")
            copies = os.path.join(work, f"runs{size}")
            os.makedirs(copies)
            subprocess.run([sys.executable, os.path.join(HERE, "generate_model.py"), str(size),
                            template], check=True, capture_output=True)
            own, own_sys, own_wall = best_of(
                args.runs, lambda: timed_compile(template, copies, installation, shims))
            whole, _, whole_wall = best_of(
                args.runs, lambda: timed_compile(template, copies, installation))
            print(f"{size:>10} {own:>11.2f} {own_sys:>10.2f} {whole:>10.2f} "
                  f"{100 * own / whole:>12.1f}% {1e6 * own / size:>12.0f} {own_wall:>12.2f} "
                  f"{whole_wall:>11.2f}", flush=True)


if __name__ == "__main__":
    main()
