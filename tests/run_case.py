#!/usr/bin/env python3
"""Runs one end-to-end case of the real morvel program and compares its output.

A case file starts with header lines, then blocks:

    args: -hyb new              command-line arguments (shell words)
    env: NAME=VALUE             extra environment variable (repeatable)
    unset: NAME                 variable removed from the environment
    setup: COMMAND              shell command run first in the case's directory
    status: N                   expected exit status (default 0)
    mask: REGEX                 output matching REGEX is compared as "#" (timings)
    streams: merged             standard error written into standard output, in order
    --- stdin                   text fed to standard input
    --- stdout                  expected standard output
    --- stderr                  expected standard error (default: empty)

A block's last line "\\ no newline" removes the final line end of the block.
"@MORVELDIR@" stands for the case's private copy of the installation,
"@CASEDIR@" for the directory the program runs in and "@SOURCEDIR@" for the
project's source tree (setup commands also see it as $SOURCEDIR). The
environment variable MORVELDIR names the private copy, so setup commands can
change it freely.
A case marked "needs: no-home-options" is skipped (status 77) when the real
user's home holds an option file, which would take precedence.
"""
import os
import pwd
import re
import shlex
import shutil
import subprocess
import sys
import tempfile

SKIPPED = 77


def parse_case(path):
    header = {"args": "", "env": [], "unset": [], "setup": [], "status": "0", "needs": [],
              "mask": [], "streams": "apart"}
    blocks = {}
    current = None
    with open(path, encoding="latin-1") as case:
        for line in case.read().splitlines(keepends=True):
            if line.startswith("--- "):
                current = line[4:].strip()
                blocks[current] = ""
            elif current is not None:
                blocks[current] += line
            elif line.strip() and not line.startswith("#"):
                key, _, value = line.partition(":")
                value = value.strip()
                if isinstance(header.get(key), list):
                    header[key].append(value)
                else:
                    header[key] = value
    for name, text in blocks.items():
        if text.endswith("\\ no newline\n"):
            blocks[name] = text[: -len("\\ no newline\n")].removesuffix("\n")
    return header, blocks


def main():
    case_path, installation, *program = sys.argv[1:]
    header, blocks = parse_case(case_path)
    home = pwd.getpwuid(os.getuid()).pw_dir
    if "no-home-options" in header["needs"] and os.path.exists(os.path.join(home, ".mrvconf")):
        print(f"skipped: {home}/.mrvconf would take precedence")
        return SKIPPED

    with tempfile.TemporaryDirectory(prefix="morvel-case-") as case_dir:
        morveldir = os.path.join(case_dir, "morveldir")
        shutil.copytree(installation, morveldir, symlinks=True)

        source_dir = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

        def expand(text):
            return (text.replace("@MORVELDIR@", morveldir).replace("@CASEDIR@", case_dir)
                    .replace("@SOURCEDIR@", source_dir))

        env = dict(os.environ, MORVELDIR=morveldir, SOURCEDIR=source_dir)
        for setting in header["env"]:
            name, _, value = setting.partition("=")
            env[name] = expand(value)
        for setup in header["setup"]:
            subprocess.run(setup, shell=True, check=True, cwd=case_dir, env=env)
        for name in header["unset"]:
            env.pop(name, None)

        command = program or [os.path.join(morveldir, "bin", "linux", "morvel")]
        merged = header["streams"] == "merged"
        result = subprocess.run(
            command + shlex.split(header["args"]),
            input=expand(blocks.get("stdin", "")).encode("latin-1"), stdout=subprocess.PIPE,
            stderr=subprocess.STDOUT if merged else subprocess.PIPE, cwd=case_dir, env=env,
            timeout=120)

        failures = []
        for stream, actual in (("stdout", result.stdout), ("stderr", result.stderr)):
            expected = expand(blocks.get(stream, ""))
            actual = (actual or b"").decode("latin-1")
            for mask in header["mask"]:
                actual = re.sub(mask, "#", actual)
            if actual != expected:
                failures.append(f"{stream} differs.\n--- expected\n{expected!r}\n--- actual\n{actual!r}")
        if result.returncode != int(header["status"]):
            failures.append(f"status {result.returncode}, expected {header['status']}")
        for failure in failures:
            print(failure)
        return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
