#!/usr/bin/env python3
"""Runs `compile` in the real program on the hybrid example: the options that
choose the compiler prefix, a failing class compile or archive, and the
example with its instantiations reversed.

Usage: compile_session_test.py SOURCE_DIR MORVELDIR

Each scenario copies the example into a fresh project directory, with a
private copy of the installation, and puts stand-ins for the compiler and the
archiver first on PATH: the compiler leaves an empty object file for each
class it compiles, and either can be made to fail. Clause compilation and
class generation print their own reports between the lines checked here, so
the transcript is checked line by line, in order.
"""
import os
import pwd
import shutil
import subprocess
import sys
import tempfile

SKIPPED = 77

COMPILER = """#!/bin/sh
for argument; do
  case "$argument" in ${FAILING_SOURCE:-no-such-source}) exit 1;; esac
done
while [ $# -gt 0 ]; do
  if [ "$1" = "-c" ]; then touch "$(basename "$2" .cpp).o"; fi
  shift
done
"""

ARCHIVER = """#!/bin/sh
exit ${ARCHIVER_STATUS:-0}
"""

LIBRARIES = (" -lmorvelexec ../../nelder/nelder.o ../../nelder/optim.o -lqxrunt -lmorvelsysrt"
             " -litmsrt -lmorvelbehrt -lmorvel -lreadline -ltermcap")

failures = []
scratch = tempfile.TemporaryDirectory(prefix="morvel-compile-")


def check(condition, message):
    if not condition:
        failures.append(message)


def in_order(transcript, expected, scenario):
    """Every expected line appears in the transcript, in this order."""
    lines = transcript.splitlines()
    position = 0
    for line in expected:
        try:
            position = lines.index(line, position) + 1
        except ValueError:
            failures.append(f"{scenario}: missing or out of order: {line!r}\n--- transcript\n{transcript}")
            return


def run(source, installation, stdin, options="", env=None, model=None):
    """Runs one session on the tank example, its model file replaced by `model` when given;
    returns (transcript, project directory, installation copy)."""
    work = tempfile.mkdtemp(dir=scratch.name)
    project = os.path.join(work, "project")
    shutil.copytree(os.path.join(source, "examples", "tank"), project)
    if model is not None:
        with open(os.path.join(project, "tank.mdl"), "w") as model_file:
            model_file.write(model)
    morveldir = os.path.join(work, "morveldir")
    shutil.copytree(installation, morveldir, symlinks=True)
    subprocess.run([os.path.join(morveldir, "bin", "sarnmkdirs")], cwd=project, check=True)
    if options:
        with open(os.path.join(morveldir, ".mrvconf"), "w") as conf:
            conf.write(options)
    stand_ins = os.path.join(work, "stand-ins")
    os.mkdir(stand_ins)
    for name, text in (("c++", COMPILER), ("ar", ARCHIVER)):
        path = os.path.join(stand_ins, name)
        with open(path, "w") as script:
            script.write(text)
        os.chmod(path, 0o755)
    environment = dict(os.environ, MORVELDIR=morveldir,
                       PATH=stand_ins + os.pathsep + os.environ["PATH"], **(env or {}))
    result = subprocess.run([os.path.join(morveldir, "bin", "linux", "morvel"), "tank.mdl"],
                            input=stdin, capture_output=True, text=True, cwd=project,
                            env=environment, timeout=120)
    return result.stdout, project, morveldir


def read(path):
    with open(path) as text:
        return text.read()


def component_command(prefix, morveldir, type_name):
    return f"{prefix}{morveldir}/include -I{morveldir}/behav -c C/{type_name}.cpp"


def build_script(prefix, m, name):
    compile_runtime = (f"{prefix}{m}/include -I{m}/system -I{m}/itms -I{m}/behav"
                       f" -c runtime/{name}_rt.cpp -o runtime/{name}_rt.o")
    link = (f"{prefix}{m}/include -I{m}/behav -I{m}/system -I{m}/itms -I/usr/local/include"
            f" -L{m}/lib/linux -L/usr/local/lib -L. -o bin/{name}_xe runtime/{name}_rt.o "
            f" -l{name}{LIBRARIES}")
    return f"#!/bin/csh\n{compile_runtime}\n\n{link}\n"


def options_choose_prefix(source, installation):
    for options, prefix in (("code_opti = 1\ncode_debug = 1\n", "c++ -O4 -Wno-deprecated -I"),
                            ("code_debug = 1\n", "c++ -g -Wno-deprecated -I")):
        out, project, m = run(source, installation, "compile\n", options)
        in_order(out, ["Missing time step parameter: 1 assumed.", component_command(prefix, m, "Valve"),
                       component_command(prefix, m, "Tank")], f"options {options!r}")
        check(read(os.path.join(project, "tank.build")) == build_script(prefix, m, "tank"),
              f"options {options!r}: build script")


def failing_component(source, installation):
    out, project, m = run(source, installation, "compile 1\n", env={"FAILING_SOURCE": "C/Tank.cpp"})
    plain = "c++ -Wno-deprecated -I"
    in_order(out, [component_command(plain, m, "Tank"), "... component Tank compilation failed.",
                   "> Leaving Morvel."], "failing component")
    check("ar cr" not in out and "compiled." not in out, "failing component: went on after the failure")
    check(not os.path.exists(os.path.join(project, "tank.build")), "failing component: build script written")


def failing_archive(source, installation):
    out, project, _ = run(source, installation, "compile 1\n", env={"ARCHIVER_STATUS": "1"})
    in_order(out, ["ar cr libtank.a Valve.o Tank.o ", "... library failed.", 'Application "tank" compiled.'],
             "failing archive")
    check("components library completed." not in out, "failing archive: reported as completed")
    check(os.path.exists(os.path.join(project, "Valve.o")), "failing archive: objects removed")
    check(os.path.exists(os.path.join(project, "tank.build")), "failing archive: no build script")


def reversed_instantiation(source, installation):
    """The tank is instantiated before the valve it is given: the valve is still built first."""
    model = "uses Valve, Tank;\n<Valve> valve;\n<Tank> tank;\ntank(tank1, 0, 0, valve);\nvalve(valve1, 0, 0);\n"
    out, project, _ = run(source, installation, "compile\n", model=model)
    check('Application "tank" compiled.' in out, f"reversed instantiation: not compiled\n{out}")
    runtime = read(os.path.join(project, "runtime", "tank_rt.cpp"))
    valve, tank = runtime.find("valve = new Valve("), runtime.find("tank = new Tank(")
    check(0 <= valve < tank, f"reversed instantiation: the tank is built before the valve\n{runtime}")


def main():
    source, installation = sys.argv[1:]
    home = pwd.getpwuid(os.getuid()).pw_dir
    if os.path.exists(os.path.join(home, ".mrvconf")):
        print(f"skipped: {home}/.mrvconf would take precedence")
        return SKIPPED
    for scenario in (options_choose_prefix, failing_component, failing_archive, reversed_instantiation):
        scenario(source, installation)
    scratch.cleanup()
    for failure in failures:
        print(failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
