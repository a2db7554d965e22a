#!/usr/bin/env python3
"""Measures the tool under Wine on a virtual display and prints a table.

  bench/run.py [--presses N] [--build DIR]

Key-to-click latency is from just before `xdotool key` starts to the click
target's button-down, both on the monotonic raw clock (Wine's performance
counter), interleaving the tool and a minimal reference program that does the
same cursor-move, click, cursor-back. Figures only: nothing here passes or fails.
"""

import argparse
import os
import pathlib
import statistics
import subprocess
import sys
import time

ROOT = pathlib.Path(__file__).resolve().parent.parent
sys.path.insert(0, str(ROOT / "tests" / "e2e"))
import harness  # noqa: E402
from test_window import TITLE, Window, centre  # noqa: E402

REFERENCE_TITLE = "Tavrin reference"
TARGET_RECT = (0, 0, 440, 1024)
TOOL_POINT = (100, 200)
REFERENCE_POINT = (100, 300)
HOME = (200, 600)
TIMEOUT = 30


def now_ms():
    return time.clock_gettime(time.CLOCK_MONOTONIC_RAW) * 1000.0


class Bench:
    def __init__(self, session, build):
        self.session = session
        self.build = build
        self.exe = build / "tavrin.exe"

    def downs(self):
        out = self.session.output(self.target)
        return [float(line.split()[3]) for line in out.splitlines() if line.startswith("down ")]

    def snapshot(self):
        return Window(self.session.probe("tree", TITLE))

    def click(self, control):
        self.session.click(*centre(control["rect"]))

    def wait_visible(self, title, since):
        """Milliseconds from `since` until an X window with this title is mapped."""
        pattern = f"^{title}$"
        deadline = time.monotonic() + 60
        while time.monotonic() < deadline:
            found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", pattern],
                                   env=self.session.env, capture_output=True, text=True)
            if found.stdout.strip():
                return now_ms() - since
            time.sleep(0.005)
        raise TimeoutError(title)

    def start_target(self):
        left, top, right, bottom = TARGET_RECT
        self.target = self.session.start(self.build / "tavrin-target.exe", left, top, right - left, bottom - top)
        harness.poll(lambda: "ready" in self.session.output(self.target), 30, message="target")

    def prepare_tool(self):
        """One row: F1 over the target, the key Q, enabled, applied."""
        self.tool = self.session.start(self.exe)
        self.wait_visible(TITLE, now_ms())
        w = self.snapshot()
        label = next(c for c in w.children if c["class"] == "Static" and c["text"] == "热键")
        self.click(label)
        self.session.move(*TOOL_POINT)
        harness.poll(lambda: self.session.probe("cursor") == dict(zip("xy", TOOL_POINT)), TIMEOUT)
        self.session.key("F1")
        harness.poll(lambda: self.snapshot().rows()[0][1]["text"] == str(TOOL_POINT[0]), TIMEOUT)
        row = self.snapshot().rows()[0]
        self.click(row[0])
        self.session.key("q")
        harness.poll(lambda: self.snapshot().rows()[0][0]["text"] == "Q键", TIMEOUT)
        self.click(row[3])
        harness.poll(lambda: self.snapshot().rows()[0][3]["check"] == 1, TIMEOUT)
        apply = next(c for c in self.snapshot().children if c["class"] == "Button" and c["text"] == "应用")
        self.click(apply)
        harness.poll(lambda: self.session.probe("register-hotkey", 0x51)["ok"] is False, TIMEOUT)

    def latency(self, presses):
        self.reference = self.session.start(self.build / "tavrin-reference.exe", "hotkey", 0x57, *REFERENCE_POINT)
        harness.poll(lambda: self.session.probe("register-hotkey", 0x57)["ok"] is False, TIMEOUT)
        self.session.click(20, 20)  # the target in front
        self.session.move(*HOME)
        time.sleep(0.5)
        results = {"tool": [], "reference": []}
        lost = {"tool": 0, "reference": 0}
        for i in range(presses):
            order = [("q", "tool"), ("w", "reference")]
            if i % 2:
                order.reverse()
            for key, who in order:
                before = len(self.downs())
                start = now_ms()
                subprocess.run(["xdotool", "key", key], env=self.session.env, check=True)
                try:
                    harness.poll(lambda: len(self.downs()) > before, 2, interval=0.001)
                except TimeoutError:
                    lost[who] += 1
                    continue
                results[who].append(self.downs()[before] - start)
                time.sleep(0.02)
        return results, lost

    def startup(self, runs):
        """The tool against the same number of plain edits, and of edits in
        the message font, as the tool's controls are."""
        programs = {
            "tool": ([self.exe], TITLE),
            "reference": ([self.build / "tavrin-reference.exe", "controls", 404], REFERENCE_TITLE),
            "reference with font": ([self.build / "tavrin-reference.exe", "controls", 404, "font"], REFERENCE_TITLE),
        }
        times = {who: [] for who in programs}
        for _ in range(runs):
            for who, (command, title) in programs.items():
                start = now_ms()
                proc = self.session.start(*command)
                times[who].append(self.wait_visible(title, start))
                proc.kill()
                proc.wait()
                time.sleep(0.3)
        return times

    def idle_cpu(self, seconds, in_front, command=None, title=TITLE):
        """CPU a program uses doing nothing: in front (a caret blinks) or
        behind another program's window, as while the user works there."""
        proc = self.session.start(*(command or [self.exe]))
        self.wait_visible(title, now_ms())
        if not in_front:
            self.session.click(20, 20)
        time.sleep(1)

        def ticks():
            fields = pathlib.Path(f"/proc/{proc.pid}/stat").read_text().rsplit(")", 1)[1].split()
            return int(fields[11]) + int(fields[12])  # utime + stime

        before = ticks()
        time.sleep(seconds)
        used = (ticks() - before) * 1000.0 / os.sysconf("SC_CLK_TCK")
        proc.kill()
        proc.wait()
        return used

    def apply_time(self):
        code, out, err = 0, "", ""
        proc = self.session.start(self.build / "tavrin-apply-bench.exe")
        code = proc.wait(timeout=60)
        out = self.session.output(proc)
        values = dict(line.split() for line in out.splitlines() if len(line.split()) == 2)
        if code != 0 or "apply_again_median_ms" not in values:
            raise RuntimeError(f"apply bench failed: {out}{err}")
        return values


def percentile(values, p):
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, int(round(p / 100 * (len(ordered) - 1))))]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--presses", type=int, default=200)
    parser.add_argument("--startups", type=int, default=10)
    parser.add_argument("--build", default=str(ROOT / "build" / "win32"))
    args = parser.parse_args()
    build = pathlib.Path(args.build)

    rows = []
    with harness.Session() as session:
        bench = Bench(session, build)
        bench.start_target()
        bench.prepare_tool()
        latency, lost = bench.latency(args.presses)
        bench.tool.kill()
        bench.tool.wait()
        bench.reference.kill()
        bench.reference.wait()
        startup = bench.startup(args.startups)
        idle_front = bench.idle_cpu(10, True)
        idle_back = bench.idle_cpu(10, False)
        reference = [build / "tavrin-reference.exe", "controls", 404, "font"]
        idle_reference = bench.idle_cpu(10, False, reference, REFERENCE_TITLE)
        apply = bench.apply_time()

    t, r = latency["tool"], latency["reference"]
    rows.append(("key to click p50 (ms)", f"{statistics.median(t):.1f}", f"{statistics.median(r):.1f}",
                 f"{statistics.median(t) / statistics.median(r):.2f}"))
    rows.append(("key to click p95 (ms)", f"{percentile(t, 95):.1f}", f"{percentile(r, 95):.1f}",
                 f"{percentile(t, 95) / percentile(r, 95):.2f}"))
    rows.append(("presses without a click", f"{lost['tool']} of {args.presses}",
                 f"{lost['reference']} of {args.presses}", ""))
    st = statistics.median(startup["tool"])
    for who in ("reference", "reference with font"):
        sr = statistics.median(startup[who])
        rows.append((f"start to window shown, median (ms), against the {who}", f"{st:.0f}", f"{sr:.0f}",
                     f"{st / sr:.2f}"))
    rows.append(("CPU while idle 10 s in front, caret blinking (ms)", f"{idle_front:.0f}", "", ""))
    rows.append(("CPU while idle 10 s behind another window (ms)", f"{idle_back:.0f}", f"{idle_reference:.0f}", ""))
    rows.append(("tavrin.exe size (KiB)", f"{(build / 'tavrin.exe').stat().st_size / 1024:.0f}", "", ""))
    rows.append(("one Apply of 100 enabled rows, median (ms)", apply["apply_again_median_ms"], "",
                 f"{apply['live_keys']} keys live"))

    print("| measure | Tavrin | reference | ratio |")
    print("|---|---|---|---|")
    for row in rows:
        print("| " + " | ".join(row) + " |")


if __name__ == "__main__":
    main()
