#!/usr/bin/env python3
"""Execute on large models: the build of the runtime and its first run.

    bench/execute_bench.py [--build build] [--jobs J] [N ...]

N counts instances (default 300 and 3000): N / 3 copies of a valve feeding a
tank whose level a sensor reads. Every instance holds about ten clauses, so
from 99 instances on the model has more than 1000 clauses and every instance
gets a clause file of its own. For each size, in one morvel session:

    load; compile 1; execute run.mes; execute run.mes

The first execute builds everything (clause files, runtime source, link) and
runs the runtime on four steps of nothing measured; the second finds nothing
changed. A third session compiles the unchanged model again and executes: the
compile rewrites the same texts, which keep their dates, so the objects stay
valid. The table gives the wall seconds of each execute, the wall
milliseconds per instance of the first, the peak memory of the runtime
source compile and of the largest clause-file compile (a stand-in `c++`
first on PATH runs the real one under /usr/bin/time), and the CPU seconds of
the first build. Each size works in a fresh copy of the installation.
"""
import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import bench_support  # noqa: E402

VALVE = """Component "Valve"
{
  cin : CommandVar cmd(close, open);
}
vardef
{
  ModeVar pos(closed, opened, stuck, unknown);
  ObsVar flowing(no, yes);
  VARIABLE flow IN [0, 10];
  PARAMETER qmax = 2;
  MEASURE flow;
}
constraints
{
  (pos = "opened") => (flowing = "yes");
  (pos = "closed") | (pos = "stuck") => (flowing = "no");
}
feed : (pos = "opened") qmax -S-> flow : GAIN = 1, DELAY = 0;
INIT flow = 0;
transitions
{
  opening : { Nominal (pos = "closed") & (cmd = "open") Next (pos = "opened") 0.99 ; }
  closing : { Nominal (pos = "opened") & (cmd = "close") Next (pos = "closed") 0.99 ; }
  Idle (pos = "closed") & (cmd = "close") Next (pos = "closed") 1.0 ;
  sticking : { Fail (pos = "closed") Next (pos = "stuck") 0.01 ; }
}
"""

TANK = """uses Valve;
Component "Tank"
{
  others: Valve inlet;
}
vardef
{
  ModeVar state(normal, leaking, unknown);
  VARIABLE level IN [0, 10];
  PARAMETER area = 2;
  PARAMETER leak = 0.5;
  MEASURE level;
  DISPLAY level;
  CondVar high(level > 8, level <= 8);
}
constraints
{
  CONDITION level > 9 => (state = "normal");
}
fill : inlet.flow -I-> level : GAIN = 0.5, DELAY = 1;
drain : (state = "leaking") leak -I-> level : GAIN = -1, DELAY = 1;
INIT level = 1;
transitions
{
  springing : { Fail (state = "normal") Next (state = "leaking") 0.001 ; }
  Idle (state = "normal") Next (state = "normal") 1.0 ;
}
"""

SENSOR = """uses Tank;
Component "Sensor"
{
  others: Tank tank;
}
vardef
{
  ModeVar state(ok, drifting, unknown);
  ObsVar alarm(off, on);
  VARIABLE reading IN [0, 10];
  MEASURE reading;
}
constraints
{
  (state = "drifting") => (alarm = "on");
  (state = "ok") => (alarm = "off");
}
sensing : tank.level -I-> reading : GAIN = 0.1, DELAY = 1;
INIT reading = 1;
transitions
{
  drifting : { Fail (state = "ok") Next (state = "drifting") 0.001 ; }
  Idle (state = "ok") Next (state = "ok") 1.0 ;
}
"""

# Runs the real compiler, under /usr/bin/time for the runtime source and the
# clause files, appending "peak-KiB file" to the log.
COMPILER = """#!/bin/sh
case "$*" in
*_rt.cpp*|*/cl_*.cpp*)
  for word in "$@"; do case "$word" in *.cpp) source="$word";; esac; done
  exec /usr/bin/time -a -o "$MEMORY_LOG" -f "%M $source" /usr/bin/c++ "$@" ;;
esac
exec /usr/bin/c++ "$@"
"""


def write_project(root, triples):
    project = os.path.join(root, "appli", "plant")
    model = f"/* {triples} valves, tanks and sensors. */\nuses Valve, Tank, Sensor;\n"
    for i in range(triples):
        model += f"<Valve> valve{i};\n<Tank> tank{i};\n<Sensor> sensor{i};\n"
    for i in range(triples):
        model += (f"valve{i}(valve{i}i, 0, 0);\ntank{i}(tank{i}i, 0, 0, valve{i});\n"
                  f"sensor{i}(sensor{i}i, 0, 0, tank{i});\n")
    files = {"Valve.def": VALVE, "Tank.def": TANK, "Sensor.def": SENSOR, "plant.mdl": model,
             "run.mes": "time tank0.level\n0 -\n3 -\n"}
    bench_support.write_project(project, files)
    stubs = os.path.join(root, "stubs")
    os.makedirs(stubs)
    with open(os.path.join(stubs, "c++"), "w") as out:
        out.write(COMPILER)
    os.chmod(os.path.join(stubs, "c++"), 0o755)
    return project, stubs


# The wall clock and the CPU seconds morvel's finished children used so far
# (fields cutime and cstime of its /proc stat; the shell's parent is morvel).
STAMP = 'system echo stamp $(date +%s.%N) $(cut -d")" -f2 /proc/$PPID/stat)\n'
TICKS = os.sysconf("SC_CLK_TCK")


def session(root, project, stubs, memory_log, script, jobs):
    """Runs morvel on the script; returns its output, the stamps it printed
    (wall seconds, CPU seconds of the children so far)."""
    env = dict(os.environ, MORVELDIR=root, HOME=root, MEMORY_LOG=memory_log,
               PATH=stubs + ":" + os.environ["PATH"])
    if jobs:
        env["MORVEL_JOBS"] = str(jobs)
    run = subprocess.run([os.path.join(root, "bin", "linux", "morvel"), "new"], input=script,
                         text=True, cwd=project, env=env, capture_output=True)
    stamps = []
    for line in run.stdout.splitlines():
        if line.startswith("stamp "):
            words = line.split()
            stamps.append((float(words[1]), (int(words[15]) + int(words[16])) / TICKS))
    return run.stdout, stamps


def peaks(memory_log):
    """Peak KiB of the runtime source compile and of the largest clause-file compile."""
    runtime, clause = 0, 0
    with open(memory_log) as log:
        for line in log:
            kib, _, source = line.strip().partition(" ")
            if not kib.isdigit():
                continue
            if source.endswith("_rt.cpp"):
                runtime = max(runtime, int(kib))
            else:
                clause = max(clause, int(kib))
    return runtime, clause


def measure(installation, scratch, instances, jobs):
    root = os.path.join(scratch, f"n{instances}")
    shutil.copytree(installation, root, symlinks=True)
    project, stubs = write_project(root, instances // 3)
    memory_log = os.path.join(root, "memory.log")
    open(memory_log, "w").close()
    script = "load plant.mdl\ncompile 1\n" + STAMP + ("execute run.mes\n" + STAMP) * 2 + "quit\n"
    began = time.time()
    out, stamps = session(root, project, stubs, memory_log, script, jobs)
    if len(stamps) != 3 or out.count("Summary:") != 2:
        sys.exit(f"{instances} instances did not run twice:\n{out[-3000:]}")
    runtime_peak, clause_peak = peaks(memory_log)
    again, again_stamps = session(root, project, stubs, memory_log,
                                     "load plant.mdl\ncompile 1\n" + STAMP + "execute run.mes\n" +
                                     STAMP + "quit\n", jobs)
    if len(again_stamps) != 2 or "Summary:" not in again:
        sys.exit(f"{instances} instances did not run after a new compile:\n{again[-3000:]}")
    return {
        "instances": instances,
        "clause files": len(re.findall(r"^c\+\+ .* -c runtime/cl_\S+\.cpp", out, re.M)),
        "up to date": len(re.findall(r"^runtime/cl_\S+\.o is up to date\.$", out, re.M)),
        "compile s": stamps[0][0] - began,
        "first s": stamps[1][0] - stamps[0][0],
        "first cpu": stamps[1][1] - stamps[0][1],
        "second s": stamps[2][0] - stamps[1][0],
        "second cpu": stamps[2][1] - stamps[1][1],
        "recompiled s": again_stamps[1][0] - again_stamps[0][0],
        "recomp. cpu": again_stamps[1][1] - again_stamps[0][1],
        "ms/instance": 1000 * (stamps[1][0] - stamps[0][0]) / instances,
        "cpu ms/inst.": 1000 * (stamps[1][1] - stamps[0][1]) / instances,
        "rt MB": runtime_peak / 1024,
        "cl MB": clause_peak / 1024,
    }


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("instances", nargs="*", type=int, default=[300, 3000])
    parser.add_argument("--build", default="build")
    parser.add_argument("--jobs", type=int, default=0, help="MORVEL_JOBS (default: unset)")
    args = parser.parse_args()
    installation = os.path.abspath(os.path.join(args.build, "morveldir"))
    columns = ["instances", "clause files", "up to date", "compile s", "first s", "first cpu",
               "second s", "second cpu", "recompiled s", "recomp. cpu", "ms/instance",
               "cpu ms/inst.", "rt MB", "cl MB"]
    print("".join(f"{name:>13}" for name in columns), flush=True)
    rows = []
    with tempfile.TemporaryDirectory(prefix="morvel-execute-bench-") as scratch:
        for instances in args.instances:
            row = measure(installation, scratch, instances, args.jobs)
            rows.append(row)
            print("".join(f"{row[name]:>13}" if isinstance(row[name], int) else f"{row[name]:>13.2f}"
                          for name in columns), flush=True)
            shutil.rmtree(os.path.join(scratch, f"n{instances}"))
    if len(rows) > 1:
        for unit in ("ms/instance", "cpu ms/inst."):
            ratio = rows[-1][unit] / rows[0][unit]
            print(f"first execute, {unit} at {rows[-1]['instances']} over {rows[0]['instances']}: "
                  f"{ratio:.2f}")


if __name__ == "__main__":
    main()
