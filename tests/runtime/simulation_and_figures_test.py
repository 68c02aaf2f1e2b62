#!/usr/bin/env python3
"""What the diagnosing runtime says of a belief cut short; the simulation of
a faulty plant reproducing the example's measures, with and without noise;
the figures of a run against its result file.

Usage: simulation_and_figures_test.py SOURCE_DIR MORVELDIR
"""
import json
import os
import sys

from runtime_support import Installation, check, example_files, finish

def write(project, name, text):
    with open(os.path.join(project, name), "w") as out:
        out.write(text)


def heater(installation, source_dir):
    project = installation.project("heater", example_files(
        source_dir, "heater", "Heater.def", "Probe.def", "heater.mdl", "nominal.in", "nominal.mes",
        "faulty.mes"))
    installation.session(project, "load heater.mdl\ncompile 1\nexecute nominal.in nominal.mes\n")
    run = lambda *words: installation.run(project, "heater", *words)

    write(project, "heater.settings", "candidates = 1\n")
    out, err, status = run("nominal.in", "faulty.mes")
    check("\n  belief: 1 assignments kept of 9 weighed (more possible), holding 0.984\n" in out,
          "a belief cut short is said\n" + out[-3000:])

    write(project, "burn.force", "# the element burns out\n15 heater.element burnt\n")
    out, err, status = run("nominal.in", "nominal.mes", "force=burn.force", "simulate=burn.mes")
    check(out == "Simulated 31 steps into burn.mes.\n", out + err)
    with open(os.path.join(project, "faulty.mes")) as faulty, open(os.path.join(project, "burn.mes")) as burn:
        expected = [line.split() for line in faulty if line.strip() and not line.startswith("#")]
        made = [line.split() for line in burn]
    check(made[0] == expected[0] and len(made) == len(expected), f"{made[:2]} {expected[:2]}")
    check(all(
        abs(float(a) - float(b)) <= 5.01e-4 for x, y in zip(made[1:], expected[1:]) for a, b in zip(x, y)),
          "the forced burn-out reproduces faulty.mes within its rounding")
    run("nominal.in", "nominal.mes", "force=burn.force", "simulate=noisy.mes", "sim_noise=0.01", "seed=3")
    with open(os.path.join(project, "noisy.mes")) as noisy:
        noisy_rows = [line.split() for line in noisy][1:]
    deviations = [float(a[1]) - float(b[1]) for a, b in zip(noisy_rows, made[1:])]
    check(0.3 < (sum(d * d for d in deviations) / len(deviations)) ** 0.5 < 2,
          f"noise of deviation 1 (0.01 of the domain's width 100): {deviations[:5]}")
    os.remove(os.path.join(project, "heater.settings"))
    return project


def datablocks(script):
    """The rows of each datablock of a gnuplot script, by name."""
    blocks, name = {}, None
    for line in script.splitlines():
        if line.endswith("<< EOD"):
            name = line.split()[0]
            blocks[name] = []
        elif line == "EOD":
            name = None
        elif name:
            blocks[name].append([float(word) for word in line.split()])
    return blocks


# The faulty run's figures: its measures, the most probable assignment's
# prediction and band as the result file has them, the burn-out named.
def figures(installation, project):
    fig = os.path.join(project, "fig")
    out, err, status = installation.run(project, "heater", "nominal.in", "faulty.mes")
    drawn = ["faulty.heater.temp.svg", "faulty.probe.reading.svg", "faulty.probabilities.svg"]
    check("\nFigures in fig/: " + ", ".join(drawn) + ".\n" in out and status == 0, out[-500:] + err)
    for name in drawn:
        with open(os.path.join(fig, name)) as svg:
            text = svg.read()
        check("<svg" in text and "heater.element = burnt" in text, f"{name} is drawn, the burn-out named")
    with open(os.path.join(fig, "faulty.plots.gp")) as script:
        blocks = datablocks(script.read())
    with open(os.path.join(project, "heater.results.jsonl")) as results:
        records = [json.loads(line) for line in results]
    rows = blocks.get("$measure1", [])
    check(len(rows) == len(records) == 31, f"a row per step: {len(rows)}")
    for row, record in zip(rows, records):
        measure = next(m for m in record["measures"] if m["name"] == "probe.reading")
        expected = [record["time"], measure["value"], measure["best"],
                    measure["best"] - measure["tolerance"], measure["best"] + measure["tolerance"]]
        check(all(abs(a - b) < 1e-6 for a, b in zip(row, expected)), f"{row} against {expected}")
    burnt = [next((a["p"] for a in r["assignments"][:3] if a["p"] >= 0.001 and
                   [(f["variable"], f["value"]) for f in a["faults"]] == [("heater.element", "burnt")]), 0)
             for r in records]
    columns = list(zip(*blocks.get("$probabilities", [])))[1:]
    check(burnt[16] > 0.9 and any(all(abs(a - b) < 1e-9 for a, b in zip(column, burnt))
                                  for column in columns), "the burn-out's probability over time")

    for name in os.listdir(fig):
        os.remove(os.path.join(fig, name))
    out, err, status = installation.run(project, "heater", "nominal.in", "faulty.mes", "plots=0")
    check(os.listdir(fig) == [] and "Figures" not in out and err == "", "plots=0 draws nothing")


def main():
    source_dir, installation_dir = sys.argv[1:]
    with Installation(installation_dir) as installation:
        figures(installation, heater(installation, source_dir))
    return finish()


if __name__ == "__main__":
    sys.exit(main())
