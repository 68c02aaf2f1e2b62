#!/usr/bin/env python3
"""Drives morvel on a pseudo-terminal: the "> " prompt, and the Up key
recalling the previous command from the history."""
import os
import pty
import select
import sys
import time


def read_until(fd, marker, seen, timeout=10.0):
    deadline = time.time() + timeout
    while marker not in seen[0]:
        remaining = deadline - time.time()
        if remaining <= 0:
            raise TimeoutError(f"no {marker!r} in {seen[0]!r}")
        ready, _, _ = select.select([fd], [], [], remaining)
        if ready:
            try:
                chunk = os.read(fd, 4096)
            except OSError:
                chunk = b""
            if not chunk:
                raise EOFError(f"program ended before {marker!r}: {seen[0]!r}")
            seen[0] += chunk
    found = seen[0]
    seen[0] = b""
    return found


def main():
    installation = sys.argv[1]
    env = dict(os.environ, MORVELDIR=installation, TERM="xterm", INPUTRC="/dev/null")
    pid, fd = pty.fork()
    if pid == 0:
        os.execve(os.path.join(installation, "bin", "linux", "morvel"),
                  ["morvel", "new"], env)
    seen = [b""]
    start = read_until(fd, b"> ", seen)
    assert start.startswith(b"linux\r\n"), start
    os.write(fd, b"system echo recalled-$((20+22))\r")
    first = read_until(fd, b"> ", seen)
    assert b"recalled-42\r\n" in first, first
    # The Up key brings the last line back; Return runs it again.
    os.write(fd, b"\x1b[A")
    os.write(fd, b"\r")
    second = read_until(fd, b"> ", seen)
    assert b"system echo recalled-$((20+22))" in second, second
    assert b"recalled-42\r\n" in second, second
    os.write(fd, b"quit\r")
    end = read_until(fd, b"Leaving Morvel.", seen)
    assert b"quit" in end, end
    _, status = os.waitpid(pid, 0)
    assert os.waitstatus_to_exitcode(status) == 0, status
    print("prompt and history recall work on a terminal")
    return 0


if __name__ == "__main__":
    sys.exit(main())
