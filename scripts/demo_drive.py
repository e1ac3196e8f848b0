"""Drives the installer under Xvfb for the headless demo and saves what it shows."""

import os
import sys
import time

from pwharness import Wine


def main():
    out = sys.argv[1]
    wine = Wine()
    exe = wine.exe()
    proc = wine.start(exe)
    time.sleep(5)
    if not proc.running():
        print("the installer ended early with exit code %s" % proc.wait(5))
        return 1
    shot = wine.screenshot(os.path.join(out, "running.png"))
    print("the installer is running; screenshot: %s" % shot)
    wine.kill_all()
    return 0


if __name__ == "__main__":
    sys.exit(main())
