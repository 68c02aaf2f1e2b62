#!/usr/bin/env python3
"""The runtime's diagnosis against the reference filter (reference_filter.py).

Usage: diagnosis_reference_test.py SOURCE_DIR MORVELDIR

Each application is compiled once, its description read from --model, and
its runtime run twice on each scenario's files. With `candidates` and
`successors` at least the number of joint assignments, every probability of
the result file must be the reference's at every step (within 1e-9 relative
or 1e-12 absolute), assignments told apart by their faults and start steps,
with the step explained as in the reference and nothing more possible. With
the default settings, the most probable assignment of every step must be the
reference's.

- the bundled heater on nominal.mes and faulty.mes;
- a source read by two sensors (fixtures/sensors), all static, a clause under a condition on
  the source's output (which a successor's mode changes at the step itself,
  so that it must be evaluated on that successor's values): a weak source, a biased sensor,
  both readings far off (one free value of an unknown source, judged by both
  measures at once, explains them) and one reading far off (which no single
  value of the source explains);
- the bundled lamp, discrete only: switched on, lit, then dark;
- the bundled tank: the valve commanded open while its flow stays 0;
- a chain feed -> line -> gauge (fixtures/chain: first order, static delayed, first order)
  with single and double faults at random steps of a seeded generator, its
  measures written by the reference's noise-free plant.
"""
import json
import math
import os
import random
import sys

from reference_filter import Model, Run, diagnose, simulate
from runtime_support import Installation, check, example_files, finish, fixture_files

FEED_INPUT = "time source.feed\n0 3\n20 3\n"
CHAIN_INPUT = "time feed.cmd\n0 0\n2 6\n20 4\n40 4\n"
CHAIN_FAULTS = {"feed.mode": "weak", "line.mode": "leaking", "gauge.mode": "drifted"}


def readings(left, right):
    """Both sensors read 6 (the source's 2 x 3) up to t = 7, then these."""
    rows = [f"{t} {6 if t < 8 else left} {6 if t < 8 else right}" for t in range(21)]
    return "\n".join(["time left.reading right.reading"] + rows) + "\n"


def heater_scenarios(source_dir):
    files = example_files(source_dir, "heater", "nominal.in", "nominal.mes", "faulty.mes")
    return [("heater-nominal", {"nominal.in": files["nominal.in"], "nominal.mes": files["nominal.mes"]}),
            ("heater-faulty", {"nominal.in": files["nominal.in"], "faulty.mes": files["faulty.mes"]})]


def sensors_scenarios(model):
    run = Run(model, FEED_INPUT)
    return [("sensors-low", {"feed.in": FEED_INPUT, "low.mes": simulate(model, run, [(8, "source.mode", "low")])}),
            ("sensors-biased", {"feed.in": FEED_INPUT,
                                "biased.mes": simulate(model, run, [(6, "right.state", "biased")])}),
            ("sensors-both-off", {"feed.in": FEED_INPUT, "both.mes": readings(2, 2.1)}),
            ("sensors-one-off", {"feed.in": FEED_INPUT, "one.mes": readings(6, 2)})]


def lamp_scenarios(model):
    rows = ["time wall.push bulb.light", "0 up -", "1 up lit"] + [f"{t} up dark" for t in range(2, 7)]
    return [("lamp-dark", {"lamp.obs": "\n".join(rows) + "\n"})]


def tank_scenarios(model):
    rows = ["time valve.cmd valve.flow tank.level valve.flowing"]
    rows += [f"{t} {'close' if t < 5 else 'open'} 0 1 no" for t in range(13)]
    rows[10] = "9 open 0 - -"
    return [("tank-stuck", {"stuck.mes": "\n".join(rows) + "\n"})]


def chain_scenarios(model):
    generator, run, scenarios = random.Random(20240611), Run(model, CHAIN_INPUT), []
    for count in (1, 1, 2, 2):
        forced = [(generator.randint(4, 30), mode, CHAIN_FAULTS[mode])
                  for mode in generator.sample(sorted(CHAIN_FAULTS), count)]
        label = "chain-" + "-".join(f"{mode.split('.')[0]}{time}" for time, mode, _ in forced)
        scenarios.append((label, {"chain.in": CHAIN_INPUT, f"{label}.mes": simulate(model, run, forced)}))
    return scenarios


def fault_set(faults):
    return frozenset((variable, value, since) for variable, (value, since) in faults.items())


def runtime_fault_set(assignment):
    return frozenset((f["variable"], f["value"], f["since"]) for f in assignment["faults"])


def same(a, b):
    return abs(a - b) <= max(1e-12, 1e-9 * max(abs(a), abs(b)))


def shown(faults):
    return ", ".join(f"{variable} = {value} since {since}" for variable, value, since in sorted(faults)) or "nominal"


def by_faults(pairs):
    groups = {}
    for faults, p in pairs:
        groups.setdefault(faults, []).append(p)
    return {faults: sorted(ps, reverse=True) for faults, ps in groups.items()}


def compare_all(label, expected, lines):
    """Every probability of every step, those missing on one side being 0."""
    for k, (step, line) in enumerate(zip(expected, lines)):
        mine = by_faults((fault_set(c.faults), c.p) for c in step.candidates)
        theirs = by_faults((runtime_fault_set(a), a["p"]) for a in line["assignments"])
        for faults in mine.keys() | theirs.keys():
            a, b = mine.get(faults, []), theirs.get(faults, [])
            a, b = a + [0.0] * (len(b) - len(a)), b + [0.0] * (len(a) - len(b))
            if not all(same(x, y) for x, y in zip(a, b)):
                return check(False, f"{label}, step {k}: {shown(faults)} has p = {b}, the reference {a}")
        if line["explained"] != step.explained or line["more"]:
            return check(False, f"{label}, step {k}: explained {line['explained']}, more {line['more']}; "
                                f"the reference: explained {step.explained}, nothing more")


def compare_best(label, expected, lines):
    """The most probable assignment of every step (either of a tie)."""
    for k, (step, line) in enumerate(zip(expected, lines)):
        best = {fault_set(c.faults) for c in step.candidates if same(c.p, step.candidates[0].p)}
        found = runtime_fault_set(line["assignments"][0]) if line["assignments"] else None
        if found not in best:
            return check(False, f"{label}, step {k}: the most probable is {found and shown(found)}, "
                                f"the reference's {' or '.join(shown(faults) for faults in best)}")


def result_lines(installation, project, name, files, label, *settings):
    path = os.path.join(project, f"{label}.results.jsonl")
    if os.path.exists(path):
        os.remove(path)
    _, err, status = installation.run(project, name, *files, f"results={path}", *settings)
    if not os.path.exists(path):
        check(False, f"{label}: no result file (runtime status {status}) {err.strip()[-200:]}")
        return None
    with open(path) as text:
        return [json.loads(line) for line in text if line.strip()]


def application(installation, name, files, scenarios):
    project = installation.project(name, files)
    out, err, _ = installation.session(project, f"load {name}.mdl\ncompile 1\nexecute none.in none.mes\n")
    if "... done. C-link time" not in out:
        return check(False, f"{name}: the runtime was not built\n{out[-2000:]}{err}")
    model = Model(installation.run(project, name, "--model")[0])
    assignments = math.prod(len(v.values) for v in model.modes)
    for label, texts in scenarios(model):
        for file_name, text in texts.items():
            with open(os.path.join(project, file_name), "w") as out:
                out.write(text)
        expected = diagnose(model, Run(model, *texts.values()))
        exact = result_lines(installation, project, name, list(texts), label + "-all",
                             f"candidates={assignments}", f"successors={assignments}")
        if exact is not None:
            check(len(exact) == len(expected), f"{label}: {len(exact)} result lines for {len(expected)} steps")
            compare_all(label, expected, exact)
        default = result_lines(installation, project, name, list(texts), label + "-default")
        if default is not None:
            compare_best(label + " (default settings)", expected, default)


def main():
    source_dir, installation_dir = sys.argv[1:]
    with Installation(installation_dir) as installation:
        application(installation, "heater", example_files(source_dir, "heater", "Heater.def", "Probe.def",
                                                          "heater.mdl"), lambda model: heater_scenarios(source_dir))
        application(installation, "sensors", fixture_files("sensors"), sensors_scenarios)
        application(installation, "lamp", example_files(source_dir, "lamp", "Switch.def", "Bulb.def",
                                                        "lamp.mdl"), lamp_scenarios)
        application(installation, "tank", example_files(source_dir, "tank", "Valve.def", "Tank.def",
                                                        "tank.mdl"), tank_scenarios)
        application(installation, "chain", fixture_files("chain"), chain_scenarios)
    return finish()


if __name__ == "__main__":
    sys.exit(main())
