"""End-to-end test session: a private Xvfb display and Wine prefix.

Environment:
  TAVRIN_PROBE           tavrin-probe.exe (required by Session.probe)
  TAVRIN_WINE_TEMPLATE   prefix made by make_prefix.sh; without it each
                         session makes its own (about 15 s)
  TAVRIN_E2E_KEEP=1      keep the session's temp dir, for debugging
"""

import json
import os
import pathlib
import re
import select
import shutil
import subprocess
import tempfile
import time

HERE = pathlib.Path(__file__).resolve().parent
DLL_OVERRIDES = "mscoree,mshtml=;winemenubuilder.exe=d;winedbg.exe=d"
SCREEN = (1280, 1024)


def poll(condition, timeout, interval=0.02, message="condition"):
    """Returns condition()'s first truthy value; raises on the deadline."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() >= deadline:
            raise TimeoutError(f"{message} not met within {timeout} s")
        time.sleep(interval)


class Session:
    def __init__(self, xvfb_timeout=10, dpi=None):
        """dpi: the display's scale for Windows programs (Wine's LogPixels);
        None keeps the prefix's 96."""
        self._xvfb_timeout = xvfb_timeout
        self._dpi = dpi
        self._xvfb = None
        self._started = []
        self.tmp = None
        self.env = None

    # -- life cycle -------------------------------------------------------

    def __enter__(self):
        self.tmp = pathlib.Path(tempfile.mkdtemp(prefix="tavrin-e2e-"))
        try:
            display = self._start_xvfb()
            prefix = self.tmp / "prefix"
            env = dict(os.environ)
            env.pop("WAYLAND_DISPLAY", None)
            env.update(
                WINEPREFIX=str(prefix),
                WINEARCH="win32",
                WINEDLLOVERRIDES=DLL_OVERRIDES,
                WINEDEBUG="-all",
                DISPLAY=display,
                # The wineserver socket lives under TMPDIR: keep it ours.
                TMPDIR=str(self.tmp),
            )
            self.env = env
            self._make_prefix(prefix)
            # Started before any program: two wine processes that both find
            # no server race to create its socket dir, and one can fail.
            subprocess.run(["wineserver", "-p"], env=env, check=True)
            if self._dpi is not None:
                subprocess.run(["wine", "reg", "add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels",
                                "/t", "REG_DWORD", "/d", str(self._dpi), "/f"],
                               env=env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL, check=True)
        except BaseException:
            self.__exit__(None, None, None)
            raise
        return self

    def __exit__(self, *exc):
        if self.env is not None:
            subprocess.run(["wineserver", "-k"], env=self.env,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for proc in self._started:
            try:
                proc.wait(timeout=10)
            except subprocess.TimeoutExpired:
                proc.kill()
                proc.wait()
        if self._xvfb is not None:
            self._xvfb.terminate()
            try:
                self._xvfb.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self._xvfb.kill()
                self._xvfb.wait()
        if self.tmp is not None:
            if os.environ.get("TAVRIN_E2E_KEEP") == "1":
                print(f"kept {self.tmp}")
            else:
                shutil.rmtree(self.tmp, ignore_errors=True)
        return False

    def _start_xvfb(self):
        read_fd, write_fd = os.pipe()
        try:
            with open(self.tmp / "xvfb.log", "wb") as log:
                self._xvfb = subprocess.Popen(
                    ["Xvfb", "-displayfd", str(write_fd), "-screen", "0",
                     f"{SCREEN[0]}x{SCREEN[1]}x24", "-nolisten", "tcp"],
                    pass_fds=(write_fd,), stdout=subprocess.DEVNULL,
                    stderr=log)
            os.close(write_fd)
            write_fd = None
            data = b""
            deadline = time.monotonic() + self._xvfb_timeout
            while not data.endswith(b"\n"):
                left = deadline - time.monotonic()
                if left <= 0 or not select.select([read_fd], [], [], left)[0]:
                    raise RuntimeError("Xvfb did not report its display")
                chunk = os.read(read_fd, 64)
                if not chunk:
                    raise RuntimeError("Xvfb exited: see xvfb.log")
                data += chunk
            return ":" + data.decode().strip()
        finally:
            os.close(read_fd)
            if write_fd is not None:
                os.close(write_fd)

    def _make_prefix(self, prefix):
        template = os.environ.get("TAVRIN_WINE_TEMPLATE")
        if template:
            subprocess.run(["cp", "-a", template, str(prefix)], check=True)
            # Names the server's socket dir; a fresh one is made under TMPDIR.
            (prefix / "wineserver").unlink(missing_ok=True)
        else:
            env = dict(self.env)
            env.pop("DISPLAY")
            with open(self.tmp / "make_prefix.log", "wb") as log:
                subprocess.run(["sh", str(HERE / "make_prefix.sh"), str(prefix)],
                               env=env, stdout=log, stderr=subprocess.STDOUT,
                               check=True)

    # -- programs ---------------------------------------------------------

    def start(self, exe, *args):
        """Starts a Windows program; its pid is the program's own."""
        name = pathlib.Path(exe).stem
        n = len(self._started)
        with open(self.tmp / f"{name}-{n}.out", "wb") as out, \
                open(self.tmp / f"{name}-{n}.err", "wb") as err:
            proc = subprocess.Popen(["wine", str(exe), *map(str, args)],
                                    env=self.env, stdin=subprocess.DEVNULL,
                                    stdout=out, stderr=err)
        self._started.append(proc)
        return proc

    def output(self, proc):
        """What a started program wrote to stdout and stderr, for messages."""
        n = self._started.index(proc)
        name = pathlib.Path(proc.args[1]).stem
        return "".join(
            (self.tmp / f"{name}-{n}.{kind}").read_text(errors="replace")
            for kind in ("out", "err"))

    @staticmethod
    def alive(proc):
        """A zombie counts as dead."""
        stat = subprocess.run(["ps", "-o", "stat=", "-p", str(proc.pid)],
                              capture_output=True, text=True).stdout.strip()
        return bool(stat) and not stat.startswith("Z")

    @staticmethod
    def wait_exit(proc, timeout):
        """The exit code; raises subprocess.TimeoutExpired."""
        return proc.wait(timeout=timeout)

    def run_probe(self, *args, timeout=30):
        """Runs tavrin-probe; returns (exit code, stdout, stderr)."""
        probe = os.environ.get("TAVRIN_PROBE")
        if not probe:
            raise RuntimeError("TAVRIN_PROBE is not set")
        # Files, not pipes: a wine process may start the prefix's services,
        # which inherit its handles and would hold a pipe open.
        with tempfile.TemporaryFile(dir=self.tmp) as out, \
                tempfile.TemporaryFile(dir=self.tmp) as err:
            code = subprocess.run(["wine", probe, *map(str, args)],
                                  env=self.env, stdin=subprocess.DEVNULL,
                                  stdout=out, stderr=err,
                                  timeout=timeout).returncode
            out.seek(0)
            err.seek(0)
            return (code, out.read().decode("utf-8"),
                    err.read().decode("utf-8", errors="replace"))

    def probe(self, *args, timeout=30):
        """Runs tavrin-probe and returns its parsed JSON output."""
        code, out, err = self.run_probe(*args, timeout=timeout)
        if code != 0:
            raise RuntimeError(
                f"probe {' '.join(map(str, args))} exited {code}: {err.strip()}")
        return json.loads(out)

    def wait_window(self, title, timeout):
        """True once a visible top-level window has this exact title."""
        code, _, _ = self.run_probe("wait", title, int(timeout * 1000),
                                    timeout=timeout + 30)
        return code == 0

    def window_visible(self, title):
        """True if a visible top-level window has this exact title now."""
        return self.run_probe("wait", title, 0)[0] == 0

    # -- display ----------------------------------------------------------

    def xdotool(self, *args):
        return subprocess.run(["xdotool", *map(str, args)], env=self.env,
                              check=True, capture_output=True,
                              text=True).stdout

    def click(self, x, y, button=1, repeat=1):
        # No --sync (see move): the X server keeps the move and the click in
        # order anyway.
        self.xdotool("mousemove", x, y, "click", "--repeat", repeat,
                     "--delay", 50, button)

    def move(self, x, y, timeout=5):
        """Moves the pointer and waits until X reports it there.

        Not `mousemove --sync`: with Wine running, a move to where the pointer
        already is makes it wait about 15 s for a motion that never comes."""
        self.xdotool("mousemove", x, y)
        poll(lambda: self.xdotool("getmouselocation", "--shell").split()[:2]
             == [f"X={x}", f"Y={y}"], timeout, message=f"pointer at {x},{y}")

    def key(self, *keys):
        self.xdotool("key", *keys)

    def focus(self, title, x, y, timeout=5):
        """Clicks (x, y) and waits until the window titled so has the X focus.

        Without a window manager a click is how a window gets the focus."""
        ids = set(self.xdotool("search", "--name", f"^{re.escape(title)}$").split())
        self.click(x, y)
        poll(lambda: self.xdotool("getwindowfocus").strip() in ids, timeout,
             message=f"focus on {title!r}")

    def screenshot(self, path, rect=None):
        """The whole screen, or only rect = [left, top, right, bottom]."""
        cmd = ["import", "-window", "root"]
        if rect is not None:
            left, top, right, bottom = rect
            cmd += ["-crop", f"{right - left}x{bottom - top}+{left}+{top}",
                    "+repage"]
        pathlib.Path(path).parent.mkdir(parents=True, exist_ok=True)
        subprocess.run(cmd + [str(path)], env=self.env, check=True)
