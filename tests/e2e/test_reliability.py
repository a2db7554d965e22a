"""Faults and load, checked from outside: keys held by another program, the
click target going away, the tool killed or closed each way, many presses.

Env: as tool.py, plus TAVRIN_HOLDER (tavrin-holder.exe).
"""

import ctypes
import os
import pathlib
import select
import signal
import subprocess
import sys
import time
import unittest

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))
import harness  # noqa: E402
from test_window import centre  # noqa: E402
from tool import (EXIT_TIMEOUT, HOTKEY_TAKEN, INPUT_TIMEOUT, START_TIMEOUT,  # noqa: E402
                  TARGET_RECT, TITLE, ToolTest)

F1 = 0x70
KEYS = {"q": 0x51, "w": 0x57, "e": 0x45}
# All on the click target, which spans TARGET_RECT.
POINTS = {"q": (60, 80), "w": (300, 500), "e": (TARGET_RECT[2] - 10, TARGET_RECT[3] - 24)}
HOME = (200, 300)
# How long a key that must click nothing is given to show a click.
SETTLE = 1.0
LOAD_PRESSES = 300
MOVING_PRESSES = 100


# -- the X pointer as the X server sees it ------------------------------------

_x11 = None


def _xlib():
    global _x11
    if _x11 is None:
        lib = ctypes.CDLL("libX11.so.6")
        lib.XOpenDisplay.restype = ctypes.c_void_p
        lib.XOpenDisplay.argtypes = [ctypes.c_char_p]
        lib.XDefaultRootWindow.restype = ctypes.c_ulong
        lib.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        lib.XTranslateCoordinates.argtypes = [
            ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
            ctypes.POINTER(ctypes.c_int), ctypes.POINTER(ctypes.c_int),
            ctypes.POINTER(ctypes.c_ulong)]
        lib.XSelectInput.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_long]
        lib.XPending.argtypes = [ctypes.c_void_p]
        lib.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.c_void_p]
        lib.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
        lib.XConnectionNumber.argtypes = [ctypes.c_void_p]
        lib.XCloseDisplay.argtypes = [ctypes.c_void_p]
        _x11 = lib
    return _x11


class _PointerEvent(ctypes.Structure):
    # The common head of XMotionEvent and XCrossingEvent, then the crossing mode.
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong), ("root", ctypes.c_ulong),
                ("subwindow", ctypes.c_ulong), ("time", ctypes.c_ulong),
                ("x", ctypes.c_int), ("y", ctypes.c_int), ("x_root", ctypes.c_int),
                ("y_root", ctypes.c_int), ("mode", ctypes.c_int)]


class _XEvent(ctypes.Union):
    _fields_ = [("type", ctypes.c_int), ("pointer", _PointerEvent), ("pad", ctypes.c_long * 24)]


_MOTION_NOTIFY, _ENTER_NOTIFY = 6, 7
_ENTER_WINDOW_MASK, _POINTER_MOTION_MASK = 1 << 4, 1 << 6
_NOTIFY_UNGRAB = 2


class PointerLog:
    """Every place the pointer is put over one X window, in the X server's order.

    Wine's SetCursorPos grabs the pointer around its warp, so the window under
    the pointer gets an EnterNotify (mode NotifyUngrab) at the new place, even
    when the place does not change: ("warp", x, y). A user's move (XTest, as
    xdotool does it) is a MotionNotify: ("move", x, y). Only these events show
    every cursor move of a burst; polling the pointer would miss most."""

    def __init__(self, display, x, y):
        lib = _xlib()
        self._dpy = lib.XOpenDisplay(display.encode())
        if not self._dpy:
            raise RuntimeError(f"cannot open X display {display}")
        root = window = lib.XDefaultRootWindow(self._dpy)
        wx, wy, child = ctypes.c_int(), ctypes.c_int(), ctypes.c_ulong()
        while True:  # down to the deepest window at (x, y)
            lib.XTranslateCoordinates(self._dpy, root, window, x, y, ctypes.byref(wx),
                                      ctypes.byref(wy), ctypes.byref(child))
            if not child.value:
                break
            window = child.value
        if window == root:
            raise RuntimeError(f"no window at {x},{y} to watch")
        self._window = window
        lib.XSelectInput(self._dpy, window, _ENTER_WINDOW_MASK | _POINTER_MOTION_MASK)
        lib.XSync(self._dpy, 0)
        self.events = []

    def close(self):
        if self._dpy:
            _xlib().XCloseDisplay(self._dpy)
            self._dpy = None

    def read(self, timeout=0.0):
        """Adds what has come, waiting up to `timeout` for more; returns all."""
        lib = _xlib()
        event = _XEvent()
        if not lib.XPending(self._dpy) and timeout > 0:
            select.select([lib.XConnectionNumber(self._dpy)], [], [], timeout)
        while lib.XPending(self._dpy):
            lib.XNextEvent(self._dpy, ctypes.byref(event))
            p = event.pointer
            if p.window != self._window:
                continue
            if event.type == _MOTION_NOTIFY:
                self.events.append(("move", p.x_root, p.y_root))
            elif event.type == _ENTER_NOTIFY and p.mode == _NOTIFY_UNGRAB:
                self.events.append(("warp", p.x_root, p.y_root))
        return self.events

    def wait(self, condition, timeout, message):
        """Reads until condition(events) holds; raises TimeoutError at the deadline."""
        deadline = time.monotonic() + timeout
        while not condition(self.read()):
            left = deadline - time.monotonic()
            if left <= 0:
                raise TimeoutError(f"{message} not seen within {timeout} s; events: {self.events[-8:]}")
            self.read(min(left, 0.05))
        return self.events

    def warps(self, start=0):
        return [(x, y) for kind, x, y in self.events[start:] if kind == "warp"]


def user_spots(count):
    """Places on the click target, each unlike the one before, for the user to move to."""
    return [(100 + 6 * (i % 40), 200 + 11 * (i % 60)) for i in range(count)]


# -- the tests ------------------------------------------------------------------

class ReliabilityTest(ToolTest):

    # -- other programs ---------------------------------------------------

    def start_holder(self, *virtual_keys):
        """Starts a program that holds these keys; returns it and {vk: error or None}."""
        holder_exe = os.environ.get("TAVRIN_HOLDER")
        if not holder_exe or not os.path.isfile(holder_exe):
            self.fail(f"TAVRIN_HOLDER does not name a file: {holder_exe!r}")
        holder = self.session.start(holder_exe, *virtual_keys)
        harness.poll(lambda: "ready" in self.session.output(holder).split(), START_TIMEOUT,
                     message="holder ready")
        results = {}
        for line in self.session.output(holder).splitlines():
            parts = line.split()
            if parts[:1] == ["held"]:
                results[int(parts[1])] = None
            elif parts[:1] == ["refused"]:
                results[int(parts[1])] = int(parts[2])
        return holder, results

    def holder_hotkeys(self, holder):
        return [int(line.split()[1]) for line in self.session.output(holder).splitlines()
                if line.startswith("hotkey ")]

    def stop(self, proc):
        proc.send_signal(signal.SIGKILL)
        proc.wait(timeout=EXIT_TIMEOUT)

    def start_tool(self):
        self.proc = self.session.start(os.environ["TAVRIN_EXE"])
        if not self.session.wait_window(TITLE, START_TIMEOUT):
            self.fail("no tool window; output:\n" + self.session.output(self.proc))

    def start_target(self):
        left, top, right, bottom = TARGET_RECT
        self.target = self.session.start(os.environ["TAVRIN_TARGET"], left, top,
                                         right - left, bottom - top)
        harness.poll(lambda: "ready" in self.session.output(self.target), START_TIMEOUT,
                     message="click target ready")

    # -- the tool's rows ----------------------------------------------------

    def layout(self):
        """A snapshot of the running tool for the places of its controls only,
        which stay put while the grid is not scrolled. (A snapshot takes most
        of a second.)"""
        if getattr(self, "_layout_of", None) is not self.proc:
            self._layout = self.snapshot()
            self._layout_of = self.proc
        return self._layout

    def apply(self, live=()):
        """Clicks 应用 and waits until the keys in `live` are taken, so held by the tool."""
        button = next(c for c in self.layout().children
                      if c["class"] == "Button" and c["text"] == "应用")
        self.click_control(button)
        for key in live:
            harness.poll(lambda: self.hotkey_free(KEYS[key]) == HOTKEY_TAKEN, INPUT_TIMEOUT,
                         message=f"{key} taken after 应用")

    def set_up_rows(self, keys):
        """Rows 1.. made as a user makes them, in one go: the keys pressed in a
        hotkey field, each key's point typed into x and y, the boxes checked."""
        self.focus_tool_and_wait()
        rows = self.layout().rows()
        # The tool handles each click before the keys after it, so one chain does.
        chain = ["mousemove", *centre(rows[0][0]["rect"]), "click", 1, "key", *keys]
        for (_, x_field, y_field, box), key in zip(rows, keys):
            for field, value in ((x_field, POINTS[key][0]), (y_field, POINTS[key][1])):
                # Digits as keys: "type" would take the rest of the chain as text.
                chain += ["mousemove", *centre(field["rect"]), "click", 1, "key", *str(value)]
            chain += ["mousemove", *centre(box["rect"]), "click", 1]
        self.session.xdotool(*chain)
        expected = [(key.upper() + "键", str(POINTS[key][0]), str(POINTS[key][1]), 1) for key in keys]

        def made():
            rows = self.snapshot().rows()
            return [(h["text"], x["text"], y["text"], b["check"]) for h, x, y, b in rows[:len(keys)]]
        try:
            harness.poll(lambda: made() == expected, INPUT_TIMEOUT)
        except TimeoutError:
            self.assertEqual(made(), expected, "rows after setting them up")

    # -- pointer and presses ----------------------------------------------

    def put_pointer(self, x, y):
        """Moves the pointer there and waits until Windows programs see it.

        Two moves: a move to where the pointer already is sends no motion, and
        Wine would keep whatever it last believed."""
        self.session.xdotool("mousemove", x + 1, y, "mousemove", x, y)
        harness.poll(lambda: self.session.probe("cursor") == {"x": x, "y": y}, INPUT_TIMEOUT,
                     message=f"cursor at {x},{y}")

    def focus_tool_and_wait(self):
        """Clicks the tool's first column heading and waits until it has the keyboard."""
        label = next(c for c in self.layout().children
                     if c["class"] == "Static" and c["text"] == "热键")
        self.session.focus(TITLE, *centre(label["rect"]))

    def focus_target(self):
        """Gives the target the focus with a click of its own, then puts the pointer home."""
        before = len(self.clicks())
        self.session.click(20, 20)
        harness.poll(lambda: len(self.clicks()) >= before + 2, INPUT_TIMEOUT,
                     message="focusing click")
        self.put_pointer(*HOME)

    def watch_pointer(self):
        log = PointerLog(self.session.env["DISPLAY"], *HOME)
        self.addCleanup(log.close)
        return log

    def press(self, key, count=1, expected_clicks=None):
        """Presses key `count` times at once; returns the clicks that followed."""
        expected = count if expected_clicks is None else expected_clicks
        before = len(self.clicks())
        self.session.xdotool("key", "--delay", 0, *([key] * count))
        if expected:
            try:
                harness.poll(lambda: len(self.clicks()) >= before + 2 * expected,
                             INPUT_TIMEOUT + count / 50)
            except TimeoutError:
                pass  # the caller's check says how many came
        time.sleep(SETTLE)  # time for any click too many to arrive
        return self.clicks()[before:]

    def assert_clicks_at(self, events, point, count):
        self.assertEqual([e[0] for e in events], ["down", "up"] * count,
                         "one press and one release per key")
        self.assertEqual({(e[1], e[2]) for e in events}, {point})

    def press_and_wait(self, log, key, spot=None):
        """One press, after moving the pointer to `spot` if given; waits until
        the click came and the pointer was put back.

        Waiting for the return before the next key keeps the key behind the
        tool's own cursor moves in the X server's order (see the notes on
        bursts in test_many_presses)."""
        clicks_before = len(self.clicks())
        events_before = len(log.read())
        move = ["mousemove", *spot] if spot else []
        self.session.xdotool(*move, "key", key)
        warps = lambda: log.warps(events_before)  # noqa: E731
        log.wait(lambda _: len(warps()) >= 2, INPUT_TIMEOUT, f"press {key}: move and return")
        harness.poll(lambda: len(self.clicks()) >= clicks_before + 2, INPUT_TIMEOUT,
                     message=f"press {key}: click")
        return warps(), self.clicks()[clicks_before:]

    # -- closing ------------------------------------------------------------

    def caption(self):
        """The title bar's (left, top, right, height) on screen, from the window rect."""
        tree = self.layout().tree
        left, top, right, _ = tree["rect"]
        border = tree["client"][0] - left
        return left + border, top + border, right - border, tree["client"][1] - top - border

    def close_box(self):
        left, top, right, height = self.caption()
        self.session.click(right - height // 2 - 1, top + height // 2)

    def focus_x_field(self):
        """Focuses the x field of a row not in use: a hotkey field would
        capture Alt+Space."""
        self.session.focus(TITLE, *centre(self.row(3, self.layout())[1]["rect"]))

    # The menu opens from a message that comes before the "c" (Close's
    # mnemonic) in the tool's queue, so its loop is the one that reads the "c".
    def system_menu_by_keys(self):
        self.focus_x_field()
        self.session.key("alt+space", "c")

    def system_menu_by_icon(self):
        self.focus_x_field()
        left, top, _, height = self.caption()
        self.session.xdotool("mousemove", left + height // 2, top + height // 2,
                             "click", 1, "key", "c")

    def escape(self):
        self.focus_tool_and_wait()
        self.session.key("Escape")

    def close_by_escape(self):
        # Not ToolTest.close_with_escape: its Esc may go out before the
        # click that focuses the tool has moved the keyboard focus.
        self.escape()
        self.wait_closed("Esc")

    def wait_closed(self, way):
        try:
            code = self.session.wait_exit(self.proc, EXIT_TIMEOUT)
        except subprocess.TimeoutExpired:
            self.fail(f"{way} did not close the tool")
        self.assertEqual(code, 0, f"exit code after {way}:\n" + self.session.output(self.proc))

    def assert_free(self, virtual_keys, timeout=0):
        """Each key can be registered by another program (within `timeout`)."""
        for vk in virtual_keys:
            try:
                harness.poll(lambda: self.hotkey_free(vk) is True, timeout)
            except TimeoutError:
                self.fail(f"key {vk:#x} still held: error {self.hotkey_free(vk)}")

    # -- cases ----------------------------------------------------------------

    def test_keys_held_by_another_program(self):
        # F1 taken before the tool starts.
        self.close_by_escape()
        f1_holder, held = self.start_holder(F1)
        self.assertEqual(held, {F1: None})
        self.start_tool()

        self.focus_tool_and_wait()
        self.put_pointer(100, 120)
        self.session.key("F1")
        harness.poll(lambda: self.holder_hotkeys(f1_holder) == [F1], INPUT_TIMEOUT,
                     message="F1 at the holder")
        self.assertEqual(self.texts(1), ("", "", ""), "F1 captured although another program holds it")

        # The rest works: key capture, typed points, 应用, clicks.
        self.set_up_rows(["q", "w", "e"])
        # W taken before 应用: its row stays off, the others go live.
        w_holder, held = self.start_holder(KEYS["w"])
        self.assertEqual(held, {KEYS["w"]: None})
        self.apply(live="qe")
        self.focus_target()
        for key, clicks in (("q", 1), ("w", 0), ("e", 1)):
            with self.subTest(key=key):
                events = self.press(key, 1, clicks)
                if clicks:
                    self.assert_clicks_at(events, POINTS[key], 1)
                else:
                    self.assertEqual(events, [], "a key held elsewhere clicked")
                self.assertEqual(self.pointer(), HOME)
        harness.poll(lambda: self.holder_hotkeys(w_holder), INPUT_TIMEOUT, message="W at the holder")
        self.assertEqual(self.holder_hotkeys(w_holder), [KEYS["w"]])
        self.assertEqual(self.holder_hotkeys(f1_holder), [F1])

        # With W given up, the next 应用 takes it.
        self.stop(w_holder)
        self.assert_free([KEYS["w"]], INPUT_TIMEOUT)
        self.apply(live="qwe")
        self.focus_target()
        self.assert_clicks_at(self.press("w"), POINTS["w"], 1)
        self.close_by_escape()

    def test_target_closed_while_keys_are_pressed(self):
        self.set_up_rows(["q", "w"])
        self.apply(live="qw")
        rows_before = [self.texts(n) for n in (1, 2)]
        self.focus_target()

        presses = subprocess.Popen(["xdotool", "key", "--delay", "10", *(["q", "w"] * 100)],
                                   env=self.session.env)
        self.addCleanup(presses.wait)  # it ends by itself within seconds
        harness.poll(lambda: len(self.clicks()) >= 40, INPUT_TIMEOUT, message="clicks before the close")
        self.stop(self.target)
        presses.wait(timeout=30)

        # Keys still fire with the tool focused; their clicks land on no window.
        self.focus_tool_and_wait()
        label_point = self.pointer()
        self.session.key("q", "w", "q", "w")
        # F1 is handled after them, in order: it shows they are done.
        self.session.key("F1")
        self.wait_texts(3, ("", *map(str, label_point)))
        self.assertTrue(self.session.alive(self.proc), "the tool died")
        self.assertEqual([self.texts(n) for n in (1, 2)], rows_before)
        self.assertEqual([self.row(n)[3]["check"] for n in (1, 2, 3)], [1, 1, 0])
        self.assertEqual(self.pointer(), label_point, "pointer not back after clicks on no window")

        self.start_target()
        self.focus_target()
        for key in ("q", "w"):
            with self.subTest(key=key):
                self.assert_clicks_at(self.press(key), POINTS[key], 1)
                self.assertEqual(self.pointer(), HOME)
        self.close_by_escape()

    def test_killed_tool_frees_its_keys(self):
        self.set_up_rows(["q", "e"])
        self.apply(live="qe")
        self.focus_target()
        self.assert_clicks_at(self.press("q"), POINTS["q"], 1)
        self.stop(self.proc)
        # The system frees a dead program's keys on its own time: allow a moment.
        self.assert_free([F1, KEYS["q"], KEYS["e"]], INPUT_TIMEOUT)

    def test_each_way_of_closing_frees_every_key(self):
        ways = [
            ("the close box", self.close_box),
            ("the system menu from Alt+Space", self.system_menu_by_keys),
            ("the system menu from the window icon", self.system_menu_by_icon),
            ("Esc", self.escape),
        ]
        for n, (way, close) in enumerate(ways):
            with self.subTest(way=way):
                if n:
                    self.start_tool()
                self.set_up_rows(["q", "w"])
                self.apply(live="qw")
                self.assertEqual(self.hotkey_free(F1), HOTKEY_TAKEN)
                close()
                self.wait_closed(way)
                self.assert_free([F1, KEYS["q"], KEYS["w"]])
        self.assertFalse(self.session.window_visible(TITLE))

    def test_many_presses(self):
        self.set_up_rows(["q"])
        self.apply(live="q")
        point = POINTS["q"]
        self.focus_target()

        # A burst as fast as xdotool sends it: no click lost or doubled. Not
        # where they land: Wine's SetCursorPos grabs the pointer around its
        # warp, the program under the pointer replays the crossing events as
        # moves a moment late, and a key that overtakes the tool's previous
        # click meets that stale cursor (bench/reliability.py counts it).
        events = self.press("q", LOAD_PRESSES)
        self.assertEqual([e[0] for e in events], ["down", "up"] * LOAD_PRESSES,
                         "one press and one release per key")

        # Back to back, each key after the last click's return: every click on
        # the point and the pointer home after each.
        self.put_pointer(*HOME)
        log = self.watch_pointer()
        clicks, returns = [], []
        for _ in range(LOAD_PRESSES):
            warps, events = self.press_and_wait(log, "q")
            clicks += events
            returns.append(warps)
        self.assert_clicks_at(clicks, point, LOAD_PRESSES)
        self.assertEqual([w for w in returns if w != [point, HOME]], [],
                         "cursor moves other than to the point and back home")
        self.assertEqual(self.pointer(), HOME)

        # The user moves the pointer between presses: each click still on the
        # point, the pointer back where the user put it.
        spots = user_spots(MOVING_PRESSES)
        clicks, returns = [], []
        for spot in spots:
            warps, events = self.press_and_wait(log, "q", spot)
            clicks += events
            returns.append((spot, warps))
        self.assert_clicks_at(clicks, point, MOVING_PRESSES)
        self.assertEqual([(s, w) for s, w in returns if w != [point, s]], [],
                         "cursor moves other than to the point and back to the user's spot")
        self.assertEqual(self.pointer(), spots[-1])
        self.close_by_escape()


if __name__ == "__main__":
    unittest.main()
