#!/usr/bin/env python3
"""The bundled examples' sessions, as the README's main command runs them,
diagnose what their runs show.

Usage: examples_test.py SOURCE_DIR MORVELDIR

- heater: nothing on the nominal run; on the faulty one the burnt element is
  the most probable assignment from step 16 and holds more than 0.99 from
  step 17 on, nominal before;
- two heaters: both burn-outs isolated, each with its own start step;
- tank: a valve stuck closed while commanded open, then a leak;
- lamp: the dark bulb is blamed on its filament before the switch.
"""
import json
import os
import sys

from runtime_support import Installation, reports, steps

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def run_session(installation, source_dir, example, session):
    project = os.path.join(installation.root, "appli", example)
    with open(os.path.join(source_dir, "examples", session)) as script:
        out, err, status = installation.session(project, script.read())
    check(status == 0, f"{session}: status {status}\n{err}")
    return project, out


def results(project, application):
    with open(os.path.join(project, application + ".results.jsonl")) as lines:
        return [json.loads(line) for line in lines]


def top_faults(step):
    return [(fault["variable"], fault["value"], fault["since"]) for fault in step["assignments"][0]["faults"]]


def marginal(step, variable, value):
    return sum(a["p"] for a in step["assignments"]
               if any(f["variable"] == variable and f["value"] == value for f in a["faults"]))


def first_diagnosis(report):
    """Per step, the first diagnosis line."""
    return {step: next((line for line in lines if line.startswith("  diagnosis ")), None)
            for step, lines in steps(report).items()}


def heater(installation, source_dir):
    project, out = run_session(installation, source_dir, "heater", "heater-session.txt")
    runs = reports(out)
    check(len(runs) == 2, f"two heater runs, {len(runs)} found")
    if len(runs) != 2:
        return
    check(all(line is not None and line.startswith("  diagnosis nominal ")
              for line in first_diagnosis(runs[0]).values()),
          "nominal is the most probable at every step of the nominal run")
    check("Diagnosis: no fault.\n" in out, "no fault after the nominal run")
    faulty = results(project, "heater")
    for step in faulty:
        expected = [("heater.element", "burnt", 15)] if step["step"] >= 16 else []
        check(top_faults(step) == expected, f"step {step['step']}: most probable {top_faults(step)}")
        if step["step"] >= 17:
            check(marginal(step, "heater.element", "burnt") > 0.99,
                  f"step {step['step']}: burnt at {marginal(step, 'heater.element', 'burnt')}")
    diagnosis = "Diagnosis: heater.element = burnt since step 15: detected at step 16, isolated at step 16"
    check(diagnosis in out, "the faulty run's diagnosis\n" + out[-600:])
    # With the successor limit binding, the burn-out is proposed when it
    # shows, as reached the step before.
    limited, _, _ = installation.run(project, "heater", "nominal.in", "faulty.mes", "successors=2",
                                     "plots=0")
    check(diagnosis in limited, "the faulty run's diagnosis, successors=2\n" + limited[-600:])


def pair(installation, source_dir):
    project, out = run_session(installation, source_dir, "heater", "pair-session.txt")
    check("Diagnosis: heater.element = burnt since step 12: detected at step 13, isolated at step 13,"
          in out and "Diagnosis: heater2.element = burnt since step 22: detected at step 23, isolated "
          "at step 24," in out, "both burn-outs isolated\n" + out[-600:])
    last = results(project, "pair")[-1]
    check(top_faults(last) == [("heater.element", "burnt", 12), ("heater2.element", "burnt", 22)],
          f"the end: {top_faults(last)}")


def tank(installation, source_dir):
    _, out = run_session(installation, source_dir, "tank", "tank-session.txt")
    runs = reports(out)
    check(len(runs) == 2, f"two tank runs, {len(runs)} found")
    if len(runs) != 2:
        return
    stuck, leak = (first_diagnosis(run) for run in runs)
    check(all(stuck[s].startswith("  diagnosis valve.pos = stuck") for s in range(6, 13)),
          f"the stuck valve isolated once commanded open: {stuck}")
    check(all(leak[s].startswith("  diagnosis nominal") for s in range(0, 12)) and
          all(leak[s].startswith("  diagnosis tank.state = leaking") for s in range(15, 17)),
          f"the leak isolated from its symptoms: {leak}")
    check("Diagnosis: valve.pos = stuck since step 1: detected at step 6, isolated at step 6" in out
          and "Diagnosis: tank.state = leaking since step 11: detected at step 12, isolated at step 15"
          in out, "the tank's diagnoses\n" + out[-800:])


def lamp(installation, source_dir):
    _, out = run_session(installation, source_dir, "lamp", "lamp-session.txt")
    runs = reports(out)
    check(len(runs) == 1, "one lamp run")
    if runs:
        lines = [line for line in steps(runs[0])[2] if line.startswith("  diagnosis ")]
        check(lines[:2] == ["  diagnosis bulb.filament = blown (since step 2) p = 0.905",
                            "  diagnosis wall.position = broken (since step 2) p = 0.0905"],
              f"the filament before the switch: {lines}")


def main():
    source_dir, installation_dir = sys.argv[1:]
    with Installation(installation_dir) as installation:
        heater(installation, source_dir)
        pair(installation, source_dir)
        tank(installation, source_dir)
        lamp(installation, source_dir)
    for failure in failures:
        print(failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
