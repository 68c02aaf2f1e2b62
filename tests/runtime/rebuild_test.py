#!/usr/bin/env python3
"""Compiling again in a session, and the builds that must not run silently
wrong: a failed archive, a compile that stopped part-way, a time step of 0.

Usage: rebuild_test.py SOURCE_DIR MORVELDIR
"""
import os
import sys

from runtime_support import check, finish, Installation, example_files, reports, runtime_clauses

# Stands in for the compiler: the real one, except for the probe's class
# once the project holds the file fail-probe.
COMPILER = """#!/bin/sh
case "$*" in
*C/Probe.cpp*) [ -e fail-probe ] && exit 1 ;;
esac
exec /usr/bin/c++ "$@"
"""
FAILING = "#!/bin/sh\nexit 1\n"


def stand_ins(project, **programs):
    """A directory of stand-in programs, and the PATH that finds them first."""
    directory = os.path.join(project, "stubs")
    os.makedirs(directory, exist_ok=True)
    for name, text in programs.items():
        path = os.path.join(directory, name)
        with open(path, "w") as out:
            out.write(text)
        os.chmod(path, 0o755)
    return {"PATH": directory + ":" + os.environ["PATH"]}


def compiled_twice(installation, source_dir):
    heater = installation.project("heater", example_files(
        source_dir, "heater", "Heater.def", "Probe.def", "heater.mdl", "nominal.in", "nominal.mes"))
    run = "execute nominal.in nominal.mes\n"
    twice, err, _ = installation.session(heater, "load heater.mdl\ncompile 1\ncompile 2\n" + run)
    once, _, _ = installation.session(heater, "load heater.mdl\ncompile 2\n" + run)
    check(len(reports(twice)) == 1 and reports(twice) == reports(once),
          f"compile 1 then 2 runs as compile 2 alone\n{twice[-1500:]}{err}")
    check(reports(once) and reports(once)[0][0].startswith('Running "heater": time step 2,'),
          "the second compile's time step")
    with open(os.path.join(heater, "runtime", "heater_rt.cpp")) as source:
        check(source.read().count("void startinit") == 1, "the runtime source is written once")

    # The constraints compile once; the runtime of a second compile holds
    # their clauses all the same, each once.
    tank = installation.project("tank", example_files(source_dir, "tank", "Valve.def", "Tank.def",
                                                      "tank.mdl"))
    installation.session(tank, "load tank.mdl\ncompile 1\nexecute none.mes\n")
    fresh = installation.run(tank, "tank", "--model")[0]
    out, _, _ = installation.session(tank, "load tank.mdl\ncompile 1\ncompile 1\nexecute none.mes\n")
    again = installation.run(tank, "tank", "--model")[0]
    clauses = [line for line in again.splitlines()
               if line.startswith("clause ") and not line.startswith("clause when ")]
    check(runtime_clauses(fresh) == runtime_clauses(again) and len(clauses) == len(set(clauses)) == 20,
          f"the clauses after two compiles\n{again}")
    check(out.count("total number of constraints (clauses): ") == 2 and
          "total number of constraints (clauses): 17\n" in out,
          "the second compile prints the clauses it compiled")
    return heater


def failed_builds(installation, heater):
    run = "execute nominal.in nominal.mes\n"
    # The archive of the earlier compile is not linked when archiving fails.
    env = stand_ins(heater, ar=FAILING)
    out, err, _ = installation.session(heater, "load heater.mdl\ncompile 1\n" + run, env=env)
    check("... library failed.\n" in out and 'Application "heater" compiled.' in out,
          "a failed archive, then compiled\n" + out[-1500:])
    check("... failed.\n" in out and not reports(out), "the link fails without an archive\n" + out[-800:])

    # A class that does not compile after a successful compile.
    env = stand_ins(heater, **{"c++": COMPILER})
    out, err, _ = installation.session(
        heater, "load heater.mdl\ncompile 1\nsystem touch fail-probe\ncompile 1\n" + run + "quit\n",
        env=env)
    os.remove(os.path.join(heater, "fail-probe"))
    check("... component Probe compilation failed.\n" in out and
          "The last compile did not complete: compile again before executing.\n" in out and
          not reports(out) and "Leaving Morvel." in out,
          "execute after a compile that stopped part-way\n" + out[-1500:])

    out, err, _ = installation.session(heater, "load heater.mdl\ncompile 0\n" + run + "help\n")
    check("runtime: the time step must be positive; the application was compiled with a time step "
          "of 0.\n" in err and "> help" in out, f"a time step of 0\n{out[-500:]}{err}")


def main():
    source_dir, installation_dir = sys.argv[1:]
    with Installation(installation_dir) as installation:
        heater = compiled_twice(installation, source_dir)
        failed_builds(installation, heater)
    return finish()


if __name__ == "__main__":
    sys.exit(main())
