#!/usr/bin/env python3
"""An instantiation that gives only the instance name loads and compiles: its
constructor call, with both command connections written 0, compiles with the
real compiler against the generated class, through the build script's own
command line for the runtime source.

Usage: unconnected_instance_compiles.py SOURCE_DIR MORVELDIR
"""
import os
import shutil
import subprocess
import sys
import tempfile


def main():
    source, installation = map(os.path.abspath, sys.argv[1:])
    with tempfile.TemporaryDirectory(prefix="morvel-unconnected-") as project:
        env = dict(os.environ, MORVELDIR=installation)
        subprocess.run([os.path.join(installation, "bin", "sarnmkdirs")], cwd=project, check=True)
        shutil.copy(os.path.join(source, "examples", "heater", "Heater.def"), project)
        with open(os.path.join(project, "room.mdl"), "w") as model:
            model.write("uses Heater;\n<Heater> heater;\nheater(h1);\n")
        session = subprocess.run([os.path.join(installation, "bin", "linux", "morvel"), "new"],
                                 input=b"load room.mdl\ncompile\nquit\n", cwd=project, env=env,
                                 capture_output=True, timeout=600)
        output = session.stdout.decode("latin-1")
        if 'Application "room" compiled.' not in output:
            print(output[-3000:], session.stderr.decode("latin-1")[-2000:])
            return 1
        with open(os.path.join(project, "runtime", "room_rt.cpp")) as runtime:
            generated = runtime.read()
        if '\theater = new Heater("h1", 0, 0);\n' not in generated:
            print("constructor call not found in\n" + generated)
            return 1
        with open(os.path.join(project, "room.build")) as script:
            runtime_compile = script.read().splitlines()[1]
        built = subprocess.run(runtime_compile, shell=True, cwd=project, capture_output=True)
        if built.returncode != 0 or not os.path.exists(os.path.join(project, "runtime", "room_rt.o")):
            print(built.stderr.decode("latin-1")[-3000:])
            return 1
        print("instance without command connections compiled")
        return 0


if __name__ == "__main__":
    sys.exit(main())
