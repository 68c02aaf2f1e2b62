#!/usr/bin/env python3
"""Constructs that generated runtimes must build and run:

- a nominal transition with several results (fixtures/halfway): each is
  possible, so a switch commanded on that closes (the lamp lights) or stops
  half-way (it stays dark) is believed fault-free either way;
- a constant influence from a number, and a static influence reading its
  effect (fixtures/offset): the displayed values are the number and its gain
  times it; a variable without causes keeps its initial value; an instance
  declared but never instantiated is left out of the runtime, which builds;
- a condition variable of & and ! with bounds included, and a free value
  out of its domain (fixtures/basin: a level at half a source's output, a
  pipe carrying the output one step later): the conditions follow the
  measured level (bounds 2 and 8 inside), the initial level measured low at
  step 0 is LOW, and once the source is unknown the pipe's best prediction
  is the output of the step before, twice the level then, kept inside the
  output's domain [0, 10].

Usage: constructs_test.py SOURCE_DIR MORVELDIR
"""
import json
import os
import sys

from runtime_support import Installation, check, finish, fixture_files, reports, steps


def built(installation, name, fixture, files="none.mes"):
    project = installation.project(name, fixture_files(fixture))
    out, err, _ = installation.session(project, f"load {name}.mdl\ncompile 1\nexecute {files}\n")
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


def basin(installation):
    project = built(installation, "basin", "basin", "none.in none.mes")
    levels = [1, 4, 8, 2, 9, 9]
    with open(os.path.join(project, "run.in"), "w") as run:
        run.write("time source.feed\n0 8\n5 8\n")
    with open(os.path.join(project, "run.mes"), "w") as run:
        run.write("time basin.level basin.pipe\n" +
                  "".join(f"{k} {level} 8\n" for k, level in enumerate(levels)))
    out, _, _ = installation.run(project, "basin", "run.in", "run.mes", "results=run.jsonl", "plots=0")
    by_step = steps(reports(out)[0]) if reports(out) else {}
    conditions = [next((l.split()[-1] for l in by_step.get(k, []) if l.startswith("  condition")), None)
                  for k in range(len(levels))]
    expected = ["band0" if 2 <= level <= 8 else "band1" for level in levels]
    check(conditions == expected, f"basin conditions {conditions}, expected {expected}")
    check("  measure   basin.level = 1, predicted 5 +- 0.2: LOW" in by_step.get(0, []),
          f"basin step 0: {by_step.get(0)}")
    with open(os.path.join(project, "run.jsonl")) as lines:
        pipes = [[round(m["best"], 9) for m in json.loads(line)["measures"] if m["name"] == "basin.pipe"]
                 for line in lines]
    expected = [[min(2 * levels[k - 1], 10)] for k in (3, 4, 5)]
    check(pipes[3:] == expected, f"basin: pipe predictions {pipes[3:]}, expected {expected}")


def main():
    _, installation_dir = sys.argv[1:]
    with Installation(installation_dir) as installation:
        switch(installation)
        offset(installation)
        basin(installation)
    return finish()


if __name__ == "__main__":
    sys.exit(main())
