"""Helpers of the tests that build generated runtimes and run them.

An Installation is a private copy of the installation tree; its projects sit
two levels below it (appli/<name>/), where the link finds the minimiser's
objects. Sessions run the real morvel program in a project directory;
runtimes built there are run directly from bin/.
"""
import os
import shutil
import subprocess
import tempfile

failures = []


def check(condition, message):
    """Records the message of a check that fails; the test goes on."""
    if not condition:
        failures.append(message)


def finish():
    """Prints the failed checks; the exit status of the test."""
    for failure in failures:
        print(failure)
    return 1 if failures else 0


class Installation:
    def __init__(self, installation):
        self.scratch = tempfile.TemporaryDirectory(prefix="morvel-runtime-")
        self.root = os.path.join(self.scratch.name, "morveldir")
        shutil.copytree(installation, self.root, symlinks=True)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.scratch.cleanup()

    def project(self, name, files):
        """A fresh project directory holding the files (name -> text)."""
        directory = os.path.join(self.root, "appli", name)
        shutil.rmtree(directory, ignore_errors=True)
        os.makedirs(directory)
        subprocess.run([os.path.join(self.root, "bin", "sarnmkdirs"), directory], check=True)
        for file_name, text in files.items():
            with open(os.path.join(directory, file_name), "w") as out:
                out.write(text)
        return directory

    def session(self, project, script, *args, env=None):
        """Runs morvel on the script; returns (stdout, stderr, status)."""
        result = subprocess.run([os.path.join(self.root, "bin", "linux", "morvel"), *(args or ["new"])],
                                input=script, capture_output=True, text=True, cwd=project,
                                env=dict(os.environ, MORVELDIR=self.root, **(env or {})),
                                timeout=600)
        return result.stdout, result.stderr, result.returncode

    def run(self, project, application, *args, env=None):
        """Runs the project's runtime executable; returns (stdout, stderr, status)."""
        result = subprocess.run([os.path.join(project, "bin", application + "_xe"), *args],
                                capture_output=True, text=True, cwd=project, timeout=300,
                                env=dict(os.environ, **(env or {})))
        return result.stdout, result.stderr, result.returncode


FIXTURES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "fixtures")


def fixture_files(name, *names):
    """The files of the fixture directory fixtures/<name> (all, or the named ones), as project files."""
    directory = os.path.join(FIXTURES, name)
    files = {}
    for file_name in names or sorted(os.listdir(directory)):
        with open(os.path.join(directory, file_name)) as text:
            files[file_name] = text.read()
    return files


def example_files(source_dir, example, *names):
    """The named files of a bundled example, as project files."""
    files = {}
    for name in names:
        with open(os.path.join(source_dir, "examples", example, name)) as text:
            files[name] = text.read()
    return files


def reports(transcript):
    """The runtime reports of a transcript, each from "Running" to its summary."""
    found, current = [], None
    for line in transcript.splitlines():
        if line.startswith('Running "'):
            current = []
        if current is not None:
            current.append(line)
            if line.startswith("Summary:"):
                found.append(current)
                current = None
    return found


def steps(report):
    """The lines of each step of a report, by step number."""
    by_step, step = {}, None
    for line in report:
        if line.startswith("step "):
            step = int(line.split()[1].rstrip(","))
            by_step[step] = []
        elif step is not None and line.startswith("  "):
            by_step[step].append(line)
    return by_step


def literal_set(text, negation):
    """A clause written as literals separated by \\/, as a set."""
    return frozenset(part.strip().replace(negation, "!") for part in text.split("\\/"))


def workbench_clauses(transcript):
    """The clauses the compile command printed ("cl size:" then the literals)."""
    lines = transcript.splitlines()
    return {literal_set(lines[i + 1], "non - ") for i, line in enumerate(lines)
            if line.startswith("cl size: ") and i + 1 < len(lines)}


def runtime_clauses(description):
    """The clauses of a runtime's --model description, those of condition
    constraints (which the workbench does not print) left out."""
    return {literal_set(line[len("clause "):], "non - ") for line in description.splitlines()
            if line.startswith("clause ") and not line.startswith("clause when ")}
