"""The main window as a user sees it, read from outside with tavrin-probe.

Env: TAVRIN_EXE (tavrin.exe), TAVRIN_PROBE, TAVRIN_WINE_TEMPLATE (optional),
TAVRIN_SCREENSHOT_DIR (optional; else the system temp dir).
"""

import os
import pathlib
import subprocess
import sys
import tempfile
import time
import unittest

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))
import harness  # noqa: E402

TITLE = "TavrinV1.0 ByMorvel_Ostrane"
WIDTH, HEIGHT = 378, 438
ROWS = 100
ROW_PITCH = 20
FIRST_ROW_TOP = 14
PIXELS_PER_POSITION = 14
# (left in the panel, width, height) of a row's hotkey, x, y and check box.
ROW_COLUMNS = [(8, 80, 20), (112, 80, 20), (200, 80, 20), (288, 44, 20)]
LABELS = ["热键", "鼠标x", "鼠标y", "F1 取鼠标坐标，修改了启用要点应用"]

BS_TYPEMASK = 0xF
BS_PUSHBUTTON, BS_DEFPUSHBUTTON = 0, 1
BS_CHECKBOX, BS_AUTOCHECKBOX = 2, 3
BS_GROUPBOX = 7
ES_READONLY = 0x800
SBS_VERT = 0x1

START_TIMEOUT = 30
INPUT_TIMEOUT = 5
EXIT_TIMEOUT = 10
# How long a key that must do nothing is given to show an effect.
SETTLE = 1.0
# Down-arrow clicks sent at once near the end of the scroll.
ARROW_BATCH = 5


def button_type(control):
    return control["style"] & BS_TYPEMASK


def is_check_box(control):
    return control["class"] == "Button" and button_type(control) in (BS_CHECKBOX, BS_AUTOCHECKBOX)


def size(rect):
    return rect[2] - rect[0], rect[3] - rect[1]


def inside(rect, outer):
    return (rect[0] >= outer[0] and rect[1] >= outer[1]
            and rect[2] <= outer[2] and rect[3] <= outer[3])


def centre(rect):
    return (rect[0] + rect[2]) // 2, (rect[1] + rect[3]) // 2


class Window:
    """One probe snapshot of the main window, with its parts named."""

    def __init__(self, tree):
        self.tree = tree
        self.children = tree["children"]
        groups = [c for c in self.children
                  if c["class"] == "Button" and button_type(c) == BS_GROUPBOX]
        self.viewport = self.one(groups, lambda c: c["parent"] == tree["hwnd"], "viewport")
        self.panel = self.one(groups, lambda c: c["parent"] == self.viewport["hwnd"], "panel")
        self.scroll_bar = self.one(self.children, lambda c: c["class"] == "ScrollBar",
                                   "scroll bar")
        self.in_panel = [c for c in self.children if c["parent"] == self.panel["hwnd"]]

    @staticmethod
    def one(controls, match, what):
        found = [c for c in controls if match(c)]
        if len(found) != 1:
            raise AssertionError(f"expected one {what}, found {len(found)}: {found}")
        return found[0]

    @property
    def position(self):
        return self.scroll_bar["scroll"]["pos"]

    def rows(self):
        """Visible controls of the panel grouped by screen top, top to bottom,
        each row sorted left to right."""
        by_top = {}
        for c in self.in_panel:
            if c["visible"]:
                by_top.setdefault(c["rect"][1], []).append(c)
        return [sorted(by_top[top], key=lambda c: c["rect"][0]) for top in sorted(by_top)]


class MainWindowTest(unittest.TestCase):
    def setUp(self):
        self.exe = os.environ.get("TAVRIN_EXE")
        if not self.exe or not os.path.isfile(self.exe):
            self.fail(f"TAVRIN_EXE does not name a file: {self.exe!r}")
        self.session = harness.Session()
        self.session.__enter__()
        self.addCleanup(self.session.__exit__, None, None, None)
        self.proc = self.session.start(self.exe)
        if not self.session.wait_window(TITLE, START_TIMEOUT):
            self.fail(f"no window {TITLE!r}; program output:\n"
                      + self.session.output(self.proc))

    def snapshot(self):
        return Window(self.session.probe("tree", TITLE))

    def focus(self, window):
        """Clicks the first label, a spot that does nothing, to focus the window."""
        label = next(c for c in window.children
                     if c["class"] == "Static" and c["text"] == LABELS[0])
        self.session.focus(TITLE, *centre(label["rect"]))

    def close_with_escape(self):
        self.assertTrue(self.session.alive(self.proc), "program ended before Esc")
        self.session.key("Escape")
        try:
            code = self.session.wait_exit(self.proc, EXIT_TIMEOUT)
        except subprocess.TimeoutExpired:
            self.fail("Esc did not close the program")
        self.assertEqual(code, 0, "exit code after Esc; program output:\n"
                         + self.session.output(self.proc))

    # -- checks ---------------------------------------------------------------

    def check_frame(self, w):
        top = w.tree
        self.assertEqual(top["text"], TITLE)
        self.assertTrue(top["visible"])
        self.assertEqual(size(top["rect"]), (WIDTH, HEIGHT))
        screen_w, screen_h = harness.SCREEN
        self.assertEqual(top["rect"][:2], [(screen_w - WIDTH) // 2, (screen_h - HEIGHT) // 2],
                         "window not centred on the screen")

    def check_fixed_controls(self, w):
        cx, cy = w.tree["client"][:2]
        self.assertEqual(w.viewport["text"], "")
        self.assertEqual(w.viewport["rect"], [cx, cy + 20, cx + 339, cy + 20 + 336])
        self.assertEqual(w.panel["text"], "")
        vx, vy = w.viewport["rect"][:2]
        self.assertEqual(w.panel["rect"], [vx, vy, vx + 339, vy + 2014])

        bar = w.scroll_bar
        self.assertEqual(bar["parent"], w.tree["hwnd"])
        self.assertTrue(bar["visible"])
        self.assertTrue(bar["style"] & SBS_VERT, "scroll bar is not vertical")
        self.assertEqual(bar["rect"], [cx + 344, cy + 26, cx + 344 + 24, cy + 26 + 328])
        self.assertEqual((bar["scroll"]["min"], bar["scroll"]["max"], bar["scroll"]["pos"]),
                         (1, 121, 1))

        statics = {c["text"]: c for c in w.children if c["class"] == "Static"}
        for text in LABELS:
            with self.subTest(label=text):
                self.assertIn(text, statics)
                self.assertTrue(statics[text]["visible"])
        apply = [c for c in w.children if c["class"] == "Button" and c["text"] == "应用"]
        self.assertEqual(len(apply), 1, "one push button 应用")
        self.assertIn(button_type(apply[0]), (BS_PUSHBUTTON, BS_DEFPUSHBUTTON))
        self.assertTrue(apply[0]["visible"])

    def check_row(self, w, n, row):
        """Row n (1-based): kinds, places, sizes, styles and empty state."""
        px, py = w.panel["rect"][:2]
        self.assertEqual(len(row), len(ROW_COLUMNS), f"row {n}: {row}")
        hotkey, x, y, box = row
        for c in (hotkey, x, y):
            self.assertEqual(c["class"], "Edit")
            self.assertEqual(c["text"], "")
        self.assertTrue(hotkey["style"] & ES_READONLY, "hotkey box must be read-only")
        self.assertFalse(x["style"] & ES_READONLY, "x box must be editable")
        self.assertFalse(y["style"] & ES_READONLY, "y box must be editable")
        self.assertTrue(is_check_box(box), f"not a check box: {box}")
        self.assertEqual(box["text"], "启用")
        self.assertEqual(box["check"], 0)
        row_top = py + ROW_PITCH * (n - 1) + FIRST_ROW_TOP
        for c, (left, width, height) in zip(row, ROW_COLUMNS):
            self.assertEqual(c["rect"], [px + left, row_top, px + left + width, row_top + height])

    def check_rows(self, w):
        rows = w.rows()
        self.assertEqual(len(rows), ROWS, "visible rows")
        tops = [row[0]["rect"][1] for row in rows]
        self.assertEqual({b - a for a, b in zip(tops, tops[1:])}, {ROW_PITCH}, "row pitch")
        for n, row in enumerate(rows, start=1):
            with self.subTest(row=n):
                self.check_row(w, n, row)

        hidden = [c for c in w.in_panel if not c["visible"]]
        self.assertEqual(sorted(c["class"] for c in hidden), ["Button", "Edit", "Edit", "Edit"],
                         "one invisible template row")
        self.assertTrue(is_check_box(next(c for c in hidden if c["class"] == "Button")))
        self.assertEqual(len(w.in_panel), 4 * (ROWS + 1), "nothing else in the panel")

    def check_panel_follows(self, w):
        vx, vy = w.viewport["rect"][:2]
        expected = vy - (w.position - 1) * PIXELS_PER_POSITION
        self.assertEqual(w.panel["rect"][:2], [vx, expected],
                         f"panel at scroll position {w.position}")

    # -- scrolling ------------------------------------------------------------

    def click_and_wait(self, x, y, reached, what, times=1):
        """Clicks, waits until the scroll position satisfies `reached`, and
        returns a snapshot taken after that, when the scroll has been handled."""
        self.session.click(x, y, repeat=times)
        harness.poll(lambda: reached(self.snapshot().position), INPUT_TIMEOUT,
                     message=f"scroll position after {times} click(s) on the {what}")
        return self.snapshot()

    def scroll_to_last_row(self, w):
        """Clicks the scroll bar as a user would until row 100 is in view."""
        view = w.viewport["rect"]
        self.assertFalse(all(inside(c["rect"], view) for c in w.rows()[-1]),
                         "row 100 already in view before scrolling")

        left, top, right, bottom = w.scroll_bar["rect"]
        bar_w = right - left
        x = (left + right) // 2
        arrow_y = bottom - 4
        # In the track above the down arrow. Arrows and thumb are no taller
        # than the bar is wide, which bounds how low the thumb can reach.
        page_y = bottom - bar_w - 4
        lo, hi = w.scroll_bar["scroll"]["min"], w.scroll_bar["scroll"]["max"]

        def thumb_lowest(pos):
            return top + 2 * bar_w + (bottom - top - bar_w) * (pos - lo) // (hi - lo)

        seen = [w.position]
        for _ in range(hi - lo):
            before = w.position
            if before > lo and thumb_lowest(before) + 4 < page_y:
                w = self.click_and_wait(x, page_y, lambda p: p != before, "page area")
                self.assertGreater(w.position, before, "page area click scrolled up")
            else:
                # The first click, and those near the end, on the arrow: one
                # position a click.
                times = 1 if before == lo else min(ARROW_BATCH, hi - before)
                w = self.click_and_wait(x, arrow_y, lambda p: p >= before + times,
                                        "down arrow", times)
                self.assertEqual(w.position, before + times, "down arrow clicks")
            seen.append(w.position)
            self.check_panel_follows(w)
            if all(inside(c["rect"], w.viewport["rect"]) for c in w.rows()[-1]):
                break
            self.assertLess(w.position, hi, "at the end of the scroll bar, row 100 not in view")
        else:
            self.fail(f"row 100 not in view; positions seen {seen}")
        self.check_row(w, ROWS, w.rows()[-1])

    # -- cases ----------------------------------------------------------------

    def test_layout_scrolling_and_escape(self):
        w = self.snapshot()
        self.check_frame(w)
        self.check_fixed_controls(w)
        self.check_rows(w)
        self.check_panel_follows(w)

        shots = pathlib.Path(os.environ.get("TAVRIN_SCREENSHOT_DIR") or tempfile.gettempdir())
        self.session.screenshot(shots / "tavrin-window.png", w.tree["rect"])

        self.scroll_to_last_row(w)

        self.focus(w)
        self.close_with_escape()

    def test_shift_escape_does_not_close(self):
        self.focus(self.snapshot())
        self.session.key("shift+Escape")
        deadline = time.monotonic() + SETTLE
        while time.monotonic() < deadline:
            self.assertTrue(self.session.alive(self.proc), "Shift+Esc ended the program")
            self.assertTrue(self.session.window_visible(TITLE), "Shift+Esc closed the window")
        self.close_with_escape()


if __name__ == "__main__":
    unittest.main()
