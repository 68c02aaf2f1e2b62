#!/usr/bin/env python3
"""Diagnosis on generated plants of N components, measured as diagnosers are:
detection and isolation delays, isolation accuracy, false alarms, CPU per
step and peak memory.

    bench/diagnosis_bench.py [--sizes 10 100 1000] [--singles 20] [--doubles 10]
                             [--nominals 5] [--steps 40] [--seed 1] [--build build]
                             [--implicants 100] [--wide 10] [--keep DIR]

A plant repeats three units: a stove (its element may burn out; its
temperature is measured), and a gate feeding a basin (the gate may stick, the
basin may leak; the gate's flow and the basin's level are measured). Each
application is built once; every scenario is then a run of its runtime:
faults forced at random steps and simulated with noise of half the
diagnosis's deviation (sim_noise=0.01), then diagnosed with the default
settings. Nominal runs are simulated the same way without fault.

Per size: detection delay and isolation delay (steps from the fault to the
first step that detects a symptom, and to the fault being most probable),
isolation accuracy (the true faults most probable at the end; among the kept
assignments), the share of detectable single faults isolated within 3 steps
of their detection (detectable: the noise-free run detects a symptom),
false alarms (steps of nominal runs where a fault is most probable), CPU per
step, peak memory. For the sizes up to --wide the same scenarios are also
diagnosed with a wide belief (100 assignments, 300 successors each: every
single and most double changes of modes from each), standing for the exact
filter; for the sizes up to --implicants the application is
also compiled with prime implicants, and the compile time and the results
are compared.
"""
import argparse
import contextlib
import json
import os
import random
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import bench_support  # noqa: E402

STOVE = """Component "Stove"
{
}
vardef
{
  ModeVar element(working, burnt, unknown);
  VARIABLE temp IN [0, 100];
  PARAMETER power = 80;
  PARAMETER ambient = 20;
  MEASURE temp;
}
constraints
{
  heating : (element = "working") power -D-> temp : GAIN = 0.5, RESPTIME = 4, DELAY = 0;
  cooling : ambient -D-> temp : GAIN = 0.5, RESPTIME = 4, DELAY = 0;
  INIT temp = 50;
}
transitions
{
  burning : { Fail (element = "working") Next (element = "burnt") 0.001 ; }
  Idle (element = "working") Next (element = "working") 1.0 ;
}
"""

GATE = """Component "Gate"
{
}
vardef
{
  ModeVar pos(open, stuck, unknown);
  VARIABLE flow IN [0, 10];
  PARAMETER qmax = 4;
  MEASURE flow;
}
constraints
{
  passing : (pos = "open") qmax -S-> flow : GAIN = 1, DELAY = 0;
  INIT flow = 4;
}
transitions
{
  sticking : { Fail (pos = "open") Next (pos = "stuck") 0.001 ; }
  Idle (pos = "open") Next (pos = "open") 1.0 ;
}
"""

BASIN = """uses Gate;
Component "Basin"
{
  others: Gate inlet;
}
vardef
{
  ModeVar state(normal, leaking, unknown);
  VARIABLE level IN [0, 20];
  MEASURE level;
}
constraints
{
  filling : (state = "normal") inlet.flow -D-> level : GAIN = 2.5, RESPTIME = 3, DELAY = 0;
  draining : (state = "leaking") inlet.flow -D-> level : GAIN = 1.5, RESPTIME = 3, DELAY = 0;
  INIT level = 10;
}
transitions
{
  springing : { Fail (state = "normal") Next (state = "leaking") 0.001 ; }
  Idle (state = "normal") Next (state = "normal") 1.0 ;
}
"""

FAULTS = {"Stove": ("element", "burnt"), "Gate": ("pos", "stuck"), "Basin": ("state", "leaking")}


def plant(n):
    """The instances of a plant of n components: (type, variable, arguments)."""
    units = []
    for i in range(n):
        kind = ("Stove", "Gate", "Basin")[i % 3]
        if kind == "Basin":
            units.append((kind, f"basin{i}", f"basin{i}i, 0, 0, gate{i - 1}"))
        else:
            units.append((kind, f"{kind.lower()}{i}", f"{kind.lower()}{i}i, 0, 0"))
    return units


def write_project(root, n, steps, implicants):
    project = os.path.join(root, "appli", "plant")
    units = plant(n)
    types = sorted({kind for kind, _, _ in units}, key=["Stove", "Gate", "Basin"].index)
    files = {"Stove.def": STOVE, "Gate.def": GATE, "Basin.def": BASIN}
    model = f"/* A plant of {n} components. */\nuses {', '.join(types)};\n"
    model += "".join(f"<{kind}> {var};\n" for kind, var, _ in units)
    model += "".join(f"{var}({args});\n" for _, var, args in units)
    files["plant.mdl"] = model
    measured = {"Stove": "temp", "Gate": "flow", "Basin": "level"}
    measures = [f"{var}.{measured[kind]}" for kind, var, _ in units]
    # The runs' length: steps rows of nothing measured.
    files["template.mes"] = "time " + measures[0] + f"\n0 -\n{steps - 1} -\n"
    bench_support.write_project(project, files)
    if implicants:
        with open(os.path.join(root, ".mrvconf"), "w") as options:
            options.write("prime_implicants 1\n")
    return project, units, measures


def build(installation, scratch, n, steps, implicants=False):
    root = os.path.join(scratch, f"n{n}{'-pi' if implicants else ''}")
    shutil.copytree(installation, root, symlinks=True)
    project, units, measures = write_project(root, n, steps, implicants)
    began = time.time()
    env = dict(os.environ, MORVELDIR=root, HOME=scratch)
    session = subprocess.run([os.path.join(root, "bin", "linux", "morvel"), "new"],
                             input="load plant.mdl\ncompile 1\nquit\n", text=True, cwd=project,
                             env=env, capture_output=True)
    compile_seconds = time.time() - began
    run = subprocess.run([os.path.join(root, "bin", "linux", "morvel"), "new"],
                         input="load plant.mdl\ncompile 1\nexecute template.mes\nquit\n", text=True,
                         cwd=project, env=env, capture_output=True)
    if not os.path.exists(os.path.join(project, "bin", "plant_xe")):
        sys.exit(f"plant of {n} did not build:\n{session.stdout[-2000:]}{run.stdout[-2000:]}")
    return project, units, measures, compile_seconds


def runtime(project, *words):
    """Runs the runtime; returns its standard output and its peak memory (KiB)."""
    process = subprocess.Popen([os.path.join(project, "bin", "plant_xe"), *words], cwd=project,
                               stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    out, err = process.communicate()
    if process.returncode != 0:
        sys.exit(f"runtime failed: {words}\n{err}")
    return out


def peak_memory(project, *words):
    """Peak resident memory of one run, in MiB."""
    process = subprocess.Popen([os.path.join(project, "bin", "plant_xe"), *words], cwd=project,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    _, _, usage = os.wait4(process.pid, 0)
    return usage.ru_maxrss / 1024


def results(project, name):
    with open(os.path.join(project, name)) as lines:
        return [json.loads(line) for line in lines]


def holds(assignment, faults):
    names = {(f["variable"], f["value"]) for f in assignment["faults"]}
    return all(fault in names for fault in faults)


def scenario_figures(project, units, steps, rng, singles, doubles, nominals, wide, seed):
    """Runs every scenario; returns the figures of the default belief and, when
    wide, of the wide one."""
    scenarios = []
    for count, kind in ((singles, 1), (doubles, 2), (nominals, 0)):
        for _ in range(count):
            chosen = rng.sample(range(len(units)), kind)
            faults = []
            for index in chosen:
                unit_kind, var, _ = units[index]
                modevar, value = FAULTS[unit_kind]
                faults.append((rng.randint(5, steps - 10), f"{var}.{modevar}", value))
            scenarios.append(sorted(faults))
    figures = {"default": [], "wide": []}
    for number, faults in enumerate(scenarios):
        force = os.path.join(project, "scenario.force")
        with open(force, "w") as out:
            out.write("".join(f"{t} {var} {value}\n" for t, var, value in faults) or "# nominal\n")
        clean, noisy = f"clean{number}.mes", f"noisy{number}.mes"
        runtime(project, "template.mes", f"force={force}", f"simulate={clean}")
        runtime(project, "template.mes", f"force={force}", f"simulate={noisy}", "sim_noise=0.01",
                f"seed={seed + number}")
        runtime(project, clean, "results=clean.jsonl", "plots=0")
        detectable = faults and any(step["detected"] for step in results(project, "clean.jsonl")
                                    if step["step"] >= faults[0][0])
        for belief, words in (("default", []), ("wide", ["candidates=100", "successors=300"])):
            if belief == "wide" and not wide:
                continue
            runtime(project, noisy, "results=noisy.jsonl", "plots=0", *words)
            run = results(project, "noisy.jsonl")
            true = [(var, value) for _, var, value in faults]
            first = faults[0][0] if faults else 0
            detection = next((s["step"] for s in run if s["step"] >= first and s["detected"]), None)
            isolation = next((s["step"] for s in run if s["step"] >= first and faults and
                              holds(s["assignments"][0], true)), None)
            figures[belief].append({
                "kind": len(faults), "detectable": detectable,
                "detection": None if detection is None or not faults else detection - first,
                "isolation": None if isolation is None else isolation - first,
                "within3": detection is not None and isolation is not None and isolation - detection <= 3,
                "accurate": bool(faults) and holds(run[-1]["assignments"][0], true),
                "kept": bool(faults) and any(holds(a, true) for a in run[-1]["assignments"]),
                "alarms": sum(1 for s in run if s["assignments"][0]["faults"]) if not faults else 0,
                "steps": len(run),
                "cpu": statistics.mean(s["cpu"] for s in run),
                "assignments": [[(f["variable"], f["value"]) for f in s["assignments"][0]["faults"]]
                                for s in run],
            })
    return figures


def summary(rows):
    faulty = [r for r in rows if r["kind"] > 0]
    singles = [r for r in rows if r["kind"] == 1 and r["detectable"]]
    nominal = [r for r in rows if r["kind"] == 0]
    mean = lambda values: statistics.mean(values) if values else float("nan")
    return {
        "detection": mean([r["detection"] for r in faulty if r["detection"] is not None]),
        "isolation": mean([r["isolation"] for r in faulty if r["isolation"] is not None]),
        "accurate": mean([r["accurate"] for r in faulty]),
        "kept": mean([r["kept"] for r in faulty]),
        "within3": mean([r["within3"] for r in singles]),
        "alarms": sum(r["alarms"] for r in nominal), "nominal steps": sum(r["steps"] for r in nominal),
        "cpu ms": 1000 * mean([r["cpu"] for r in rows]),
    }


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--sizes", type=int, nargs="+", default=[10, 100, 1000])
    parser.add_argument("--singles", type=int, default=20)
    parser.add_argument("--doubles", type=int, default=10)
    parser.add_argument("--nominals", type=int, default=5)
    parser.add_argument("--steps", type=int, default=40)
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--build", default="build")
    parser.add_argument("--implicants", type=int, default=100)
    parser.add_argument("--wide", type=int, default=10)
    parser.add_argument("--keep", help="build in this directory and leave it (default: a temporary one)")
    arguments = parser.parse_args()
    installation = os.path.abspath(os.path.join(arguments.build, "morveldir"))
    table = []
    with (contextlib.nullcontext(os.path.abspath(arguments.keep)) if arguments.keep else
          tempfile.TemporaryDirectory(prefix="morvel-diagnosis-bench-")) as scratch:
        for n in arguments.sizes:
            rng = random.Random(arguments.seed * 1000 + n)
            project, units, measures, compile_seconds = build(installation, scratch, n,
                                                              arguments.steps)
            figures = scenario_figures(project, units, arguments.steps, rng, arguments.singles,
                                       arguments.doubles, arguments.nominals,
                                       n <= arguments.wide, arguments.seed)
            memory = peak_memory(project, "noisy0.mes", "results=peak.jsonl", "plots=0")
            row = {"N": n, "compile s": compile_seconds, "peak MiB": memory,
                   **summary(figures["default"])}
            if figures["wide"]:
                wide = summary(figures["wide"])
                row.update({f"wide {key}": value for key, value in wide.items()
                            if key in ("isolation", "accurate", "within3", "alarms")})
                row["same MAP as wide"] = statistics.mean(
                    a["assignments"] == b["assignments"] for a, b in zip(figures["default"],
                                                                        figures["wide"]))
            if n <= arguments.implicants:
                pi_project, _, _, pi_seconds = build(installation, scratch, n, arguments.steps,
                                                     implicants=True)
                row["compile s with implicants"] = pi_seconds
                shutil.copy(os.path.join(project, "noisy0.mes"), pi_project)
                runtime(project, "noisy0.mes", "results=a.jsonl", "plots=0")
                runtime(pi_project, "noisy0.mes", "results=a.jsonl", "plots=0")
                plain, implied = results(project, "a.jsonl"), results(pi_project, "a.jsonl")
                row["same results with implicants"] = (
                    [s["assignments"] for s in plain] == [s["assignments"] for s in implied])
                row["cpu ms with implicants"] = 1000 * statistics.mean(s["cpu"] for s in implied)
                row["cpu ms without, same run"] = 1000 * statistics.mean(s["cpu"] for s in plain)
            table.append(row)
            print(json.dumps(row), flush=True)
    keys = list(dict.fromkeys(key for row in table for key in row))
    width = max(len(key) for key in keys)
    print()
    for key in keys:
        cells = []
        for row in table:
            value = row.get(key, "")
            cells.append(f"{value:>10.3g}" if isinstance(value, float) else f"{str(value):>10}")
        print(f"{key:<{width}} " + " ".join(cells))
    if len(table) >= 2:
        first, last = table[0], table[-1]
        ratio = (last["cpu ms"] / last["N"]) / (first["cpu ms"] / first["N"])
        print(f"\nCPU per step per component, N = {last['N']} against N = {first['N']}: x{ratio:.2f}")


if __name__ == "__main__":
    main()
