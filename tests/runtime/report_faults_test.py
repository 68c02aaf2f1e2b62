#!/usr/bin/env python3
"""The run report of the heater on its faulty measures, and on the same
measures started cold (both readings 10 at t = 0, against initial values of
20): every measure line's alarm agrees with its own figures (LOW below the
band, HIGH above it, none inside), step 0 included; the burnt element's
readings and the cold start do fall below it; the fault-free assignment is
listed only when it is the most probable.

Usage: report_faults_test.py SOURCE_DIR MORVELDIR
"""
import re
import sys

from runtime_support import Installation, check, example_files, finish, reports, steps

MEASURE = re.compile(r"  measure   \S+ = (\S+), predicted (\S+) \+- (\S+?)(: LOW|: HIGH)?$")


def check_report(label, report):
    by_step = steps(report)
    for step, lines in by_step.items():
        diagnoses = [line for line in lines if line.startswith("  diagnosis ")]
        check(all(not line.startswith("  diagnosis nominal") for line in diagnoses[1:]),
              f"{label}, step {step}: the nominal assignment listed below the most probable\n{diagnoses}")
    found = [(step, MEASURE.match(line)) for step, lines in by_step.items() for line in lines]
    alarms = [(step, float(m[1]), float(m[2]), float(m[3]), m[4]) for step, m in found if m]
    wrong = [a for a in alarms if a[4] != (": LOW" if a[1] < a[2] - a[3] else
                                           ": HIGH" if a[1] > a[2] + a[3] else None)]
    check(not wrong, f"{label}: alarms disagreeing with their figures: {wrong[:5]}")
    return [a for a in alarms if a[4] == ": LOW"]


def main():
    source_dir, morveldir = sys.argv[1:3]
    with Installation(morveldir) as installation:
        project = installation.project("heater", example_files(
            source_dir, "heater", "Heater.def", "Probe.def", "heater.mdl", "nominal.in", "faulty.mes"))
        out, err, _ = installation.session(project, "load heater.mdl\ncompile 1\n"
                                                    "execute nominal.in faulty.mes\n")
        faulty = reports(out)
        check(len(faulty) == 1, f"no report of the faulty run\n{out[-2000:]}{err}")
        lows = check_report("faulty", faulty[0] if faulty else [])
        check(any(step >= 15 for step, *_ in lows), f"the burnt element's readings are not LOW: {lows}")

        rows = open(f"{project}/faulty.mes").read().splitlines()
        first = next(i for i, row in enumerate(rows) if row[:1].isdigit())
        rows[first] = "0 10 10"
        with open(f"{project}/cold.mes", "w") as cold:
            cold.write("\n".join(rows) + "\n")
        out, err, _ = installation.run(project, "heater", "nominal.in", "cold.mes", "plots=0")
        cold_report = reports(out)
        lows = check_report("cold", cold_report[0] if cold_report else [])
        check(sum(step == 0 for step, *_ in lows) == 2, f"cold start: step 0 not LOW twice: {lows}\n{err}")
    return finish()


if __name__ == "__main__":
    sys.exit(main())
