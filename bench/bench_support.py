"""What the benchmarks share: a project's folders and files, and a timed
morvel run."""
import os
import subprocess
import sys
import tempfile
import time

PROJECT_DIRS = ("tmp", "fig", "bin", "C", "runtime")


def write_project(directory, files):
    """Makes a project directory with its folders and the files {name: text}."""
    for name in PROJECT_DIRS:
        os.makedirs(os.path.join(directory, name), exist_ok=True)
    for name, text in files.items():
        with open(os.path.join(directory, name), "w") as out:
            out.write(text)


def run_morvel(program, directory, script, timeout=None):
    """Runs morvel on the script; returns (wall s, cpu s, peak KiB, output), or
    None when it ran past the timeout."""
    with tempfile.TemporaryFile() as output:
        start = time.perf_counter()
        child = subprocess.Popen([program], cwd=directory, stdin=subprocess.PIPE, stdout=output,
                                 stderr=subprocess.STDOUT)
        child.stdin.write(script.encode())
        child.stdin.close()
        while True:
            pid, status, usage = os.wait4(child.pid, os.WNOHANG if timeout else 0)
            if pid != 0:
                break
            if time.perf_counter() > start + timeout:
                child.kill()
                os.wait4(child.pid, 0)
                return None
            time.sleep(0.01)
        wall = time.perf_counter() - start
        output.seek(0)
        text = output.read().decode(errors="replace")
    code = os.waitstatus_to_exitcode(status)
    if code != 0:
        sys.exit(f"morvel ended with status {code} in {directory}:\n{text[-2000:]}")
    return wall, usage.ru_utime + usage.ru_stime, usage.ru_maxrss, text

