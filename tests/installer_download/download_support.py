"""Shared pieces of the download black-box tests: the installer's own support
module (package service, installer window, clicks), screenshots under
artifacts/installer_download/, and checks of screen regions in layout units."""

import os
import re
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "installer"))

import installer_support  # noqa: E402
from installer_support import SHADOW, Installer, check, clean_state, data_of  # noqa: E402,F401
from pwharness import Wine, wait_until  # noqa: E402,F401

MIB = 1024 * 1024
AREA = "installer_download"

# The line of a failed attempt, as the download task writes it.
ERROR_LINE = re.compile(r"Download Faild :URLDownloadToFile hr = ([0-9a-f]{8}) size (-?\d+) / "
                        r"(-?\d+) windows pop time = (\d+)$")

# Regions of the main window in 96-DPI layout units (left, top, right, bottom),
# relative to the layout's top-left corner.
REASON_LINE = (20, 166, 580, 186)       # download_failed_msg on installfaildpage
REINSTALL_BUTTON = (240, 326, 360, 352)  # btn_reinstall under the offline button
DOWNLOAD_ALERT = (300, 355, 600, 395)    # downloadAlert at the foot of installpage


class PackageService(installer_support.PackageService):
    """The package service with its report log beside this area's screenshots."""

    def __init__(self, wine, log_name):
        super().__init__(wine, log_name)
        self.log_path = wine.artifacts(AREA, log_name)

    def package_size(self):
        return os.path.getsize(os.path.join(self.wine.build, "packages", "PageWrightSetup.exe"))

    def events_named(self, name):
        return [data_of(r) for r in self.reports() if r["eventId"] == name]


class InstallerRun:
    """An installer started for a test, ended by the test or, when a check
    fails, killed here: a copy left running would hold the single-instance
    mutex against the next test."""

    def __init__(self, wine):
        self.app = None
        self.wine = wine

    def __enter__(self):
        self.app = Installer(self.wine)
        return self.app

    def __exit__(self, *exc):
        if self.app.proc.running():
            self.app.kill()


def shot(app, name, settle=True):
    """Screenshot of the installer's window at the test's DPI, once it has stopped changing
    (settle=False: now); returns the path."""
    path = app.wine.artifacts(AREA, "%s_%d.png" % (name, app.wine.dpi))
    return app.wine.screenshot(path, app.win, settle)


def pixel_box(app, box):
    left, top = app.point(box[0], box[1])
    right, bottom = app.point(box[2], box[3])
    return left, top, right, bottom


def gray(app, png, box):
    """The region's pixels as 8-bit grey values (ImageMagick, no Python imaging needed)."""
    left, top, right, bottom = pixel_box(app, box)
    return subprocess.run(["convert", png, "-crop", "%dx%d+%d+%d" % (right - left, bottom - top,
                                                                       left, top),
                           "+repage", "-colorspace", "gray", "-depth", "8", "gray:-"],
                          capture_output=True, check=True).stdout


def marks(app, png, box, contrast=40):
    """Pixels that stand out from the region's background (its median grey):
    text or icons, on the light page as on the blue header."""
    values = gray(app, png, box)
    background = sorted(values)[len(values) // 2]
    return sum(1 for value in values if abs(value - background) > contrast)


def differs(app, png_a, png_b, box):
    """Number of pixels that differ clearly between two screenshots in the region."""
    a, b = gray(app, png_a, box), gray(app, png_b, box)
    check(len(a) == len(b), "regions of different sizes")
    return sum(1 for x, y in zip(a, b) if abs(x - y) > 24)


def error_line(text):
    match = ERROR_LINE.match(text or "")
    check(match, "failure text %r" % text)
    hr, size, total, windows = match.groups()
    return hr, int(size), int(total), int(windows)


def wait_failures(service, count, timeout=180):
    """The InstallResultReport fields once |count| failures have been reported."""
    wait_until(lambda: len(service.events_named("InstallResultReport")) >= count,
               timeout=timeout, what="%d failure report(s)" % count)
    return service.events_named("InstallResultReport")


def check_failed_download(service, failure, attempts_before):
    """One failed download: six alternating attempts, the timing report without
    a file size, and a failure report; returns (hr, size, total)."""
    requests = service.package_requests()[attempts_before:]
    sources = [r["source"] for r in requests]
    check(sources == ["service", "cdn"] * 3, "attempt sources %s" % sources)
    timing = service.events_named("DownloadTimeCost")[-1]
    check(timing.get("ret") == "1" and timing.get("retryTime") == "6" and "fileSize" not in timing,
          "DownloadTimeCost %s" % timing)
    check(failure.get("result") == "faild", "failure report %s" % failure)
    hr, size, total, _ = error_line(failure.get("errorMsg"))
    return hr, size, total


def check_reinstall_gone(app, service, page_png):
    """btn_reinstall is no longer drawn, and a click where it was starts nothing."""
    check(marks(app, page_png, REINSTALL_BUTTON) == 0,
          "btn_reinstall still drawn after the second failure (%s)" % page_png)
    requests = len(service.package_requests())
    clicks = len(service.events_named("OnClick"))
    app.click("btn_reinstall")
    time.sleep(3)  # time for a download or a click report, which must not come
    check(len(service.package_requests()) == requests, "a hidden btn_reinstall started a download")
    check(len(service.events_named("OnClick")) == clicks, "a hidden btn_reinstall sent a click")


def close_by_alt_f4(wine, app):
    wine.key("alt+F4", win=app.win)
    code = app.wait_exit(20)
    check(code == 0, "exit code after Alt+F4 %s" % code)
