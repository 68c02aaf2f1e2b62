#!/usr/bin/env python3
"""Links and runs the bundled heater example for real through `execute`.

Usage: execute_session_test.py SOURCE_DIR MORVELDIR

The example's own session runs in the project directory of a private copy of
the installation: the nominal run must find every measure in range, the
faulty run must flag the heater's temperature from the step after the
element burns out, and nothing else. A runtime refusing a file or an
argument does not end the session.
"""
import math
import os
import shutil
import subprocess
import sys
import tempfile

from runtime_support import reports

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def session(morveldir, project, script, *args):
    result = subprocess.run([os.path.join(morveldir, "bin", "linux", "morvel"), *args],
                            input=script, capture_output=True, text=True, cwd=project,
                            env=dict(os.environ, MORVELDIR=morveldir), timeout=300)
    return result.stdout, result.stderr, result.returncode


def steps_out_of_range(report):
    flagged, step = {}, None
    for line in report:
        if line.startswith("step "):
            step = int(line.split()[1].rstrip(","))
        elif line.startswith("  out of range:"):
            for name in line.split(":")[1].split():
                flagged.setdefault(name, []).append(step)
    return flagged


def main():
    source_dir, installation = sys.argv[1:]
    with tempfile.TemporaryDirectory(prefix="morvel-execute-") as scratch:
        morveldir = os.path.join(scratch, "morveldir")
        shutil.copytree(installation, morveldir, symlinks=True)
        project = os.path.join(morveldir, "appli", "heater")
        with open(os.path.join(source_dir, "examples", "heater-session.txt")) as script:
            out, err, status = session(morveldir, project, script.read(), "new")
        check(status == 0, f"session status {status}\n{err}")

        link = (f"c++ -g -Wno-deprecated -I{morveldir}/include -I{morveldir}/system"
                f" -I{morveldir}/itms -I{morveldir}/behav -I/usr/local/include"
                f" -L{morveldir}/lib/linux -L/usr/local/lib -L. -o bin/heater_xe"
                " runtime/heater_rt.o  -lheater  -lmorvelexec ../../nelder/nelder.o"
                " ../../nelder/optim.o -lqxrunt -lmorvelsysrt -litmsrt -lmorvelbehrt -lmorvel"
                " -lreadline -ltermcap            ... done. C-link time: ")
        check(out.count(link) == 2, "the link line of both runs\n" + out)

        runs = reports(out)
        check(len(runs) == 2, f"two runtime reports expected, {len(runs)} found\n{out}")
        if len(runs) == 2:
            nominal, faulty = runs
            check(nominal[-1] == "Summary: 31 steps, 62 measures compared, none out of range.",
                  f"nominal summary: {nominal[-1]}")
            check(steps_out_of_range(faulty) == {"heater.temp": list(range(16, 31))},
                  f"faulty run flags {steps_out_of_range(faulty)}")
            check(faulty[-1] == "Summary: 31 steps, 62 measures compared, 15 out of range.",
                  f"faulty summary: {faulty[-1]}")
            check("\n  heater.temp: 15 out of range, first at step 16 (t = 16).\n" in out,
                  "the faulty measure, when it first went out of range")

        # The display file of the nominal run: the first-order response of the
        # temperature to the power switched on at t = 2 (gain 0.5, response time
        # 5, ambient 20), and the probe's reading settling on it.
        with open(os.path.join(project, "nominal.disp")) as display:
            rows = [line.split() for line in display]
        check(rows[0] == ["time", "heater.temp", "probe.reading"], f"display header {rows[0]}")
        check(len(rows) == 32, f"{len(rows) - 1} display rows")
        for t in range(3, 31):
            exact = 20 + 50 * (1 - math.exp(-(t - 2) / 5))
            check(abs(float(rows[t + 1][1]) - exact) < 2e-3,
                  f"temperature at t = {t}: {rows[t + 1][1]}, closed form {exact}")
        check(abs(float(rows[31][2]) - float(rows[31][1])) < 2, "the reading follows the temperature")

        # A runtime refusing its files or arguments reports it and the session goes on.
        out, err, status = session(morveldir, project,
                                   "load heater.mdl\ncompile 1\nexecute nominal.in faulty.mess\n"
                                   "execute nominal.in nominal.mes fit=heater.nope\nhelp q\n",
                                   "new")
        check(err.endswith('runtime: measure file "faulty.mess" cannot be opened.\n'
                           'runtime: "heater.nope" is not a parameter of the application.\n'),
              "refused file and parameter: " + err)
        check(status == 0 and out.endswith("> help q\nhelp q\nquit        Quit Morvel.\n"
                                           "q           shortcut to quit.\n> Leaving Morvel.\n"),
              f"the session goes on after a refused file (status {status})\n" + out[-500:])

        out, err, status = session(morveldir, project, "load heater.mdl\ncompile\nexecute\nquit\n",
                                   "-disc", "new")
        check('Running "heater": time step 1, 1 steps.\nstep 0, t = 0\n  diagnosis nominal p = 1\n'
              "Summary: 1 steps.\nDiagnosis: no fault.\n" in out, "discrete-only runtime\n" + out + err)

    for failure in failures:
        print(failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
