#!/usr/bin/env python3
"""Measures the test suite by mutations, run by hand:

  scripts/mutate.py [--build DIR] [--only REGEX] [--timeout SECONDS] [--hints-only] [--list]

Each mutation of scripts/mutations.py changes one place of the source; the
build is brought up to date, the mutation's likeliest killers (its ctest -R
hint) run first and the whole suite only when they pass. A mutation a test
notices is killed; one no test notices survives. The source file is always
restored from the copy taken before, also on Ctrl-C. A mutation the compiler
refuses counts apart: the list should hold none.
"""
import argparse
import os
import re
import signal
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "scripts"))
from mutations import MUTATIONS  # noqa: E402


def locate(source, text):
    """The offset of the mutated text: text, or text@N for its Nth occurrence."""
    occurrence = None
    if re.search(r"@\d+$", text):
        text, occurrence = text.rsplit("@", 1)
        occurrence = int(occurrence)
    offsets = [m.start() for m in re.finditer(re.escape(text), source)]
    if occurrence is None:
        if len(offsets) != 1:
            raise ValueError(f"found {len(offsets)} times, not once")
        return offsets[0], text
    if len(offsets) < occurrence:
        raise ValueError(f"found {len(offsets)} times, no occurrence {occurrence}")
    return offsets[occurrence - 1], text


def quiet(command, timeout=None):
    try:
        return subprocess.run(command, cwd=ROOT, stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL, timeout=timeout).returncode
    except subprocess.TimeoutExpired:
        return -1


def ctest(build, timeout, regex=None):
    """True when the tests (those of regex, or all) pass."""
    command = ["ctest", "--test-dir", build, "-j2", "--stop-on-failure", "--timeout", str(timeout)]
    if regex:
        command += ["-R", regex]
    return quiet(command) == 0


def run_one(mutation, build, timeout, hints_only):
    name, path, text, replacement, hint = mutation
    full_path = os.path.join(ROOT, path)
    with open(full_path) as f:
        original = f.read()
    offset, plain = locate(original, text)
    mutated = original[:offset] + replacement + original[offset + len(plain):]
    try:
        with open(full_path, "w") as f:
            f.write(mutated)
        if quiet(["cmake", "--build", build, "-j2"]) != 0:
            return "compiler"
        for regex in (hint,) if isinstance(hint, str) else hint:
            if not ctest(build, timeout, regex):
                return "killed (hint)"
        if hints_only:
            return "survived (hint)"
        return "survived" if ctest(build, timeout) else "killed"
    finally:
        with open(full_path, "w") as f:
            f.write(original)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--build", default="build", help="the build directory (default build)")
    parser.add_argument("--only", help="a regex of the mutation names to run")
    parser.add_argument("--timeout", type=int, default=300, help="ctest's timeout of each test")
    parser.add_argument("--hints-only", action="store_true",
                        help="run the hinted tests only, not the whole suite after them")
    parser.add_argument("--list", action="store_true", help="print the mutations and stop")
    args = parser.parse_args()

    chosen = [m for m in MUTATIONS if not args.only or re.search(args.only, m[0])]
    if args.list:
        for name, path, *_ in chosen:
            print(f"{name:32} {path}")
        return 0
    # A termination ends the run as Ctrl-C does: the file under mutation is restored.
    signal.signal(signal.SIGTERM, signal.default_int_handler)
    build = os.path.abspath(args.build)
    if quiet(["cmake", "--build", build, "-j2"]) != 0:
        print("The unmutated source does not build", file=sys.stderr)
        return 2

    results = []
    try:
        for mutation in chosen:
            began = time.time()
            try:
                outcome = run_one(mutation, build, args.timeout, args.hints_only)
            except ValueError as error:
                outcome = f"not applied: {error}"
            results.append((mutation, outcome))
            print(f"{mutation[0]:32} {outcome} ({time.time() - began:.0f}s)", flush=True)
    except KeyboardInterrupt:
        print("Interrupted: the source is restored", file=sys.stderr)
    finally:
        quiet(["cmake", "--build", build, "-j2"])

    killed = sum(outcome.startswith("killed") for _, outcome in results)
    refused = [m[0] for m, outcome in results if outcome == "compiler"]
    survivors = [m for m, outcome in results if outcome.startswith("survived")]
    unapplied = [m[0] for m, outcome in results if outcome.startswith("not applied")]
    measured = killed + len(survivors)
    print("\nSurvivors:")
    for name, path, text, replacement, _ in survivors:
        print(f"  {name}: {path}: {text!r} -> {replacement!r}")
    if refused:
        print("Refused by the compiler: " + ", ".join(refused))
    if unapplied:
        print("Not applied: " + ", ".join(unapplied))
    if measured:
        print(f"Score: {killed}/{measured} killed ({100.0 * killed / measured:.1f}%)")
    return 0 if not survivors else 1


if __name__ == "__main__":
    sys.exit(main())
