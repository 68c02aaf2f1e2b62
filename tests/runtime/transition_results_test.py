#!/usr/bin/env python3
"""A nominal transition with several results compiles, and the runtime takes
each result as possible: a switch commanded on closes (the lamp lights) or
stops half-way (it stays dark); either way no fault is the most probable.

Usage: transition_results_test.py SOURCE_DIR MORVELDIR
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


def main():
    _, installation_dir = sys.argv[1:]
    failures = []
    with Installation(installation_dir) as installation:
        project = installation.project("lamp", {"Switch.def": SWITCH,
                                                "lamp.mdl": "uses Switch;\n<Switch> sw;\nsw(swi, 0, 0);\n"})
        out, err, _ = installation.session(project, "load lamp.mdl\ncompile 1\nexecute none.mes\n")
        if "... done. C-link time" not in out:
            print(f"the runtime was not built\n{out[-2000:]}{err}")
            return 1
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
    for failure in failures:
        print(failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
