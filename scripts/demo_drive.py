"""Drives the installer under Xvfb for the headless demo: opens the customize
bar, presses 立即安装, waits for 安装成功, presses 立即体验, and leaves a
screenshot of every page plus the decoded report log in the given folder.

The package service is already running (scripts/demo.sh starts it and writes
its report log to <folder>/reports.jsonl)."""

import json
import os
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "harness"))
sys.path.insert(0, os.path.join(ROOT, "tests", "installer"))

from installer_support import Installer, PackageService  # noqa: E402
from pwharness import Wine, wait_until  # noqa: E402


class RunningService(PackageService):
    """The service demo.sh started: only its control and log routes are used."""

    def __init__(self):
        self.proc = None


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    wine = Wine()
    # demo.sh names the image to drive (the shipped 32-bit one where it runs).
    program = os.environ.get("PW_DEMO_EXE")
    if program:
        wine.exe = lambda name=None: program
    service = RunningService()

    shots = []

    def shot(name):
        shots.append(name)
        path = os.path.join(out, "%02d_%s.png" % (len(shots), name))
        wine.screenshot(path, app.win)
        print("screenshot: %s" % path)

    app = Installer(wine)
    shot("welcome")
    app.click("btn_customize")
    shot("customize_bar")
    app.click("btn_startinstall")
    time.sleep(1)
    shot("downloading")
    wait_until(lambda: "InstallTimeCost" in service.events() or not app.proc.running(),
               timeout=300, what="setup finished")
    wait_until(lambda: "InstallResultReport" in service.events(), timeout=60,
               what="result report")
    time.sleep(1)
    shot("installed")
    app.click("btn_startapp")
    code = app.wait_exit(30)
    print("the installer ended with exit code %s" % code)

    reports = service.reports()
    decoded = os.path.join(out, "reports_decoded.json")
    with open(decoded, "w", encoding="utf-8") as f:
        json.dump(reports, f, ensure_ascii=False, indent=2)
    for report in reports:
        print(json.dumps({"eventId": report.get("eventId"), "data": report.get("data")},
                         ensure_ascii=False))
    print("decoded reports: %s" % decoded)
    return 0 if code == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
