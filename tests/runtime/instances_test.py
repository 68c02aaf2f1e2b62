#!/usr/bin/env python3
"""Several instances of a type in one runtime, declared and instantiated in a
shuffled order, behave each as the instance of a single-instance run.

Usage: instances_test.py SOURCE_DIR MORVELDIR

Two heaters, each watched by a probe: the first gets the example's input and
faulty measures, the second another power and the predictions of a run of
its own as measures, without a measure at t = 0 (so that its initial values
come from its INIT lines). Every report line of each instance, its
condition variable included, must equal that of the single-instance run.
A model of two valves and two tanks, the second tank generated before its
valve, must wire every influence and condition to its own instance; two
switches with their bulbs and two pumps with their pipes, each component to
its own partner.
"""
import sys

from runtime_support import (Installation, check, example_files, finish, fixture_files, reports,
                             runtime_clauses, steps, workbench_clauses)

SECOND_POWER = "time heater.power\n0 0\n5 60\n30 60\n"


def columns(text):
    """A data file as its header and its rows, comments left out."""
    lines = [line.split() for line in text.splitlines() if line.strip() and not line.startswith("#")]
    return lines[0], lines[1:]


def merged(first, second, hold):
    """One file of the columns of two files, at the times of both; the
    second's columns are renamed after the second instances. A time missing
    from one file takes its last row before (hold) or "-"."""
    (head1, rows1), (head2, rows2) = columns(first), columns(second)
    renamed = [name.replace("heater.", "heater2.").replace("probe.", "probe2.") for name in head2[1:]]

    def values_at(rows, time, width):
        earlier = [row[1:] for row in rows if float(row[0]) <= time]
        exact = [row[1:] for row in rows if float(row[0]) == time]
        if exact:
            return exact[0]
        return earlier[-1] if hold and earlier else ["-"] * width

    times = sorted({float(row[0]) for row in rows1 + rows2})
    rows = [[f"{time:g}"] + values_at(rows1, time, len(head1) - 1) + values_at(rows2, time, len(renamed))
            for time in times]
    return "\n".join(" ".join(row) for row in [head1 + renamed] + rows) + "\n"


def instance_lines(report, names):
    """Per step, the sorted report lines that name one of the variables."""
    return {step: sorted(line for line in lines if any(f" {name} " in line for name in names))
            for step, lines in steps(report).items()}


def heaters(installation, source_dir):
    files = example_files(source_dir, "heater", "Heater.def", "Probe.def", "heater.mdl",
                          "nominal.in", "faulty.mes")
    single = installation.project("heater", files)
    out, err, status = installation.session(single, "load heater.mdl\ncompile 1\n"
                                            "execute nominal.in faulty.mes\nquit\n")
    check(status == 0 and len(reports(out)) == 1, f"single heater run\n{out[-2000:]}{err}")
    first_run = installation.run(single, "heater", "nominal.in", "faulty.mes")[0]

    # The second heater's measures: its predictions, none at t = 0.
    with open(f"{single}/second.in", "w") as second_in:
        second_in.write(SECOND_POWER)
    with open(f"{single}/first.mes", "w") as first_mes:
        first_mes.write("time heater.temp\n0 20\n")
    installation.run(single, "heater", "second.in", "first.mes", "second.disp")
    with open(f"{single}/second.disp") as display:
        header, *rows = display.read().splitlines()
    second_mes = "\n".join([header, rows[0].split()[0] + " - -"] + rows[1:]) + "\n"
    with open(f"{single}/second.mes", "w") as out_file:
        out_file.write(second_mes)
    second_run = installation.run(single, "heater", "second.in", "second.mes")[0]

    two = installation.project("two", {
        "Heater.def": files["Heater.def"], "Probe.def": files["Probe.def"],
        **fixture_files("instances", "two.mdl"),
        "two.in": merged(files["nominal.in"], SECOND_POWER, hold=True),
        "two.mes": merged(files["faulty.mes"], second_mes, hold=False)})
    out, err, status = installation.session(two, "load two.mdl\ncompile 1\nexecute two.in two.mes\nquit\n")
    combined = reports(out)
    check(status == 0 and len(combined) == 1, f"two heaters run\n{out[-3000:]}{err}")
    if not combined or not reports(first_run) or not reports(second_run):
        return
    first_names = ["heater.power", "heater.temp", "heater.hot", "probe.reading"]
    second_names = [name.replace("heater", "heater2").replace("probe", "probe2") for name in first_names]
    expected_first = instance_lines(reports(first_run)[0], first_names)
    expected_second = {step: sorted(line.replace("heater.", "heater2.").replace("probe.", "probe2.")
                                    for line in lines)
                       for step, lines in instance_lines(reports(second_run)[0], first_names).items()}
    check(instance_lines(combined[0], first_names) == expected_first,
          "the first heater and its probe report as in their single run")
    check(instance_lines(combined[0], second_names) == expected_second,
          "the second heater and its probe report as in their single run")
    hot_first = [s for s, lines in expected_first.items() if "  condition heater.hot = hot0" in lines]
    hot_second = [s for s, lines in expected_second.items() if "  condition heater2.hot = hot0" in lines]
    check(hot_first and hot_second and hot_first[0] != hot_second[0],
          f"the heaters get hot at different steps: {hot_first[:1]} {hot_second[:1]}")
    check("\n  heater.temp: 15 out of range, first at step 16 (t = 16).\n" in out,
          "the first heater's fault in the summary\n" + out[-500:])


def tanks(installation, source_dir):
    files = example_files(source_dir, "tank", "Valve.def", "Tank.def")
    files.update(fixture_files("instances", "tanks.mdl"))
    project = installation.project("tanks", files)
    out, err, status = installation.session(project, "load tanks.mdl\ncompile 1\nexecute none.mes\n")
    check("... done. C-link time" in out, f"two tanks compile and link\n{out[-2000:]}{err}")
    description, err, status = installation.run(project, "tanks", "--model")
    check(status == 0, f"--model: {status} {err}")
    lines = description.splitlines()
    for tank, valve in (("tank", "valve"), ("tank2", "valve2")):
        check(any(line.startswith("influence ") and f": {valve}.flow -I-> {tank}.level;" in line
                  for line in lines), f"{tank} fills from {valve}\n{description}")
        check(f"variable {tank}.level measure display in [0, 10]; initial 1; read by conditions" in description,
              f"{tank}'s level is initialised and read by its conditions")
        check(any(line.strip().startswith(f"{tank}.high=high0 when condition") and
                  line.endswith(f": {tank}.level > 8") for line in lines),
              f"{tank}'s condition variable tests its own level\n{description}")
    check("none" not in "\n".join(line for line in lines if line.startswith("influence ")),
          "every influence has its cause and effect")


def discrete_types(installation, source_dir):
    files = example_files(source_dir, "lamp", "Switch.def", "Bulb.def")
    files.update(example_files(source_dir, "pipeline", "Pump.def", "Pipe.def"))
    files.update(fixture_files("instances", "plant.mdl"))
    project = installation.project("plant", files)
    out, err, _ = installation.session(project, "load plant.mdl\ncompile 1\nexecute\n")
    description, err, status = installation.run(project, "plant", "--model")
    check(status == 0 and runtime_clauses(description) == workbench_clauses(out),
          f"the clauses of two switches, bulbs, pumps and pipes\n{out[-1500:]}{err}")
    lines = description.splitlines()
    for bulb, instance, wall, pipe, pump in (("bulb", "bulb1", "wall", "pipe", "pump"),
                                             ("bulb2", "bulb2", "wall2", "pipe2", "pump2")):
        header = lines.index(f"component {bulb} (type Bulb, instance {instance})")
        check(lines[header + 1] == f"  commands in: {wall}.cmdout", f"{bulb} is powered by {wall}")
        check(any(line.startswith("clause ") and f"non - {pump}.order=run" in line and
                  f"{pipe}.flow=some" in line for line in lines),
              f"{pipe}'s flow is explained by {pump}\n{description}")


def main():
    source_dir, installation_dir = sys.argv[1:]
    with Installation(installation_dir) as installation:
        heaters(installation, source_dir)
        tanks(installation, source_dir)
        discrete_types(installation, source_dir)
    return finish()


if __name__ == "__main__":
    sys.exit(main())
