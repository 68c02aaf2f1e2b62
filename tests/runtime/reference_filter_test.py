#!/usr/bin/env python3
"""The reference filter against numbers worked out by hand.

Usage: reference_filter_test.py SOURCE_DIR MORVELDIR

The bundled heater (its description read from its runtime's --model) on
faulty.mes: the predictions of the worked example, the probe's damped
response, the weights of step 1 (a burnt element, an unknown one whose
measured temperature is free) and step 16 (the burnt element explains the
fall of the temperature). The lamp: the blown bulb against the broken switch
when the bulb goes dark. The closed form of free variables against a sum
over a fine grid; a printed condition read back.
"""
import math
import sys

from reference_filter import Model, Plant, Run, SETTINGS, diagnose, free_likelihood, holds, parse_condition
from runtime_support import check, finish, Installation, example_files

def close(a, b, relative=1e-9):
    return abs(a - b) <= relative * max(abs(a), abs(b))


def described(installation, source_dir, example, files, script):
    project = installation.project(example, example_files(source_dir, example, *files))
    installation.session(project, script)
    description, err, status = installation.run(project, example, "--model")
    check(status == 0, f"{example} --model: {status} {err}")
    return Model(description), project


def p(step, **faults):
    """The probability of the candidate with exactly these faults (the
    probe's ok included)."""
    wanted = {name.replace("_", "."): value for name, value in faults.items()}
    return sum(c.p for c in step.candidates if {n: v for n, (v, _) in c.faults.items()} == wanted)


def heater(installation, source_dir):
    model, project = described(installation, source_dir, "heater",
                               ["Heater.def", "Probe.def", "heater.mdl", "nominal.in", "faulty.mes"],
                               "load heater.mdl\ncompile 1\nexecute nominal.in nominal.mes\nquit\n")
    run = Run(model, *(open(f"{project}/{name}").read() for name in ("nominal.in", "faulty.mes")))
    nominal = Plant(model, SETTINGS).nominal(run)
    a = math.exp(-0.2)
    check(close(nominal[3].predicted["heater.temp"], 20 + 50 * (1 - a)), "x(3) = 20 + 50(1 - e^-0.2)")
    check(close(nominal[16].predicted["heater.temp"], a * 66.286 + (1 - a) * 70), "x(16) from 66.286")
    xi, w = 0.7, 0.8                       # the probe from (20, 0) towards x(3) = 29.064
    wd = w * math.sqrt(1 - xi * xi)
    reading = 29.064 - 9.064 * math.exp(-xi * w) * (math.cos(wd) + xi * w / wd * math.sin(wd))
    check(close(nominal[4].predicted["probe.reading"], reading), "the probe's damped response at step 4")

    steps = diagnose(model, run)
    u, fit = SETTINGS["unknown"], 1 / (2 * math.sqrt(2 * math.pi))   # N(20; 20, sigma = 2)
    nominal_1 = p(steps[1])
    check(close(p(steps[1], heater_element="burnt") / nominal_1, 0.001), "step 1: burnt / working")
    check(close(p(steps[1], heater_element="unknown") / nominal_1, u * 1.001 / (1 - u) * (1 / 100) / fit),
          "step 1: unknown (a free measured temperature, 1/width) / working")
    ratio_15 = p(steps[15], heater_element="burnt") / p(steps[15])
    check(close(ratio_15, 0.001, 1e-3), f"step 15: burnt / working = {ratio_15}, about the prior 0.001")
    gaussian = lambda m, prediction: math.exp(-(m - prediction) ** 2 / 8)
    burnt, working = a * 66.286 + (1 - a) * 20, a * 66.286 + (1 - a) * 70
    expected = ratio_15 * 1.001 * gaussian(57.896, burnt) / gaussian(57.896, working) + 0.001
    check(close(p(steps[16], heater_element="burnt") / p(steps[16]), expected),
          "step 16: burnt since 15 against working, from the Gaussian of the temperature")
    top = steps[16].candidates[0]
    check(top.faults == {"heater.element": ("burnt", 15)}, f"step 16: {top.faults}")
    burnt_16 = sum(c.p for c in steps[16].candidates if c.faults.get("heater.element", ("",))[0] == "burnt")
    check(round(burnt_16, 3) == 0.966, f"step 16: p(burnt) = {burnt_16}, 0.966 in the documentation")


def lamp(installation, source_dir):
    model, project = described(installation, source_dir, "lamp", ["Switch.def", "Bulb.def", "lamp.mdl"],
                               "load lamp.mdl\ncompile 1\nexecute\nquit\n")
    steps = diagnose(model, Run(model, "time wall.push bulb.light\n0 up -\n1 up lit\n2 up dark\n"))
    check(close(p(steps[1]), 1.0, 1e-4), "step 1: switched on, lit")
    blown, broken = p(steps[2], bulb_filament="blown"), p(steps[2], wall_position="broken")
    # (0.01 / 1.01) (1 / 1.001) against (0.001 / 1.001) (1 / 1.01): the bulb
    # may blow because the clauses entail that the switch powers it.
    check(close(blown / broken, 10), f"step 2: blown / broken = {blown / broken}")


def closed_form():
    rows = [(2.0, 0.0, {"x": 1.0}, 0.4), (2.5, 0.5, {"x": 1.0}, 0.4), (9.0, 1.0, {"x": 2.0, "y": 1.0}, 0.4)]
    log_l, best = free_likelihood(rows, {"x": 20.0, "y": 30.0})
    h = 0.02
    grid = [i * h for i in range(int(20 / h))]
    total = 0.0
    for x in grid:
        first = math.exp(-(2.0 - x) ** 2 / 0.32) * math.exp(-(2.0 - x) ** 2 / 0.32)
        if first > 1e-300:
            for y in (j * h for j in range(int(30 / h))):
                total += first * math.exp(-(8.0 - 2 * x - y) ** 2 / 0.32)
    total *= h * h / (20 * 30) / (0.4 * math.sqrt(2 * math.pi)) ** 3
    check(close(math.exp(log_l), total, 1e-6), f"closed form {math.exp(log_l)} against the grid {total}")
    check(close(best["x"], 2.0) and close(best["y"], 4.0), f"most probable free values {best}")


def conditions():
    c = parse_condition("(heater.temp > (heater.ambient + -5)) & (!(heater.element=burnt))")
    truth = lambda temp, mode: holds(c, lambda atom: atom == f"heater.element={mode}",
                                     {"heater.temp": temp, "heater.ambient": 20}.get)
    check([truth(16, "working"), truth(14, "working"), truth(16, "burnt"), truth(None, "burnt"),
           truth(None, "working")] == [True, False, False, False, None], "conditions in three-valued logic")


def main():
    source_dir, installation_dir = sys.argv[1:]
    with Installation(installation_dir) as installation:
        heater(installation, source_dir)
        lamp(installation, source_dir)
    closed_form()
    conditions()
    return finish()


if __name__ == "__main__":
    sys.exit(main())
