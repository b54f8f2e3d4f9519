#!/usr/bin/env python3
"""plotmerge.exe at a console, run under Wine on a pseudo-terminal.

Started straight from a terminal, Wine gives a program a console of its own
(no other process shares it), as Explorer gives plotmerge.exe a window; the
console reads what is typed at the terminal as characters, decoded in the Unix
locale's charset, and hands them to ReadFile in its input code page (437 for
US English). So a session on a pseudo-terminal is a person at such a window:
this script types the answers and reads the screen.

  console_session.py PLOTMERGE_EXE EMULATOR...

Wine switches the terminal to raw mode when the console is first read, and
drops what was typed before; answers are typed once it has. Exit status 0 when
every case passes, 1 otherwise, 77 (skipped) without a pseudo-terminal. Wine's
console drops Ctrl+Z from a typed line, so the end of input typed at a console
is not shown here.
"""

import fcntl
import os
import pty
import re
import select
import shutil
import signal
import struct
import sys
import tempfile
import termios
import time

NOTE = "Press Enter to close this window."
TIMEOUT = 120  # seconds for any one step: Wine starts slowly on a busy machine
JOSE = "Jos\u00e9.plt"
ATHENS = "\u0391\u03b8\u03ae\u03bd\u03b1"  # outside the ANSI code page 1252

PROMPTS_ONE = [
    " Type in the # of .PLT files for process, max # is 4.",
    " Type in one input file(s) name(s):",
    " Provide scaling factors for above .PLT files,",
    " 1.0 for no scaling.",
    " Average or Sum? A/S",
    " Create a 30-yr RISK.PLT from the PLT?  Y/N",
]


def data_line(value):
    """A data line as plotmerge writes it: x 100, y 200, the value, fixed other fields."""
    return " %13s %13s %13s %8s %8s %8s  %s  %s  %8s  %s\n" % (
        "100.00000", "200.00000", value, "1.50", "2.25", "-3.75", "SRC-A ", "GROUP-1 ", "00000042", "TAIL    ")


def plot_text(header, *values):
    return "%-120s\n" % ("* " + header) + "".join(data_line(v) for v in values)


class Failure(Exception):
    pass


class Session:
    """One run of a program on a pseudo-terminal of 200 columns."""

    def __init__(self, argv, folder, redirect=None):
        self.screen = b""
        self.status = None
        self.pid, self.terminal = pty.fork()
        if self.pid == 0:
            try:
                fcntl.ioctl(0, termios.TIOCSWINSZ, struct.pack("HHHH", 50, 200, 0, 0))
                os.chdir(folder)
                for stream, name in (redirect or {}).items():
                    flags = os.O_RDONLY if stream == 0 else os.O_WRONLY | os.O_CREAT | os.O_TRUNC
                    descriptor = os.open(name, flags, 0o644)
                    os.dup2(descriptor, stream)
                    os.close(descriptor)
                os.execvp(argv[0], argv)
            finally:
                os._exit(127)

    def _read(self, seconds):
        ready, _, _ = select.select([self.terminal], [], [], seconds)
        if not ready:
            return
        try:
            data = os.read(self.terminal, 65536)
        except OSError:  # the program has ended and the terminal is closed
            data = b""
        if data:
            self.screen += data
        else:
            self._reap(0)

    def _reap(self, flags):
        if self.status is None:
            pid, status = os.waitpid(self.pid, flags)
            if pid != 0:
                self.status = os.waitstatus_to_exitcode(status)

    def _until(self, done, what):
        end = time.monotonic() + TIMEOUT
        while not done():
            if time.monotonic() > end:
                raise Failure("%s: nothing after %d seconds; the screen:\n%s" % (what, TIMEOUT, self.text()))
            self._read(0.05)

    def type_answers(self, *answers):
        self._until(lambda: not termios.tcgetattr(self.terminal)[3] & termios.ICANON or self.status is not None,
                    "waiting for the console to read the terminal")
        self.type("".join(answer + "\r" for answer in answers))

    def type(self, text):
        os.write(self.terminal, text.encode("utf-8"))

    def wait_for_text(self, text):
        self._until(lambda: text in self.text() or self.status is not None, "waiting for '%s'" % text)
        if text not in self.text():
            raise Failure("the run ended without showing '%s'; the screen:\n%s" % (text, self.text()))

    def still_running_after(self, seconds):
        end = time.monotonic() + seconds
        while time.monotonic() < end and self.status is None:
            self._read(0.05)
        self._reap(os.WNOHANG)
        return self.status is None

    def wait_for_end(self):
        self._until(lambda: self.status is not None, "waiting for the run to end")
        while True:  # what the run wrote last
            ready, _, _ = select.select([self.terminal], [], [], 0)
            if not ready:
                break
            try:
                data = os.read(self.terminal, 65536)
            except OSError:
                break
            if not data:
                break
            self.screen += data
        return self.status

    def text(self):
        """The screen as text: the console's cursor moves and colours taken out, a move right as blanks."""
        text = self.screen.decode("utf-8", "replace")
        text = re.sub(r"\x1b\[(\d*)C", lambda m: " " * int(m.group(1) or 1), text)
        text = re.sub(r"\x1b\[[0-9;?]*[A-Za-z]|\x1b\][^\x07]*\x07", "", text)
        return text.replace("\r", "")

    def end(self):
        if self.status is None:
            os.kill(self.pid, signal.SIGKILL)
            self._reap(0)
        os.close(self.terminal)


class Cases:
    def __init__(self, plotmerge, emulator):
        self.plotmerge = plotmerge
        self.emulator = emulator
        self.failures = 0

    def own_console(self, folder, redirect=None):
        return Session(self.emulator + [self.plotmerge], folder, redirect)

    def from_cmd(self, folder):
        windows_path = "Z:" + os.path.abspath(self.plotmerge).replace("/", "\\")
        return Session(self.emulator + ["cmd", "/c", windows_path], folder)


def write(folder, name, text):
    with open(os.path.join(folder, name), "w", encoding="utf-8", newline="") as out:
        out.write(text)


def read(folder, name):
    with open(os.path.join(folder, name), encoding="utf-8", newline="") as source:
        return source.read()


def expect_files(folder, *names):
    found = sorted(os.listdir(folder))
    if found != sorted(names):
        raise Failure("the folder holds %s, expected %s" % (found, sorted(names)))


def expect_equal(what, expected, actual):
    if expected != actual:
        raise Failure("%s is %r, expected %r" % (what, actual, expected))


def typed_names_open_their_files_and_the_window_waits(cases, folder):
    """Names typed with letters outside ASCII, one outside the ANSI code page,
    open the files of those names; the window waits for Enter after the run."""
    write(folder, JOSE, plot_text("first input", "1.00000", "6.50000"))
    write(folder, ATHENS + ".plt", plot_text("second input", "2.25000", "0.50000"))
    session = cases.own_console(folder)
    try:
        session.type_answers("2", JOSE, ATHENS + ".plt", "1.0", "1.0", "S", "N")
        session.wait_for_text(NOTE)
        if not session.still_running_after(2):
            raise Failure("the run ended before Enter was pressed; the screen:\n" + session.text())
        screen = session.text()
        if not screen.rstrip("\n").endswith("Y/N\nN\n" + NOTE):
            raise Failure("the note is not the last line after the answers; the screen:\n" + screen)
        session.type("\r")
        expect_equal("the exit status", 0, session.wait_for_end())
    finally:
        session.end()
    expect_files(folder, JOSE, ATHENS + ".plt", "SUM_CONC.PLT")
    expect_equal("SUM_CONC.PLT", plot_text("first input", "3.25000", "7.00000"), read(folder, "SUM_CONC.PLT"))


def a_diagnostic_shows_the_name_as_typed(cases, folder):
    """A name that cannot be opened appears in the diagnostic in its letters; the
    window waits after the failure too, and the status stays 2."""
    session = cases.own_console(folder)
    try:
        session.type_answers("1", ATHENS + "/x.plt", "1.0")
        session.wait_for_text(NOTE)
        line = "plotmerge: opening '%s/x.plt': " % ATHENS
        if line not in session.text():
            raise Failure("no line starting %r; the screen:\n%s" % (line, session.text()))
        session.type("\r")
        expect_equal("the exit status", 2, session.wait_for_end())
    finally:
        session.end()
    expect_files(folder)


def started_from_cmd_the_run_ends_at_once(cases, folder):
    """cmd shares its console: no note and no wait, and a typed name still opens its file."""
    write(folder, JOSE, plot_text("only input", "12.50000"))
    session = cases.from_cmd(folder)
    try:
        session.type_answers("1", JOSE, "1.0", "A", "N")
        expect_equal("the exit status", 0, session.wait_for_end())
    finally:
        session.end()
    if NOTE in session.text():
        raise Failure("the note was shown; the screen:\n" + session.text())
    expect_files(folder, JOSE, "AVG_CONC.PLT")
    expect_equal("AVG_CONC.PLT", read(folder, JOSE), read(folder, "AVG_CONC.PLT"))


def with_a_stream_redirected_the_run_ends_at_once(cases, folder):
    """At a console of its own, any one standard stream redirected: no note, no wait."""
    write(folder, JOSE, plot_text("only input", "12.50000"))
    answers = ["1", JOSE, "1.0", "A", "N"]
    write(folder, "answers", "".join(answer + "\n" for answer in answers))
    for stream, name in ((0, "answers"), (1, "stdout.txt"), (2, "stderr.txt")):
        session = cases.own_console(folder, {stream: name})
        try:
            if stream != 0:
                session.type_answers(*answers)
            status = session.wait_for_end()
        finally:
            session.end()
        expect_equal("the exit status with stream %d redirected" % stream, 0, status)
        if NOTE in session.text():
            raise Failure("stream %d redirected: the note was shown; the screen:\n%s" % (stream, session.text()))
        expect_equal("AVG_CONC.PLT with stream %d redirected" % stream, read(folder, JOSE),
                     read(folder, "AVG_CONC.PLT"))
        os.remove(os.path.join(folder, "AVG_CONC.PLT"))
    expect_equal("standard output", "".join(prompt + "\n" for prompt in PROMPTS_ONE), read(folder, "stdout.txt"))
    expect_equal("standard error", "", read(folder, "stderr.txt"))
    expect_files(folder, JOSE, "answers", "stdout.txt", "stderr.txt")


def run_case(cases, case):
    folder = tempfile.mkdtemp(prefix="plotmerge-console.")
    try:
        case(cases, folder)
        print("ok      " + case.__name__)
    except Failure as failure:
        cases.failures += 1
        print("FAILED  %s: %s" % (case.__name__, failure))
    finally:
        shutil.rmtree(folder, ignore_errors=True)


def main(arguments):
    if len(arguments) < 1:
        print(__doc__)
        return 2
    # The console decodes what is typed in the locale's charset; C.UTF-8 is
    # UTF-8, and Wine reads C as US English: ANSI code page 1252, input code
    # page 437, where a typed é was read as the byte 82, which 1252 reads as ‚.
    os.environ["LC_ALL"] = "C.UTF-8"
    try:
        for descriptor in os.openpty():
            os.close(descriptor)
    except OSError as error:
        print("skipped: no pseudo-terminal can be opened here (%s), and the sessions need one" % error)
        return 77
    cases = Cases(os.path.abspath(arguments[0]), arguments[1:])
    for case in (typed_names_open_their_files_and_the_window_waits, a_diagnostic_shows_the_name_as_typed,
                 started_from_cmd_the_run_ends_at_once, with_a_stream_redirected_the_run_ends_at_once):
        run_case(cases, case)
    print("%d failed" % cases.failures)
    return 1 if cases.failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
