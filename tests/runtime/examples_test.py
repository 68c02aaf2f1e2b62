#!/usr/bin/env python3
"""The bundled examples' sessions, as the README's main command runs them,
diagnose what their runs show.

Usage: examples_test.py SOURCE_DIR MORVELDIR

- heater: nothing on the nominal run, every measure in range, the display
  file the closed-form first-order response; on the faulty one the
  temperature out of range from the step after the burn-out, the burnt
  element the most probable assignment from step 16, above 0.99 from step
  17 on, nominal before; a runtime refusing a file or a parameter does not
  end the session; the discrete-only runtime;
- two heaters: both burn-outs isolated, each with its own start step;
- tank: a valve stuck closed while commanded open, then a leak;
- lamp: the dark bulb is blamed on its filament before the switch.
"""
import json
import math
import os
import sys

from runtime_support import Installation, check, finish, reports, steps


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


def steps_out_of_range(report):
    flagged = {}
    for step, lines in steps(report).items():
        for line in lines:
            if line.startswith("  out of range:"):
                for name in line.split(":")[1].split():
                    flagged.setdefault(name, []).append(step)
    return flagged


def heater(installation, source_dir):
    project, out = run_session(installation, source_dir, "heater", "heater-session.txt")
    m = installation.root
    link = (f"c++ -g -Wno-deprecated -I{m}/include -I{m}/system -I{m}/itms -I{m}/behav -I/usr/local/include"
            f" -L{m}/lib/linux -L/usr/local/lib -L. -o bin/heater_xe runtime/heater_rt.o  -lheater "
            " -lmorvelexec ../../nelder/nelder.o ../../nelder/optim.o -lqxrunt -lmorvelsysrt -litmsrt"
            " -lmorvelbehrt -lmorvel -lreadline -ltermcap            ... done. C-link time: ")
    check(out.count(link) == 2, "the link line of both runs\n" + out[-3000:])
    runs = reports(out)
    check(len(runs) == 2, f"two heater runs, {len(runs)} found")
    if len(runs) != 2:
        return
    check(runs[0][-1] == "Summary: 31 steps, 62 measures compared, none out of range." and
          runs[1][-1] == "Summary: 31 steps, 62 measures compared, 15 out of range.", "the summaries")
    check(steps_out_of_range(runs[1]) == {"heater.temp": list(range(16, 31))},
          f"the faulty run flags {steps_out_of_range(runs[1])}")
    check("\n  heater.temp: 15 out of range, first at step 16 (t = 16).\n" in out,
          "the faulty measure, when it first went out of range")
    # The power switched on at t = 2: gain 0.5, response time 5, ambient 20.
    with open(os.path.join(project, "nominal.disp")) as display:
        rows = [line.split() for line in display]
    check(rows[0] == ["time", "heater.temp", "probe.reading"] and len(rows) == 32, f"display {rows[:2]}")
    for t in range(3, 31):
        exact = 20 + 50 * (1 - math.exp(-(t - 2) / 5))
        check(abs(float(rows[t + 1][1]) - exact) < 2e-3, f"temperature at t = {t}: {rows[t + 1][1]}, not {exact}")
    check(abs(float(rows[31][2]) - float(rows[31][1])) < 2, "the reading follows the temperature")
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

    out, err, status = installation.session(project, "load heater.mdl\ncompile 1\nexecute nominal.in "
                                            "faulty.mess\nexecute nominal.in nominal.mes fit=heater.nope\n"
                                            "help q\n")
    check(err.endswith('runtime: measure file "faulty.mess" cannot be opened.\n'
                       'runtime: "heater.nope" is not a parameter of the application.\n') and status == 0 and
          out.endswith("> help q\nhelp q\nquit        Quit Morvel.\nq           shortcut to quit.\n"
                       "> Leaving Morvel.\n"), f"the session goes on after a refusal\n{out[-500:]}{err}")
    out, err, _ = installation.session(project, "load heater.mdl\ncompile\nexecute\nquit\n", "-disc", "new")
    check('Running "heater": time step 1, 1 steps.\nstep 0, t = 0\n  diagnosis nominal p = 1\n'
          "Summary: 1 steps.\nDiagnosis: no fault.\n" in out, "discrete-only runtime\n" + out + err)


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
    return finish()


if __name__ == "__main__":
    sys.exit(main())
