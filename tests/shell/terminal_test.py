#!/usr/bin/env python3
"""Drives morvel on a pseudo-terminal: the "> " prompt; the Up key recalling
earlier commands, of this session, across unload and of an earlier session;
Ctrl-C cancelling the line being typed, and stopping a compile's compiler, a
runtime and a shell command while the session goes on.

Usage: terminal_test.py SOURCE_DIR MORVELDIR
"""
import os
import pty
import select
import shutil
import subprocess
import sys
import tempfile
import time

UP, INTERRUPT = b"\x1b[A", b"\x03"
# The prompt at the start of a line (the compile prints "-->" within lines).
PROMPT = b"\n> "

# Stands in for the compiler: a component compile sleeps once, while the file
# slow-compile exists; the runtime it links prints a line and sleeps.
SLOW_COMPILER = """#!/bin/sh
case "$*" in
*" -c C/"*) if [ -e slow-compile ]; then /bin/rm slow-compile; exec sleep 60; fi ;;
*" -o bin/"*)
  executable=$(printf '%s\\n' "$*" | sed 's/.* -o \\(bin\\/[^ ]*\\).*/\\1/')
  printf '#!/bin/sh\\necho runtime-running\\nexec sleep 60\\n' > "$executable"
  chmod +x "$executable" ;;
esac
exit 0
"""


class Terminal:
    def __init__(self, installation, cwd, env, *args):
        self.pid, self.fd = pty.fork()
        if self.pid == 0:
            os.chdir(cwd)
            os.execve(os.path.join(installation, "bin", "linux", "morvel"), ["morvel", *args], env)
        self.seen = b""

    def read_until(self, marker, timeout=10.0):
        deadline = time.time() + timeout
        while marker not in self.seen:
            remaining = deadline - time.time()
            if remaining <= 0:
                raise TimeoutError(f"no {marker!r} in {self.seen!r}")
            ready, _, _ = select.select([self.fd], [], [], remaining)
            if ready:
                try:
                    chunk = os.read(self.fd, 4096)
                except OSError:
                    chunk = b""
                if not chunk:
                    raise EOFError(f"program ended before {marker!r}: {self.seen!r}")
                self.seen += chunk
        found, _, self.seen = self.seen.partition(marker)
        return found + marker

    def type(self, keys):
        os.write(self.fd, keys)

    def command(self, line):
        """Types a line and returns its output up to the next prompt."""
        self.type(line + b"\r")
        return self.read_until(PROMPT)

    def interrupt_after(self, marker):
        self.read_until(marker)
        time.sleep(0.5)  # the child is running by now
        self.type(INTERRUPT)
        return self.read_until(PROMPT)

    def quit(self):
        self.type(b"quit\r")
        self.read_until(b"Leaving Morvel.")
        _, status = os.waitpid(self.pid, 0)
        assert os.waitstatus_to_exitcode(status) == 0, status


def main():
    source_dir, installation = sys.argv[1:]
    with tempfile.TemporaryDirectory(prefix="morvel-terminal-") as scratch:
        home, project, stubs = (os.path.join(scratch, name) for name in ("home", "project", "stubs"))
        for directory in (home, project, stubs):
            os.mkdir(directory)
        fixtures = os.path.join(source_dir, "tests", "e2e", "execute", "fixtures")
        for name in ("Relay.def", "relay.mdl"):
            shutil.copy(os.path.join(fixtures, name), project)
        subprocess.run([os.path.join(installation, "bin", "sarnmkdirs")], cwd=project, check=True,
                       stdout=subprocess.DEVNULL)
        for name, text in (("c++", SLOW_COMPILER), ("ar", "#!/bin/sh\nexit 0\n"),
                           ("rm", "#!/bin/sh\nexit 0\n")):
            with open(os.path.join(stubs, name), "w") as stub:
                stub.write(text)
            os.chmod(os.path.join(stubs, name), 0o755)
        inputrc = os.path.join(scratch, "inputrc")
        with open(inputrc, "w") as settings:
            settings.write("set enable-bracketed-paste off\n")
        env = dict(os.environ, MORVELDIR=installation, TERM="xterm", INPUTRC=inputrc, HOME=home,
                   PATH=stubs + ":/usr/bin:/bin")

        morvel = Terminal(installation, project, env, "new")
        morvel.read_until(b"linux\r\n> ")
        first = morvel.command(b"system echo recalled-$((20+22))")
        assert b"recalled-42\r\n" in first, first
        # The Up key brings the last line back; Return runs it again.
        morvel.type(UP)
        second = morvel.command(b"")
        assert b"system echo recalled-$((20+22))" in second and b"recalled-42\r\n" in second, second

        # Ctrl-C drops the line being typed: it does not run, and the next one does.
        morvel.type(b"system echo dropped-$((1+1))")
        morvel.type(INTERRUPT)
        cancelled = morvel.read_until(PROMPT)
        assert b"dropped-2\r\n" not in cancelled, cancelled
        after = morvel.command(b"system echo kept-$((2+2))")
        assert b"kept-4\r\n" in after, after

        # Ctrl-C stops the child that runs, a shell command, a compiler or a
        # runtime, and the prompt comes back.
        morvel.type(b"system sleep 60; echo slept\r")
        stopped = morvel.interrupt_after(b"echo slept\r\n")
        assert b"slept" not in stopped, stopped
        open(os.path.join(project, "slow-compile"), "w").close()
        morvel.command(b"load relay.mdl")
        morvel.type(b"compile\r")
        stopped = morvel.interrupt_after(b"-c C/Relay.cpp\r\n")
        assert b"... component Relay compilation failed.\r\n" in stopped, stopped
        compiled = morvel.command(b"compile")
        assert b'Application "relay" compiled.\r\n' in compiled, compiled
        morvel.type(b"execute\r")
        stopped = morvel.interrupt_after(b"runtime-running\r\n")
        assert b"runtime ended by signal 2 (Interrupt)\r\n" in stopped, stopped

        # The history carries over unload, which restarts the program, and
        # over sessions.
        morvel.command(b"system echo before-$((1+2))")
        morvel.type(b"unload\r")
        morvel.read_until(b"linux\r\n> ")
        morvel.type(UP + UP)
        recalled = morvel.command(b"")
        assert b"before-3\r\n" in recalled, recalled
        morvel.quit()
        morvel = Terminal(installation, project, env, "new")
        morvel.read_until(b"linux\r\n> ")
        morvel.type(UP + UP)
        recalled = morvel.command(b"")
        assert b"before-3\r\n" in recalled, recalled
        morvel.quit()
        with open(os.path.join(home, ".morvel_history")) as history:
            lines = history.read().splitlines()
        assert lines[-2:] == ["system echo before-$((1+2))", "quit"], lines

        # A script leaves the history alone.
        script_home = os.path.join(scratch, "script-home")
        os.mkdir(script_home)
        subprocess.run([os.path.join(installation, "bin", "linux", "morvel"), "new"],
                       input=b"system true\nquit\n", capture_output=True, check=True,
                       env=dict(env, HOME=script_home))
        assert os.listdir(script_home) == [], os.listdir(script_home)
    print("prompt, history, and Ctrl-C at the prompt and in a child work on a terminal")
    return 0


if __name__ == "__main__":
    sys.exit(main())
