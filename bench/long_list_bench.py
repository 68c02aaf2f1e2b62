#!/usr/bin/env python3
"""Measures the load of definition files holding one very long list.

    long_list_bench.py [--build DIR] [--program PATH] [--runs K] [--scale F]

Three applications of one component each are written, each with one long list
in a single declaration: an equation whose right side is a sum of 100,000
terms, a rule block of 100,000 influences, and a VARIABLE declaration of
60,000 variables. morvel loads each one in a fresh process ("load long.mdl",
then "quit" on standard input) and the wall and CPU seconds of the whole run,
less those of a run that only quits, are printed, best of K runs (default 1).
--scale multiplies the three lengths (0.1 gives 10,000, 10,000 and 6,000),
for a program too slow to load the full ones; --timeout gives up on a load
after that many seconds. --program times another build of morvel (the same
installation, MORVELDIR of --build, is used).

Run it by hand; it is not part of the test suite.
"""
import argparse
import os
import shutil
import sys
import tempfile

SOURCE_DIR = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from bench_support import run_morvel, write_project  # noqa: E402
MODEL = "uses Long;\n<Long> long;\nlong(long1, 0, 0);\n"


def component(vardef, constraints):
    return ('Component "Long"\n{\n}\nvardef\n{\n  ModeVar mode(ok, unknown);\n'
            f"{vardef}}}\nconstraints\n{{\n{constraints}}}\ntransitions\n{{\n}}\n")


def long_sum(terms):
    """y = x + 1 + x + 1 ...: every other term a variable."""
    sum_text = " + ".join("x" if i % 2 == 0 else "1" for i in range(terms))
    return component("  VARIABLE x, y;\n  INPUT x;\n  DISPLAY y;\n",
                     f"  y = {sum_text};\n")


def long_rule_block(influences):
    """One rule block whose influences all run from x to y."""
    rules = "".join("    x -S-> y : GAIN = 1, DELAY = 0;\n" for _ in range(influences))
    return component("  VARIABLE x, y;\n  INPUT x;\n  DISPLAY y;\n",
                     f"  flows : {{\n{rules}  }}\n")


def long_declaration(variables):
    """One VARIABLE declaration of many variables."""
    names = ", ".join(f"v{i}" for i in range(variables))
    return component(f"  VARIABLE {names};\n  DISPLAY v0;\n", "")


def main():
    parser = argparse.ArgumentParser(description="Time the load of long lists.")
    parser.add_argument("--build", default=os.path.join(SOURCE_DIR, "build"),
                        help="build directory holding morvel and morveldir")
    parser.add_argument("--program", help="the morvel to time (default: the one of --build)")
    parser.add_argument("--runs", type=int, default=1, help="runs per measure, best kept")
    parser.add_argument("--scale", type=float, default=1.0, help="factor on the list lengths")
    parser.add_argument("--timeout", type=float, default=120.0, help="seconds before giving up")
    options = parser.parse_args()

    build = os.path.abspath(options.build)
    program = os.path.abspath(options.program or os.path.join(build, "morvel"))
    if not os.access(program, os.X_OK):
        sys.exit(f"no program {program}: build first")
    os.environ["MORVELDIR"] = os.path.join(build, "morveldir")

    cases = [("sum of terms", 100000, long_sum),
             ("influences in one block", 100000, long_rule_block),
             ("variables in one declaration", 60000, long_declaration)]
    work = tempfile.mkdtemp(prefix="morvel-lists-")
    try:
        base = min(run_morvel(program, work, "quit\n", options.timeout)[:2]
                   for _ in range(options.runs))
        print(f"{'list':>30} {'length':>8} {'wall s':>9} {'cpu s':>9}")
        for title, length, write in cases:
            length = int(length * options.scale)
            directory = os.path.join(work, title.replace(" ", "_"))
            shutil.rmtree(directory, ignore_errors=True)
            write_project(directory, {"long.mdl": MODEL, "Long.def": write(length)})
            best = None
            for _ in range(options.runs):
                result = run_morvel(program, directory, "load long.mdl\nquit\n", options.timeout)
                if result is None:
                    break
                if 'Application "long" loaded.' not in result[3]:
                    sys.exit(f"the load failed in {directory}:\n{result[3][-2000:]}")
                if best is None or result[1] < best[1]:
                    best = result
            if best is None:
                print(f"{title:>30} {length:>8} {'> ' + str(int(options.timeout)):>9} {'':>9}")
            else:
                print(f"{title:>30} {length:>8} {max(best[0] - base[0], 0):>9.2f} "
                      f"{max(best[1] - base[1], 0):>9.2f}")
    finally:
        shutil.rmtree(work)


if __name__ == "__main__":
    main()
