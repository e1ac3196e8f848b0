"""Shared pieces of the installer's black-box tests: the local package
service, a clean prefix state, the installer window and its click targets."""

import json
import os
import shutil
import subprocess
import sys
import urllib.request

from pwharness import HarnessError, Wine, wait_until

APPINFO_KEY = r"HKCU\Software\pagewright\AppInfo"
TITLE = "岚枢PDF转换器 安装程序"
HOST_PORT = os.environ.get("PW_STATS_HOST", "127.0.0.1:18650")

# Click targets in 96-DPI layout units, relative to the layout's top-left
# corner (the window adds the shadow margin around it).
TARGETS = {
    "btn_startinstall": (300, 302),
    "btn_customize": (520, 385),
    "btn_expand": (560, 385),
    "btn_changeinstallpath": (535, 424),
    "btn_exit": (572, 22),
    "btn_startapp": (300, 302),
    "btn_reinstall": (300, 339),
    "btn_redownload": (300, 283),
    "btn_quitStart": (467, 354),
    "btn_continueInstall": (553, 354),
    "checkbox_1": (8, 126),
    "checkbox_2": (8, 158),
    "checkbox_4": (308, 126),
    "edit_feedback": (300, 280),
}
SHADOW = 14


class PackageService:
    """tools/package_service.py on the build's statistics host."""

    def __init__(self, wine, log_name):
        self.wine = wine
        self.log_path = wine.artifacts("installer", log_name)
        self.proc = None

    def __enter__(self):
        script = os.path.join(self.wine.source, "tools", "package_service.py")
        self.proc = subprocess.Popen(
            [sys.executable, script, "--listen", HOST_PORT, "--build", self.wine.build,
             "--log", self.log_path], stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
        line = self.proc.stdout.readline()
        if "listening" not in line:
            self.proc.kill()
            raise HarnessError("package service did not start: %r" % line)
        return self

    def __exit__(self, *exc):
        if self.proc and self.proc.poll() is None:
            self.proc.terminate()
            self.proc.wait(10)

    def _request(self, path, data=None):
        req = urllib.request.Request("http://%s%s" % (HOST_PORT, path), data=data)
        with urllib.request.urlopen(req, timeout=10) as r:
            return json.loads(r.read().decode("utf-8"))

    def packages(self, **spec):
        """Fault injection for the package sources (service, cdn, setup)."""
        return self._request("/__packages/control", json.dumps(spec).encode())

    def package_requests(self):
        return self._request("/__packages/log")

    def report_log(self):
        """Every report with what came with it (its cookie text among them)."""
        return [e for e in self._request("/__service/log") if e.get("report")]

    def reports(self):
        return [e["report"] for e in self.report_log()]

    def events(self):
        return [r["eventId"] for r in self.reports()]

    def wait_event(self, name, count=1, timeout=120):
        return wait_until(lambda: [r for r in self.reports() if r["eventId"] == name][count - 1:]
                          and [r for r in self.reports() if r["eventId"] == name],
                          timeout=timeout, what="%d %s report(s)" % (count, name))


def data_of(report):
    data = report.get("data")
    return data if isinstance(data, dict) else {}


def default_install_dir(wine):
    return wine.drive_c("Program Files (x86)", "zorvikmedia", "pageWright")


def demo_product(wine):
    """The built demo product pageWright.exe."""
    return os.path.join(wine.build, "packages", "product", "pageWright.exe")


def start_demo_product(wine, stay_seconds):
    """Starts the demo product so that it keeps running for a while."""
    log = os.path.join(os.path.dirname(demo_product(wine)), "launches.log")
    before = launch_count(log)
    running = wine.start(demo_product(wine), ["--stay=%d" % stay_seconds])
    # It writes its line once it runs.
    wait_until(lambda: launch_count(log) > before, timeout=60, what="demo product started")
    check(running.running(), "demo product did not stay")
    return running


def launch_count(log):
    """Lines of a demo product's launches.log (0 when it never ran)."""
    if not os.path.exists(log):
        return 0
    with open(log, "rb") as f:
        return f.read().count(b"\n")


def clean_state(wine):
    """No recorded installation, no installed product, the test's DPI."""
    # The harness remembers the DPI it last set, which may not be the
    # prefix's any more: set it unconditionally.
    wine.reg_add(r"HKCU\Control Panel\Desktop", "LogPixels", wine.dpi, "REG_DWORD")
    wine.reg_delete(APPINFO_KEY, "InstallerPath")
    wine.reg_delete(APPINFO_KEY, "InstallerChannel")
    shutil.rmtree(wine.drive_c("Program Files (x86)", "zorvikmedia"), ignore_errors=True)


class Installer:
    """One run of PageWrightOnlineSetup.exe and its main window."""

    def __init__(self, wine, exe=None):
        self.wine = wine
        self.scale = wine.dpi * 100 // 96
        self.proc = wine.start(exe or wine.exe())
        self.win = wine.wait_window(TITLE, timeout=60)
        if not wine.wait_settled(self.win, timeout=30):
            raise HarnessError("the installer's first page kept changing")

    def size(self):
        return self.wine.geometry(self.win)[2:]

    def point(self, x, y):
        s = self.scale
        shadow = (SHADOW * s + 50) // 100
        return shadow + x * s // 100, shadow + y * s // 100

    def click(self, name, dy=0):
        x, y = TARGETS[name]
        px, py = self.point(x, y + dy)
        self.wine.click(self.win, px, py)
        # What the click changes is drawn before the test goes on (a page that keeps
        # moving, such as the progress, is left after a few seconds).
        self.wine.wait_settled(self.win, quiet=0.3, timeout=3)

    def shot(self, name, settle=True):
        path = self.wine.artifacts("installer", "%s_%d.png" % (name, self.wine.dpi))
        return self.wine.screenshot(path, self.win, settle)

    def wait_exit(self, timeout=30):
        return self.proc.wait(timeout)

    def kill(self):
        """Ends the program, also when its window no longer answers."""
        if self.proc.running():
            self.wine.key("alt+F4", win=self.win)
            try:
                self.proc.wait(10)
                return
            except subprocess.TimeoutExpired:
                pass
        self.proc.kill()


def read_utf16(path):
    with open(path, "rb") as f:
        data = f.read()
    for enc in ("utf-16", "utf-8"):
        try:
            return data.decode(enc)
        except UnicodeDecodeError:
            pass
    return data.decode("latin-1")


def check(condition, message):
    if not condition:
        raise AssertionError(message)
