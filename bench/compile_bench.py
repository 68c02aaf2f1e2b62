#!/usr/bin/env python3
"""Measures the compile command on generated applications: the time morvel
itself spends (clause compilation and generation, measured with stand-in
c++ and ar that do nothing) beside the time of the whole compile with the
real compiler, and their ratio.

    compile_bench.py [--build DIR] [N ...]      (default sizes: 100 1000)

Run by hand; it is not part of the test suite.
"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))


def timed_compile(project, installation, path_prefix=None):
    env = dict(os.environ, MORVELDIR=installation)
    if path_prefix:
        env["PATH"] = path_prefix + os.pathsep + env["PATH"]
    morvel = os.path.join(installation, "bin", "linux", "morvel")
    start = time.perf_counter()
    subprocess.run([morvel, "new"], input=b"load chain.mdl\nquit\n", cwd=project, env=env,
                   capture_output=True, check=True)
    load = time.perf_counter() - start
    start = time.perf_counter()
    subprocess.run([morvel, "new"], input=b"load chain.mdl\ncompile\nquit\n", cwd=project,
                   env=env, capture_output=True, check=True)
    return time.perf_counter() - start - load


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default=os.path.join(HERE, "..", "build"))
    parser.add_argument("sizes", nargs="*", type=int, default=[100, 1000])
    args = parser.parse_args()
    installation = os.path.abspath(os.path.join(args.build, "morveldir"))
    print(f"{'instances':>10} {'morvel s':>10} {'whole s':>10} {'morvel share':>13} {'us/instance':>12}")
    with tempfile.TemporaryDirectory(prefix="morvel-compile-bench-") as work:
        shims = os.path.join(work, "shims")
        os.makedirs(shims)
        for tool in ("c++", "ar", "rm"):
            path = os.path.join(shims, tool)
            with open(path, "w") as shim:
                shim.write("#!/bin/sh\nexit 0\n")
            os.chmod(path, 0o755)
        for size in args.sizes:
            project = os.path.join(work, f"chain{size}")
            subprocess.run([sys.executable, os.path.join(HERE, "generate_model.py"), str(size), project],
                           check=True, capture_output=True)
            own = timed_compile(project, installation, shims)
            whole = timed_compile(project, installation)
            print(f"{size:>10} {own:>10.2f} {whole:>10.2f} {100 * own / whole:>12.1f}% "
                  f"{1e6 * own / size:>12.0f}")
            shutil.rmtree(project)


if __name__ == "__main__":
    main()
