#!/usr/bin/env python3
"""Constructs that generated runtimes must build and run:

- a nominal transition with several results (fixtures/halfway): each is
  possible, so a switch commanded on that closes (the lamp lights) or stops
  half-way (it stays dark) is believed fault-free either way;
- a constant influence from a number, and a static influence reading its
  effect (fixtures/offset): the displayed values are the number and its gain
  times it; a variable without causes keeps its initial value; an instance
  declared but never instantiated is left out of the runtime, which builds.

Usage: constructs_test.py SOURCE_DIR MORVELDIR
"""
import json
import os
import sys

from runtime_support import Installation, check, finish, fixture_files


def built(installation, name, fixture):
    project = installation.project(name, fixture_files(fixture))
    out, err, _ = installation.session(project, f"load {name}.mdl\ncompile 1\nexecute none.mes\n")
    check("... done. C-link time" in out, f"{name}: the runtime was not built\n{out[-2000:]}{err}")
    return project


def switch(installation):
    project = built(installation, "lamp", "halfway")
    for lit in ("yes", "no"):
        with open(os.path.join(project, "run.mes"), "w") as run:
            run.write(f"time sw.cmd sw.lit\n0 off no\n1 off no\n2 on no\n3 on {lit}\n4 on {lit}\n")
        installation.run(project, "lamp", "run.mes", "results=run.jsonl", "plots=0")
        with open(os.path.join(project, "run.jsonl")) as lines:
            top = [json.loads(line) for line in lines][-1]["assignments"][0]
        check(not top["faults"] and top["p"] > 0.9, f"lit {lit}: most probable {top}")


def offset(installation):
    project = built(installation, "offset", "offset")
    with open(os.path.join(project, "run.in"), "w") as run:
        run.write("time\n0\n3\n")
    installation.run(project, "offset", "run.in", "run.disp", "plots=0")
    with open(os.path.join(project, "run.disp")) as display:
        rows = [line.split() for line in display][1:]
    check([row[1:] for row in rows] == [["0", "0", "4"]] + [["2", "6", "4"]] * 3,
          f"constant influence: displayed {rows}")


def main():
    _, installation_dir = sys.argv[1:]
    with Installation(installation_dir) as installation:
        switch(installation)
        offset(installation)
    return finish()


if __name__ == "__main__":
    sys.exit(main())
