#!/usr/bin/env python3
"""Runs a Windows test program under Wine on a display and prefix of its own;
exits with the program's exit code and passes on what it printed."""
import sys

from harness import Session


def main(exe, *args):
    with Session() as session:
        proc = session.start(exe, *args)
        try:
            code = session.wait_exit(proc, timeout=300)
        finally:
            sys.stdout.write(session.output(proc))
        return code


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
