#!/usr/bin/env python3
"""The run report of the heater on its faulty measures: every measure line's
alarm agrees with its own figures (LOW below the band, HIGH above it, none
inside), and the burnt element's readings do fall below it.

Usage: report_faults_test.py SOURCE_DIR MORVELDIR
"""
import re
import sys

from runtime_support import Installation, example_files, reports

MEASURE = re.compile(r"  measure   \S+ = (\S+), predicted (\S+) \+- (\S+?)(: LOW|: HIGH)?$")


def main():
    source_dir, morveldir = sys.argv[1:3]
    with Installation(morveldir) as installation:
        project = installation.project("heater", example_files(
            source_dir, "heater", "Heater.def", "Probe.def", "heater.mdl", "nominal.in", "faulty.mes"))
        out, err, _ = installation.session(project, "load heater.mdl\ncompile 1\n"
                                                    "execute nominal.in faulty.mes\n")
    found = [MEASURE.match(line) for report in reports(out) for line in report]
    alarms = [(float(m[1]), float(m[2]), float(m[3]), m[4]) for m in found if m]
    wrong = [a for a in alarms if a[3] != (": LOW" if a[0] < a[1] - a[2] else
                                           ": HIGH" if a[0] > a[1] + a[2] else None)]
    lows = sum(a[3] == ": LOW" for a in alarms)
    if wrong or lows == 0:
        print(f"{len(alarms)} measure lines, {lows} low, disagreeing: {wrong[:5]}\n{out[-2000:]}{err}")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
