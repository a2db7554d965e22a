"""The tool running beside a click target, driven and read from outside.

Env: TAVRIN_EXE, TAVRIN_PROBE, TAVRIN_TARGET (tavrin-target.exe),
TAVRIN_WINE_TEMPLATE (optional), TAVRIN_E2E_DPI (optional: the display's
scale, 96 when unset).
"""

import os
import subprocess
import unittest

import harness
from test_window import TITLE, Window, centre

START_TIMEOUT = 30
INPUT_TIMEOUT = 5
EXIT_TIMEOUT = 10
# The target fills the screen left of the tool's centred window, at 150 % too.
TARGET_RECT = (0, 0, 350, 1024)
DPI = int(os.environ.get("TAVRIN_E2E_DPI") or 96)
HOTKEY_TAKEN = 1409


class ToolTest(unittest.TestCase):
    """Starts the click target, then the tool, each in this test's session."""

    def setUp(self):
        exe = os.environ.get("TAVRIN_EXE")
        target = os.environ.get("TAVRIN_TARGET")
        for name, path in (("TAVRIN_EXE", exe), ("TAVRIN_TARGET", target)):
            if not path or not os.path.isfile(path):
                self.fail(f"{name} does not name a file: {path!r}")
        self.session = harness.Session(dpi=DPI)
        self.session.__enter__()
        self.addCleanup(self.session.__exit__, None, None, None)
        left, top, right, bottom = TARGET_RECT
        self.target = self.session.start(target, left, top, right - left, bottom - top)
        harness.poll(lambda: "ready" in self.session.output(self.target), START_TIMEOUT,
                     message="click target ready")
        self.proc = self.session.start(exe)
        if not self.session.wait_window(TITLE, START_TIMEOUT):
            self.fail("no tool window; output:\n" + self.session.output(self.proc))

    # -- reading ------------------------------------------------------------

    def snapshot(self):
        return Window(self.session.probe("tree", TITLE))

    def row(self, n, window=None):
        """Row n's (hotkey, x, y, box) controls, 1-based."""
        return (window or self.snapshot()).rows()[n - 1]

    def texts(self, n, window=None):
        hotkey, x, y, _ = self.row(n, window)
        return hotkey["text"], x["text"], y["text"]

    def wait_texts(self, n, expected):
        """Polls until row n shows `expected` as (hotkey, x, y)."""
        try:
            harness.poll(lambda: self.texts(n) == expected, INPUT_TIMEOUT)
        except TimeoutError:
            self.assertEqual(self.texts(n), expected, f"row {n}")

    def clicks(self):
        """(kind, x, y, ms) of every press and release the target received."""
        events = []
        for line in self.session.output(self.target).splitlines():
            parts = line.split()
            if len(parts) == 4 and parts[0] in ("down", "up"):
                events.append((parts[0], int(parts[1]), int(parts[2]), float(parts[3])))
        return events

    def pointer(self):
        out = self.session.xdotool("getmouselocation", "--shell")
        values = dict(line.split("=", 1) for line in out.split())
        return int(values["X"]), int(values["Y"])

    def hotkey_free(self, virtual_key):
        """Whether another program can register the key now; else its error."""
        result = self.session.probe("register-hotkey", virtual_key)
        return True if result["ok"] else result["error"]

    # -- acting -------------------------------------------------------------

    def point_at(self, x, y):
        """Moves the pointer and waits until Windows programs see it there."""
        self.session.move(x, y)
        harness.poll(lambda: self.session.probe("cursor") == {"x": x, "y": y}, INPUT_TIMEOUT,
                     message=f"cursor at {x},{y}")

    def click_control(self, control):
        self.session.click(*centre(control["rect"]))

    def focus_tool(self, window=None):
        """Clicks the first column heading, a spot that does nothing."""
        w = window or self.snapshot()
        label = next(c for c in w.children if c["class"] == "Static" and c["text"] == "热键")
        self.session.focus(TITLE, *centre(label["rect"]))

    def close_with_escape(self):
        self.focus_tool()
        self.session.key("Escape")
        try:
            code = self.session.wait_exit(self.proc, EXIT_TIMEOUT)
        except subprocess.TimeoutExpired:
            self.fail("Esc did not close the tool")
        self.assertEqual(code, 0, self.session.output(self.proc))
