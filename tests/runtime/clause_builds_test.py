#!/usr/bin/env python3
"""The clause files of a model of more than 1000 clauses, built by execute
with the real compiler: several at a time with the transcript of one after
another, objects kept while up to date, a failure stopping the transcript
where it happened, and the progress line kept to a terminal.

Usage: clause_builds_test.py SOURCE_DIR MORVELDIR
"""
import os
import pty
import re
import subprocess
import sys

from runtime_support import Installation, check, finish, fixture_files, reports

# Ten gauges (fixtures/gauges) of more than 100 clauses each: one clause file each.
COUNT = 10
CLAUSE_FILES = [f"runtime/cl_g{i}0" for i in range(COUNT)]
RUN = "execute run.mes\n"

# The real compiler, except that the first clause file starts late and the
# one named by $FAILING fails after a message of its own.
COMPILER = """#!/bin/sh
case "$*" in
*"-c runtime/cl_g00.cpp"*) sleep 2 ;;
esac
if [ -n "$FAILING" ]; then
  case "$*" in
  *"-c $FAILING.cpp"*) echo "stand-in: $FAILING fails" >&2; exit 1 ;;
  esac
fi
exec /usr/bin/c++ "$@"
"""


def clause_lines(transcript):
    """The clause-file lines of each execute: a command ("cl_g3") or an up-to-date line ("=cl_g3")."""
    runs, current = [], None
    for line in transcript.splitlines():
        if line == "Compiling runtime":
            current = []
            runs.append(current)
        elif current is not None and (match := re.fullmatch(r"c\+\+ .* -c (runtime/cl_\w+)\.cpp "
                                                            r"-o \1\.o", line)):
            current.append(match.group(1))
        elif current is not None and (match := re.fullmatch(r"(runtime/cl_\w+)\.o is up to date\.",
                                                            line)):
            current.append("=" + match.group(1))
    return runs


def up_to_date(files):
    return ["=" + name for name in files]


def builds(installation, project, env):
    out, err, _ = installation.session(project, "load gauges.mdl\ncompile 1\n" + RUN + RUN, env=env)
    check(clause_lines(out) == [CLAUSE_FILES, up_to_date(CLAUSE_FILES)] and len(reports(out)) == 2,
          f"built in order, then up to date, and run twice\n{out[-3000:]}{err}")

    # A new compile writes the same texts: nothing is compiled again.
    out, err, _ = installation.session(project, "load gauges.mdl\ncompile 1\n" + RUN, env=env)
    check(clause_lines(out) == [up_to_date(CLAUSE_FILES)] and len(reports(out)) == 1,
          f"a compile of the unchanged model keeps the objects\n{out[-3000:]}{err}")

    # A clause file changed by hand, then other compiler options.
    os.utime(os.path.join(project, "runtime", "cl_g40.cpp"))
    out, err, _ = installation.session(project, "load gauges.mdl\ncompile 1\n" + RUN, env=env)
    expected = up_to_date(CLAUSE_FILES[:4]) + [CLAUSE_FILES[4]] + up_to_date(CLAUSE_FILES[5:])
    check(clause_lines(out) == [expected] and len(reports(out)) == 1,
          f"the touched file is compiled again\n{out[-3000:]}{err}")
    options = os.path.join(installation.root, ".mrvconf")
    with open(options, "w") as text:
        text.write("code_debug 1\n")
    out, err, _ = installation.session(project, "load gauges.mdl\ncompile 1\n" + RUN, env=env)
    os.remove(options)
    check(clause_lines(out) == [CLAUSE_FILES] and len(reports(out)) == 1 and
          f"c++ -g -Wno-deprecated -I{installation.root}/include" in out,
          f"other options compile every file again\n{out[-3000:]}{err}")


def failure(installation, project, env):
    # The third file fails while the first is still being compiled; the
    # later ones, compiled meanwhile, are not shown.
    for name in os.listdir(os.path.join(project, "runtime")):
        if name.endswith(".o"):
            os.remove(os.path.join(project, "runtime", name))
    result = subprocess.run([os.path.join(installation.root, "bin", "linux", "morvel"), "new"],
                            input="load gauges.mdl\ncompile 1\n" + RUN + "help\n", text=True,
                            cwd=project, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                            env=dict(os.environ, MORVELDIR=installation.root, FAILING=CLAUSE_FILES[2],
                                     **env), timeout=600)
    out = result.stdout
    tail = out[out.index("Compiling runtime\n"):]
    commands = re.findall(r"^c\+\+ .*$", tail, re.M)
    check(len(commands) == 3 and commands[2].endswith(f"-c {CLAUSE_FILES[2]}.cpp -o {CLAUSE_FILES[2]}.o")
          and f"{commands[2]}\nstand-in: {CLAUSE_FILES[2]} fails\n... clause file compilation failed.\n"
          "> help\n" in tail, f"the failure ends the transcript where it happened\n{tail[-2000:]}")
    built = sorted(name for name in os.listdir(os.path.join(project, "runtime")) if name.endswith(".o"))
    check("cl_g20.o" not in built and len(built) > 2,
          f"the files after the failure were compiled meanwhile, the failed one left no object: {built}")


def progress(installation, project, env):
    # Standard error on a terminal shows the progress; standard output does not.
    for name in os.listdir(os.path.join(project, "runtime")):
        if name.endswith(".o"):
            os.remove(os.path.join(project, "runtime", name))
    controller, terminal = pty.openpty()
    process = subprocess.Popen([os.path.join(installation.root, "bin", "linux", "morvel"), "new"],
                               stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=terminal,
                               cwd=project, env=dict(os.environ, MORVELDIR=installation.root, **env))
    os.close(terminal)
    out, _ = process.communicate(("load gauges.mdl\ncompile 1\n" + RUN).encode(), timeout=600)
    seen = b""
    while True:
        try:
            chunk = os.read(controller, 65536)
        except OSError:
            break
        if not chunk:
            break
        seen += chunk
    os.close(controller)
    check(f"clause files: {COUNT} of {COUNT}".encode() in seen and b"clause files:" not in out and
          seen.endswith(b"\r\x1b[K"), f"progress on the terminal only\n{seen[-300:]!r}")


def main():
    source_dir, installation_dir = sys.argv[1:]
    with Installation(installation_dir) as installation:
        project = installation.project("gauges", {**fixture_files("gauges"),
                                                  "run.mes": "time g0.needle\n0 -\n2 -\n"})
        stubs = os.path.join(project, "stubs")
        os.makedirs(stubs)
        with open(os.path.join(stubs, "c++"), "w") as out:
            out.write(COMPILER)
        os.chmod(os.path.join(stubs, "c++"), 0o755)
        env = {"PATH": stubs + ":" + os.environ["PATH"], "MORVEL_JOBS": "4"}
        builds(installation, project, env)
        failure(installation, project, env)
        progress(installation, project, env)
    return finish()


if __name__ == "__main__":
    sys.exit(main())
