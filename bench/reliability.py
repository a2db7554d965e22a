#!/usr/bin/env python3
"""Many presses of a live key under Wine on a virtual display; prints a table.

  bench/reliability.py [--presses N] [--build DIR]

Runs:
  burst          N presses in one `xdotool key --delay 0`, as fast as it sends them
  burst, moving  the same with a `mousemove` to a new spot before each press
  paced          each press sent once the last click is in and the cursor is back
  paced, moving  the same with a move before each press
and, for comparison, the two bursts against tavrin-reference.exe, a minimal
program that does the same cursor move, click and move back.

Clicks are what the click target received. Where the cursor was put comes from
the X server itself (Wine's SetCursorPos grabs the pointer around each warp,
which a window under the pointer sees as an EnterNotify); a "pointer-home
failure" is a press after which the cursor was not put back where the user last
had it. Time is from just before xdotool starts to the target's last event.
Figures only: nothing here passes or fails. Build first (scripts/build.sh win32);
TAVRIN_WINE_TEMPLATE (a prefix from tests/e2e/make_prefix.sh) saves ~15 s.
"""

import argparse
import os
import pathlib
import subprocess
import sys
import time

ROOT = pathlib.Path(__file__).resolve().parent.parent
sys.path.insert(0, str(ROOT / "tests" / "e2e"))
import harness  # noqa: E402
from test_reliability import HOME, POINTS, ReliabilityTest, user_spots  # noqa: E402
from tool import HOTKEY_TAKEN  # noqa: E402

POINT = POINTS["q"]
REFERENCE_KEY = ("r", 0x52)


def now_ms():
    # The click target stamps its events with Wine's performance counter: this clock.
    return time.clock_gettime(time.CLOCK_MONOTONIC_RAW) * 1000.0


class Rig(ReliabilityTest):
    """The end-to-end test's session and helpers, driven by this script."""

    def runTest(self):
        pass

    def prepare(self, build):
        self.setUp()
        self.set_up_rows(["q"])
        self.apply(live="q")
        _, vk = REFERENCE_KEY
        self.session.start(build / "tavrin-reference.exe", "hotkey", vk, *POINT)
        harness.poll(lambda: self.hotkey_free(vk) == HOTKEY_TAKEN, 30,
                     message="reference holds its key")
        self.focus_target()
        self.log = self.watch_pointer()

    def run(self, key, presses, moving, paced):
        self.put_pointer(*HOME)
        places = user_spots(presses) if moving else [None] * presses
        clicks_before = len(self.clicks())
        log_before = len(self.log.read())
        start = now_ms()
        if paced:
            for place in places:
                try:
                    self.press_and_wait(self.log, key, place)
                except TimeoutError:
                    pass  # counted below from what did arrive
        else:
            if moving:
                chain = [a for place in places for a in ("mousemove", *place, "key", "--delay", 0, key)]
            else:
                chain = ["key", "--delay", 0, *([key] * presses)]
            self.session.xdotool(*chain)
            try:
                harness.poll(lambda: len(self.clicks()) >= clicks_before + 2 * presses,
                             10 + presses / 50)
            except TimeoutError:
                pass
        time.sleep(1.0)  # any late click or warp
        events = self.clicks()[clicks_before:]
        log = self.log.read()[log_before:]
        end_expected = places[-1] if moving else HOME
        return summarise(presses, events, log, start, end_expected, self.pointer())


def summarise(presses, events, log, start, end_expected, end_pointer):
    downs = [e for e in events if e[0] == "down"]
    ups = [e for e in events if e[0] == "up"]
    off = sum(1 for d, u in zip(downs, ups) if (d[1], d[2]) != POINT or (u[1], u[2]) != POINT)
    # A return is right when it goes where the user last put the pointer.
    user_at, returns = HOME, 0
    for kind, x, y in log:
        if kind == "move":
            user_at = (x, y)
        elif (x, y) != POINT and (x, y) == user_at:
            returns += 1
    received = f"{len(downs)}" if len(downs) == len(ups) else f"{len(downs)} down, {len(ups)} up"
    seconds = (events[-1][3] - start) / 1000 if events else float("nan")
    return {
        "presses": presses,
        "clicks": received,
        "off": off + abs(len(downs) - len(ups)),
        "home failures": max(presses - returns, 0),
        "end": "yes" if end_pointer == end_expected else f"no, at {end_pointer}",
        "seconds": seconds,
    }


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--presses", type=int, default=1000)
    parser.add_argument("--build", default=str(ROOT / "build" / "win32"))
    args = parser.parse_args()
    build = pathlib.Path(args.build)
    for name, exe in (("TAVRIN_EXE", "tavrin.exe"), ("TAVRIN_PROBE", "tavrin-probe.exe"),
                      ("TAVRIN_TARGET", "tavrin-target.exe")):
        os.environ.setdefault(name, str(build / exe))

    runs = [
        ("Tavrin, burst", "q", False, False),
        ("Tavrin, burst, moving", "q", True, False),
        ("Tavrin, paced", "q", False, True),
        ("Tavrin, paced, moving", "q", True, True),
        ("reference, burst", REFERENCE_KEY[0], False, False),
        ("reference, burst, moving", REFERENCE_KEY[0], True, False),
    ]
    rig = Rig()
    results = []
    try:
        rig.prepare(build)
        for label, key, moving, paced in runs:
            results.append((label, rig.run(key, args.presses, moving, paced)))
    finally:
        rig.doCleanups()

    print("| run | presses | clicks received | clicks off the point | pointer-home failures "
          "| pointer where the user left it at the end | time (s) |")
    print("|---|---|---|---|---|---|---|")
    for label, r in results:
        print(f"| {label} | {r['presses']} | {r['clicks']} | {r['off']} | {r['home failures']} "
              f"| {r['end']} | {r['seconds']:.2f} |")


if __name__ == "__main__":
    try:
        main()
    except subprocess.CalledProcessError as e:
        sys.exit(f"{e}\n{e.stderr}")
