#!/usr/bin/env python3
"""Generates a chain application (valves, tanks, basins importing two tanks,
pumps commanding one another), compiles it with the real compiler through
the compile command, then compiles its runtime source with the build
script's own command line: the generated code of many constructs must compile
against the installed runtime headers.

Usage: compile_generated_model.py SOURCE_DIR MORVELDIR
"""
import os
import subprocess
import sys
import tempfile


def main():
    source, installation = sys.argv[1:]
    with tempfile.TemporaryDirectory(prefix="morvel-chain-") as work:
        project = os.path.join(work, "chain")
        env = dict(os.environ, MORVELDIR=installation)
        subprocess.run([sys.executable, os.path.join(source, "bench", "generate_model.py"), "40",
                        project], check=True, capture_output=True, env=env)
        session = subprocess.run([os.path.join(installation, "bin", "linux", "morvel"), "new"],
                                 input=b"load chain.mdl\ncompile\nquit\n", cwd=project, env=env,
                                 capture_output=True, timeout=600)
        output = session.stdout.decode("latin-1")
        if 'Application "chain" compiled.' not in output:
            print(output[-3000:], session.stderr.decode("latin-1")[-2000:])
            return 1
        with open(os.path.join(project, "chain.build")) as script:
            runtime_compile = script.read().splitlines()[1]
        built = subprocess.run(runtime_compile, shell=True, cwd=project, capture_output=True)
        if built.returncode != 0 or not os.path.exists(os.path.join(project, "runtime", "chain_rt.o")):
            print(built.stderr.decode("latin-1")[-3000:])
            return 1
        print("generated chain application compiled")
        return 0


if __name__ == "__main__":
    sys.exit(main())
