"""The setup task and the product launch under Wine with the real NSIS package:
runs until success (at most three), exit codes, a folder with blanks after an
unquoted " /D=", and quoted executable paths that a decoy "C:\\...\\pw.exe"
cannot hijack."""

import os
import shutil
import sys
import time

from engine_support import Checks, Drive, PackageService, Probe, Wine, report

INSTALL_SUB = ("Program Files (x86)", "zorvikmedia", "pageWright")


def read_utf16(path):
    if not os.path.exists(path):
        return None
    with open(path, "rb") as f:
        return f.read().decode("utf-16-le").strip()


def fetch_package(probe, service, drive, setup):
    """Downloads a package whose first runs fail as `setup` says; its Windows path."""
    service.control(setup=setup)
    data = probe.run("download", service.package_url, service.cdn_url, drive.win("pw engine", "dl"))
    assert data["result"] == 0, data
    return data["packagePath"]


def main():
    wine = Wine()
    service = PackageService(wine)
    probe = Probe(wine)
    # "pwq\pw.exe" is the decoy an unquoted "C:\pwq\pw engine\..." would start.
    drive = Drive(wine, "pwq")
    decoy_log = drive.path("launches.log")
    checks = Checks()
    product = os.path.join(wine.build, "packages", "product", "pageWright.exe")
    shutil.copy(product, drive.path("pw.exe"))
    try:
        # Two failed runs, then success; the folder has blanks and parentheses.
        package = fetch_package(probe, service, drive, {"exit": 5, "runs": 2})
        target = drive.win("pw engine", *INSTALL_SUB)
        data = probe.run("install", package, target)
        checks.equal("retry exit code", data["setupExitCode"], 0)
        checks.equal("retry failures", data["failures"], 2)
        checks.equal("retry report", report(data, "InstallTimeCost")[1:],
                     [["ret", "0"], ["retryTime", "2"]])
        checks.true("retry package held before the run", data["heldBefore"])
        checks.true("retry package released after", data["releasedAfter"])
        installed = drive.path("pw engine", *INSTALL_SUB, "pageWright.exe")
        checks.true("product installed into the folder with blanks", os.path.exists(installed))
        cmdline = read_utf16(drive.path("pw engine", *INSTALL_SUB, "setup-cmdline.txt"))
        # NSIS takes " /D=..." off the end of the command line it shows; the
        # product landing in the folder above is what proves it arrived whole.
        checks.equal("setup command line", cmdline, '"%s" /S' % package)
        checks.true("decoy not started by the setup run", not os.path.exists(decoy_log))

        # The product starts from its quoted path with --install.
        data = probe.run("launch", target)
        checks.true("launch started", data["started"])
        launches = drive.path("pw engine", *INSTALL_SUB, "launches.log")
        deadline = time.time() + 60
        # The product creates the file before it writes the line.
        while time.time() < deadline and not (os.path.exists(launches) and
                                               open(launches, "rb").read().endswith(b"\n")):
            time.sleep(0.2)
        checks.equal("product command line",
                     open(launches, encoding="utf-8").read().strip() if os.path.exists(launches)
                     else None,
                     '"%s\\pageWright.exe" --install' % target)
        checks.true("decoy not started by the launch", not os.path.exists(decoy_log))

        # The desktop's shell is tried first: when it starts the product, nothing else does;
        # when it cannot, the product is started once the plain way.
        def launch_lines():
            return open(launches, encoding="utf-8").read().splitlines()
        data = probe.run("launch", target, "route-works")
        checks.equal("route asked once with the path, --install and the folder",
                     data["routeCalls"], [[target + "\\pageWright.exe", "--install", target]])
        data = probe.run("launch", target, "route-fails")
        checks.equal("failed route asked once", len(data["routeCalls"]), 1)
        checks.true("started after the failed route", data["started"])
        deadline = time.time() + 60
        while time.time() < deadline and not (len(launch_lines()) >= 2 and
                                               open(launches, "rb").read().endswith(b"\n")):
            time.sleep(0.2)
        time.sleep(1)  # a second start, if there were one, would show by now
        checks.equal("one plain start after the failed route, none for the working one",
                     launch_lines(), ['"%s\\pageWright.exe" --install' % target] * 2)

        # Three failed runs: the third code, signed.
        package = fetch_package(probe, service, drive, {"exit": -7, "runs": 3})
        data = probe.run("install", package, drive.win("pw engine", "three"))
        checks.equal("three exit code", data["setupExitCode"], -7)
        checks.equal("three failures", data["failures"], 3)
        checks.equal("three report", report(data, "InstallTimeCost")[1:],
                     [["ret", "-7"], ["retryTime", "3"]])
        checks.true("three nothing installed",
                    not os.path.exists(drive.path("pw engine", "three", "pageWright.exe")))

        # A package that is gone: the start error stands in for the exit code.
        data = probe.run("install", drive.win("pw engine", "dl", "missing.exe"),
                         drive.win("pw engine", "missing"))
        checks.equal("missing exit code", data["setupExitCode"], 2)
        checks.equal("missing report", report(data, "InstallTimeCost")[1:],
                     [["ret", "2"], ["retryTime", "3"]])
        checks.true("missing reason text", data["reason"] != "")
    finally:
        service.stop()
        drive.cleanup()
    return checks.finish()


if __name__ == "__main__":
    sys.exit(main())
