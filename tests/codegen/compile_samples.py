#!/usr/bin/env python3
"""Compiles hand-written samples of generated code against the runtime headers.

Usage: compile_samples.py SAMPLES_DIR MORVELDIR

Each installed runtime header must compile on its own. Each directory of
SAMPLES_DIR is an application directory as a compile leaves it (C/ with the
component classes, runtime/ with the runtime source and header and any clause
files); its files are compiled with the commands the build uses: component
classes against the include and behaviour headers only, clause files and the
runtime source against all four header folders.
"""
import concurrent.futures
import glob
import os
import shutil
import subprocess
import sys
import tempfile

PREFIX = ["c++", "-Wno-deprecated"]


def compile_in(directory, arguments):
    result = subprocess.run(PREFIX + arguments, cwd=directory, capture_output=True, text=True)
    if result.returncode != 0:
        print(" ".join(PREFIX + arguments))
        print(result.stderr)
    return result.returncode == 0


def main():
    samples, installation = sys.argv[1:]
    jobs = []  # (directory, arguments)
    folders = {name: os.path.join(installation, name) for name in ("include", "system", "itms", "behav")}
    every_folder = [f"-I{folders[name]}" for name in ("include", "system", "itms", "behav")]
    component_folders = [f"-I{folders['include']}", f"-I{folders['behav']}"]

    with tempfile.TemporaryDirectory(prefix="morvel-samples-") as work:
        for header in sorted(glob.glob(os.path.join(installation, "*", "*.h"))):
            unit = os.path.join(work, os.path.basename(header) + ".cpp")
            with open(unit, "w") as text:
                text.write(f'#include "{os.path.basename(header)}"\n')
            jobs.append((work, every_folder + ["-fsyntax-only", unit]))

        for sample in sorted(os.listdir(samples)):
            application = os.path.join(work, sample)
            shutil.copytree(os.path.join(samples, sample), application)
            for body in sorted(glob.glob(os.path.join(application, "C", "*.cpp"))):
                jobs.append((application, component_folders + ["-c", "C/" + os.path.basename(body)]))
            for source in sorted(glob.glob(os.path.join(application, "runtime", "*.cpp"))):
                relative = "runtime/" + os.path.basename(source)
                jobs.append((application, every_folder + ["-c", relative, "-o", relative[:-4] + ".o"]))
        with concurrent.futures.ThreadPoolExecutor(max_workers=2) as pool:
            results = list(pool.map(lambda job: compile_in(*job), jobs))
    return 0 if all(results) else 1


if __name__ == "__main__":
    sys.exit(main())
