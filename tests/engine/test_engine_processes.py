"""FindProcessesByName under Wine with real running copies of the demo
product: exact, case-sensitive names, and termination of every instance."""

import os
import shutil
import sys
import time

from engine_support import Checks, Drive, Probe, Wine


def start_product(wine, drive, folder, exe_name):
    os.makedirs(drive.path(folder), exist_ok=True)
    shutil.copy(os.path.join(wine.build, "packages", "product", "pageWright.exe"),
                drive.path(folder, exe_name))
    proc = wine.start(drive.path(folder, exe_name), ["--stay=300"])
    log = drive.path(folder, "launches.log")
    deadline = time.time() + 120
    while not os.path.exists(log) and time.time() < deadline:
        time.sleep(0.2)
    return proc


def main():
    wine = Wine()
    probe = Probe(wine)
    drive = Drive(wine, "pw engine procs")
    checks = Checks()
    running = []
    try:
        checks.equal("none running", probe.run("find", "pageWright.exe")["count"], 0)
        running.append(start_product(wine, drive, "a", "pageWright.exe"))
        running.append(start_product(wine, drive, "b", "pageWright.exe"))
        other = start_product(wine, drive, "c", "PageWright.exe")
        running.append(other)

        checks.equal("two instances", probe.run("find", "pageWright.exe")["count"], 2)
        checks.equal("other case counted apart", probe.run("find", "PageWright.exe")["count"], 1)
        checks.equal("no partial match", probe.run("find", "pageWright")["count"], 0)

        checks.equal("terminate counts both",
                     probe.run("find", "pageWright.exe", "terminate")["count"], 2)
        deadline = time.time() + 60
        while (running[0].running() or running[1].running()) and time.time() < deadline:
            time.sleep(0.2)
        checks.true("first instance ended", not running[0].running())
        checks.true("second instance ended", not running[1].running())
        checks.equal("none left", probe.run("find", "pageWright.exe")["count"], 0)
        checks.true("PageWright.exe untouched", other.running())
        checks.equal("PageWright.exe still counted", probe.run("find", "PageWright.exe")["count"], 1)
    finally:
        for proc in running:
            proc.kill()
        drive.cleanup()
    return checks.finish()


if __name__ == "__main__":
    sys.exit(main())
