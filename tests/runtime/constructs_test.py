#!/usr/bin/env python3
"""Constructs that generated runtimes must build and run:

- a nominal transition with several results: each is possible, so a switch
  commanded on that closes (the lamp lights) or stops half-way (it stays
  dark) is believed fault-free either way;
- a constant influence from a number, and a static influence reading its
  effect: the displayed values are the number and its gain times it.

Usage: constructs_test.py SOURCE_DIR MORVELDIR
"""
import json
import os
import sys

from runtime_support import Installation

SWITCH = """Component "Switch"
{
  cin : CommandVar cmd(off, on);
}
vardef
{
  ModeVar pos(open, closed, half, stuck, unknown);
  ObsVar lit(no, yes);
}
constraints
{
  (pos = "closed") => (lit = "yes");
  (pos = "open") | (pos = "half") | (pos = "stuck") => (lit = "no");
}
transitions
{
  closing : { Nominal (pos = "open") & (cmd = "on") Next (pos = "closed") ; Next (pos = "half") ; 0.9 ; }
  Idle (pos = "open") & (cmd = "off") Next (pos = "open") 1.0 ;
  sticking : { Fail (pos = "open") Next (pos = "stuck") 0.01 ; }
}
"""


OFFSET = """Component "Offset"
{
}
vardef
{
  VARIABLE base IN [0, 10];
  VARIABLE shown IN [0, 10];
  DISPLAY base, shown;
}
constraints
{
  lifting : 2 -C-> base;
  scaling : base -S-> shown : GAIN = 3, DELAY = 0;
}
transitions
{
}
"""

failures = []


def built(installation, name, files):
    project = installation.project(name, files)
    out, err, _ = installation.session(project, f"load {name}.mdl\ncompile 1\nexecute none.mes\n")
    if "... done. C-link time" not in out:
        failures.append(f"{name}: the runtime was not built\n{out[-2000:]}{err}")
        return None
    return project


def switch(installation):
    project = built(installation, "lamp", {"Switch.def": SWITCH,
                                           "lamp.mdl": "uses Switch;\n<Switch> sw;\nsw(swi, 0, 0);\n"})
    if project is not None:
        for lit in ("yes", "no"):
            with open(os.path.join(project, "run.mes"), "w") as run:
                run.write("time sw.cmd sw.lit\n0 off no\n1 off no\n2 on no\n3 on " + lit +
                          "\n4 on " + lit + "\n")
            installation.run(project, "lamp", "run.mes", "results=run.jsonl", "plots=0")
            with open(os.path.join(project, "run.jsonl")) as lines:
                last = [json.loads(line) for line in lines][-1]
            top = last["assignments"][0]
            if top["faults"] or top["p"] < 0.9:
                failures.append(f"lit {lit}: most probable {top}")


def offset(installation):
    project = built(installation, "offset", {"Offset.def": OFFSET,
                                             "offset.mdl": "uses Offset;\n<Offset> lift;\nlift(lifti, 0, 0);\n"})
    if project is not None:
        with open(os.path.join(project, "run.in"), "w") as run:
            run.write("time\n0\n3\n")
        installation.run(project, "offset", "run.in", "run.disp", "plots=0")
        with open(os.path.join(project, "run.disp")) as display:
            rows = [line.split() for line in display][1:]
        if [row[1:] for row in rows[1:]] != [["2", "6"]] * 3:
            failures.append(f"constant influence: displayed {rows}")


def main():
    _, installation_dir = sys.argv[1:]
    with Installation(installation_dir) as installation:
        switch(installation)
        offset(installation)
    for failure in failures:
        print(failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
