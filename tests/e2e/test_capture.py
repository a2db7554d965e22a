"""F1 and key capture with real key presses, checked from outside."""

import pathlib
import sys
import unittest

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))
from tool import DPI, HOTKEY_TAKEN, ToolTest  # noqa: E402

F1 = 0x70


def scaled(pixels):
    """A 96-DPI length at the display's scale, rounded half away from zero."""
    return (pixels * DPI + 48) // 96


class CaptureTest(ToolTest):
    def test_the_window_is_laid_out_at_the_display_scale(self):
        w = self.snapshot()
        left, top, right, bottom = w.tree["rect"]
        self.assertEqual((right - left, bottom - top), (scaled(378), scaled(438)))
        rows = w.rows()
        self.assertEqual(rows[1][0]["rect"][1] - rows[0][0]["rect"][1], scaled(34) - scaled(14))
        hotkey, x, _, _ = rows[0]
        self.assertEqual(x["rect"][0] - hotkey["rect"][0], scaled(112) - scaled(8))

    def test_f1_fills_the_next_rows_with_the_pointer(self):
        self.focus_tool()
        for n, (x, y) in enumerate([(100, 120), (250, 900)], start=1):
            self.point_at(x, y)
            self.session.key("F1")
            self.wait_texts(n, ("", str(x), str(y)))
        self.assertEqual(self.texts(3), ("", "", ""))
        # While the tool runs, no other program can have F1; once it is gone, one can.
        self.assertEqual(self.hotkey_free(F1), HOTKEY_TAKEN)
        self.close_with_escape()
        self.assertIs(self.hotkey_free(F1), True)

    def test_keys_pressed_in_a_hotkey_field_fill_the_next_rows(self):
        # Each xdotool chord presses its modifier first, and that is a key too.
        presses = [
            ("a", ["A键"]),
            ("5", ["5键"]),
            ("KP_Subtract", ["减号键"]),
            ("KP_Multiply", ["乘号键"]),
            ("Control_L", ["Ctrl键"]),
            ("Return", ["回车键"]),
            ("ctrl+Tab", ["Ctrl键", "Tab键"]),
            ("shift+Escape", ["Shift键", "Esc键"]),
            ("shift+F1", ["Shift键", "F1键"]),
            # Alt or F10 alone must not leave the window in menu mode.
            ("alt", ["Alt键"]),
            ("b", ["B键"]),
            ("F10", ["F10键"]),
            ("c", ["C键"]),
        ]
        self.click_control(self.row(3)[0])
        expected = []
        for keys, names in presses:
            self.session.key(keys)
            expected += names
            self.wait_texts(len(expected), (expected[-1], "", ""))
        w = self.snapshot()
        self.assertEqual([self.texts(n, w)[0] for n in range(1, len(expected) + 2)], expected + [""])
        self.assertTrue(self.session.alive(self.proc), "Shift+Esc closed the tool")
        # Tab is not captured: it moves on to the row's x field, which takes text.
        self.session.key("Tab", "b")
        self.wait_texts(3, (expected[2], "b", ""))
        self.assertEqual(self.texts(len(expected) + 1)[0], "")
        self.close_with_escape()


if __name__ == "__main__":
    unittest.main()
