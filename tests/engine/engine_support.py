"""Shared pieces of the engine's black-box tests: the local package service on a
free loopback port, the probe program under Wine, and Windows paths in the
test prefix."""

import json
import os
import re
import shutil
import subprocess
import sys
import time
import urllib.request

from pwharness import HarnessError, Wine, wait_until

MIB = 1024 * 1024


class PackageService:
    """tools/package_service.py with the build's setup package, on a free port."""

    def __init__(self, wine):
        self.package = os.path.join(wine.build, "packages", "PageWrightSetup.exe")
        if not os.path.exists(self.package):
            raise HarnessError("setup package not built: %s" % self.package)
        script = os.path.join(wine.source, "tools", "package_service.py")
        self.proc = subprocess.Popen(
            [sys.executable, script, "--host", "127.0.0.1", "--port", "0",
             "--package", self.package],
            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        line = self.proc.stdout.readline()
        match = re.search(r"listening on ([\d.]+):(\d+)", line)
        if not match:
            self.stop()
            raise HarnessError("package service did not start: %r" % line)
        self.base = "http://%s:%s" % match.groups()
        self.package_url = self.base + "/caller?c=site&a=downloadPackage&channel=website_kmtlow"
        self.cdn_url = self.base + "/pagewright/PageWrightSetup.exe"

    def stop(self):
        if self.proc.poll() is None:
            self.proc.terminate()
            self.proc.wait(10)

    def _post(self, path, spec):
        req = urllib.request.Request(self.base + path, data=json.dumps(spec).encode("utf-8"),
                                     method="POST")
        with urllib.request.urlopen(req, timeout=10) as reply:
            return json.loads(reply.read() or b"{}")

    def control(self, **spec):
        self._post("/__packages/reset", {})
        self._post("/__packages/control", spec)

    def requests(self):
        with urllib.request.urlopen(self.base + "/__packages/log", timeout=10) as reply:
            return json.loads(reply.read())

    def package_size(self):
        return os.path.getsize(self.package)


class Probe:
    """tests/engine's engine_probe.exe under Wine."""

    def __init__(self, wine):
        self.wine = wine
        self.exe = os.path.join(wine.build, "tests", "engine", "engine_probe.exe")

    def run(self, *args, timeout=600):
        result = self.wine.run([self.exe] + list(args), timeout=timeout)
        out = result.stdout.decode("utf-8", errors="replace").strip().splitlines()
        for line in reversed(out):
            if line.startswith("{"):
                return json.loads(line)
        raise HarnessError("probe %s printed no result (exit %s): %r"
                           % (args, result.returncode, result.stdout[-500:]))

    def start(self, *args):
        return self.wine.start(self.exe, list(args))


def report(data, name):
    """The fields (list of pairs, in payload order) of the single event `name`."""
    events = [e for e in data["reports"] if e["event"] == name]
    assert len(events) == 1, "expected one %s, got %r" % (name, data["reports"])
    return events[0]["fields"]


class Drive:
    """A scratch folder on the prefix's drive C, known by both of its names."""

    def __init__(self, wine, name):
        self.wine = wine
        self.name = name
        self.linux = wine.drive_c(name)
        shutil.rmtree(self.linux, ignore_errors=True)
        os.makedirs(self.linux)

    def win(self, *parts):
        return "C:\\" + "\\".join((self.name,) + parts)

    def path(self, *parts):
        return os.path.join(self.linux, *parts)

    def cleanup(self):
        shutil.rmtree(self.linux, ignore_errors=True)


class Checks:
    """Collects failed checks so one run reports every broken case."""

    def __init__(self):
        self.failures = []
        self.passed = 0

    def equal(self, what, actual, expected):
        if actual == expected:
            self.passed += 1
        else:
            self.failures.append("%s: got %r, expected %r" % (what, actual, expected))

    def true(self, what, value):
        self.equal(what, bool(value), True)

    def finish(self):
        for failure in self.failures:
            print("FAIL", failure)
        print("%d checks passed, %d failed" % (self.passed, len(self.failures)))
        return 1 if self.failures else 0


__all__ = ["Checks", "Drive", "MIB", "PackageService", "Probe", "Wine", "report", "time",
           "wait_until"]
