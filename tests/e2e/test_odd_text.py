"""Odd text pasted into a row's x and y fields: very long, junk, control
characters, emoji, unpaired surrogates, wide digits. The tool must keep
running, the field must hold what the edit control keeps of the paste, and
the row's key must click where the number the text starts with says.

Env: as tool.py, and TAVRIN_CLIP (tavrin-clip.exe).
"""

import os
import pathlib
import random
import sys
import unittest

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))
import harness  # noqa: E402
from test_window import TITLE, centre  # noqa: E402
from tool import INPUT_TIMEOUT, TARGET_RECT, ToolTest  # noqa: E402

KEY = "q"
START = (60, 80)  # the row's point before any paste
CLIP_TIMEOUT = 30
# What a single-line edit keeps of a paste, in UTF-16 units, unless told otherwise.
EDIT_LIMIT = 30000
MODULUS = 2 ** 32


def value_mod_2_32(digits):
    """The value of a string of ASCII digits modulo 2^32 (Python's ints are unbounded)."""
    value = 0
    for d in digits:
        value = (value * 10 + int(d)) % MODULUS
    return value


def digits_worth(length, value, rng):
    """`length` digits, the first one not 0, whose value is `value` modulo 2^32."""
    head = str(rng.randint(1, 9)) + "".join(rng.choice("0123456789") for _ in range(length - 11))
    # The last ten digits cover every residue: 10^10 > 2^32.
    tail = (value - value_mod_2_32(head) * 10 ** 10) % MODULUS
    digits = head + f"{tail:010d}"
    assert len(digits) == length and value_mod_2_32(digits) == value
    return digits


def units(text):
    """Length in UTF-16 code units, as the edit control counts."""
    return len(text.encode("utf-16-le", "surrogatepass")) // 2


def junk(length, rng):
    """`length` UTF-16 units of mixed characters, none of them a line break."""
    pieces = (["a", "Z", "x", ".", "/", ":", "?", "~", "$", "*", "#", "\t", "\x01", "\x1b", "\x7f", "\r",
               "热", "键", "Ａ", "～", "￥", "★", "\u00a0", "\u3000", "１", "－", "\ufeff", "\u200b",
               "\ud800", "\udfff"]
              + ["😀", "👍", "\U0010ffff"])  # two units each
    text = ""
    while units(text) < length:
        piece = rng.choice(pieces)
        if units(text) + units(piece) <= length:
            text += piece
    return text


def read_back(text):
    """The text as the probe reads it: it converts to UTF-8, which turns an
    unpaired surrogate into U+FFFD."""
    return text.encode("utf-16-le", "surrogatepass").decode("utf-16-le", "replace")


def cases():
    """(what, field, pasted text, what the field then holds, where the key clicks).
    Each changes the point from the one before, so a paste that did not
    arrive cannot pass. Clamped points are those Windows puts the cursor at."""
    rng = random.Random(4242)
    huge = digits_worth(10000, 300, rng)
    over_limit = digits_worth(EDIT_LIMIT, 200, rng) + "".join(rng.choice("0123456789") for _ in range(10000))
    assert value_mod_2_32(over_limit) != 200, "the cut-off part must matter"
    mixed = "250px" + junk(10000 - 5, rng)
    return [
        ("full-width digits", "x", "１２３", None, (123, 80)),
        ("ideographic space, then a negative x: clamped to the screen", "x", "\u3000-45", None, (0, 80)),
        ("10,000 characters, leading zeros", "x", "0" * 9997 + "123", None, (123, 80)),
        ("10,000 digits, 300 modulo 2^32", "x", huge, None, (300, 80)),
        ("10,000 characters of junk after 250", "x", mixed, None, (250, 80)),
        ("digits, then an emoji", "x", "12😀", None, (12, 80)),
        ("an emoji, then digits", "x", "😀12", None, (0, 80)),
        ("tab, vertical tab and form feed are white space", "x", "\t\v\f 77\t9", None, (77, 80)),
        ("only the first line is kept", "x", "31\r\n45\n6", "31", (31, 80)),
        ("another control character stops the number", "x", "\x01 5", None, (0, 80)),
        ("an unpaired high surrogate after digits", "x", "56\ud800", None, (56, 80)),
        ("an unpaired low surrogate before digits", "x", "\udc0042", None, (0, 80)),
        ("wraps modulo 2^32", "x", "4294967396", None, (100, 80)),
        ("2^31 wraps to the most negative x: clamped", "x", "2147483648", None, (0, 80)),
        ("a huge y: clamped to the screen's bottom", "y", "99999999999", None, (0, 1023)),
        ("the most negative y: clamped to the top", "y", "-2147483648", None, (0, 0)),
        ("over the edit's limit: only what it keeps counts", "x", over_limit, over_limit[:EDIT_LIMIT],
         (200, 0)),
        ("full-width digits in y", "y", "４０８", None, (200, 408)),
    ]


class OddTextTest(ToolTest):
    def setUp(self):
        super().setUp()
        self.clip = os.environ.get("TAVRIN_CLIP")
        if not self.clip or not os.path.isfile(self.clip):
            self.fail(f"TAVRIN_CLIP does not name a file: {self.clip!r}")
        self.pastes = 0

    def set_up_row(self):
        """Row 1 made as a user makes it: F1 over the target, a key, enabled, applied."""
        self.focus_tool()
        self.point_at(*START)
        self.session.key("F1")
        self.wait_texts(1, ("", str(START[0]), str(START[1])))
        self.click_control(self.row(1)[0])
        self.session.key(KEY)
        self.wait_texts(1, (KEY.upper() + "键", str(START[0]), str(START[1])))
        box = self.row(1)[3]
        self.click_control(box)
        harness.poll(lambda: self.row(1)[3]["check"] == 1, INPUT_TIMEOUT, message="row 1 enabled")
        button = next(c for c in self.snapshot().children if c["class"] == "Button" and c["text"] == "应用")
        self.click_control(button)

    def put_on_clipboard(self, text):
        self.pastes += 1
        path = self.session.tmp / f"clip-{self.pastes}.txt"
        path.write_bytes(text.encode("utf-16-le", "surrogatepass"))
        proc = self.session.start(self.clip, "Z:" + str(path).replace("/", "\\"))
        self.assertEqual(proc.wait(timeout=CLIP_TIMEOUT), 0, self.session.output(proc))

    def paste(self, field, text):
        """Selects all of the field's text and pastes `text` over it."""
        self.put_on_clipboard(text)
        # The key's click gave the target the focus: keys sent before the tool
        # has it back would go to the target.
        self.session.focus(TITLE, *centre(field["rect"]))
        self.session.key("ctrl+a")
        self.session.key("ctrl+v")

    def assert_field_holds(self, column, expected):
        def holds():
            return self.texts(1)[column] == expected
        try:
            harness.poll(holds, INPUT_TIMEOUT, message="pasted text in the field")
        except TimeoutError:
            got = self.texts(1)[column]
            first = next((i for i, (a, b) in enumerate(zip(got, expected)) if a != b),
                         min(len(got), len(expected)))
            self.fail(f"field holds {len(got)} characters, expected {len(expected)}; first difference at "
                      f"{first}: {got[first:first + 20]!r} instead of {expected[first:first + 20]!r}")

    def press_and_get_click(self):
        before = len(self.clicks())
        self.session.key(KEY)
        try:
            harness.poll(lambda: len(self.clicks()) >= before + 2, INPUT_TIMEOUT,
                         message="a click on the target")
        except TimeoutError:
            pass  # the assertion below shows what came
        return self.clicks()[before:before + 2]

    def test_odd_text_is_kept_and_read_as_the_number_it_starts_with(self):
        self.set_up_row()
        presses = 0
        for what, field, text, kept, point in cases():
            with self.subTest(what):
                left, top, right, bottom = TARGET_RECT
                self.assertTrue(left <= point[0] < right and top <= point[1] < bottom,
                                "point not on the target")
                column = {"x": 1, "y": 2}[field]
                control = self.row(1)[column]
                self.paste(control, text)
                self.assertTrue(self.session.alive(self.proc), "the tool ended")
                self.assert_field_holds(column, read_back(text if kept is None else kept))
                events = self.press_and_get_click()
                presses += 1
                self.assertEqual([(e[0], e[1], e[2]) for e in events], [("down", *point), ("up", *point)])
                # Put back where it was: on the field just clicked.
                home = centre(control["rect"])
                try:
                    harness.poll(lambda: self.pointer() == home, INPUT_TIMEOUT, message="pointer back")
                except TimeoutError:
                    self.assertEqual(self.pointer(), home, "pointer not put back")
        # Nothing clicked twice, late or elsewhere on the target.
        self.assertEqual(len(self.clicks()), 2 * presses)
        self.close_with_escape()


if __name__ == "__main__":
    unittest.main()
