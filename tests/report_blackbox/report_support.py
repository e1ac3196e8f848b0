"""Shared helpers of the reporting black-box tests: the local statistics
endpoint (tools/package_service.py) on the build's statistics host, and small
readers for what the tests compare against."""

import argparse
import json
import os
import re
import struct
import subprocess
import sys
import time
import urllib.request

HEADER_ORDER = ["Accept-Charset", "Accept-Encoding", "Accept-Language", "Cache-Control",
                "Connection", "Cookie", "User-Agent"]
APPINFO_KEY = r"HKCU\Software\pagewright\AppInfo"


def host_port_from_args():
    """--host-port H:P from CTest's ARGS (the build's PW_STATS_HOST); the rest stays in argv."""
    parser = argparse.ArgumentParser(add_help=False)
    parser.add_argument("--host-port", default=os.environ.get("PW_STATS_HOST", "127.0.0.1:18650"))
    args, rest = parser.parse_known_args()
    sys.argv = [sys.argv[0]] + rest
    host, _, port = args.host_port.partition(":")
    return host, int(port or 80)


class Endpoint:
    """tools/package_service.py running on the statistics host and port."""

    def __init__(self, host, port, log_path):
        self.host, self.port, self.log_path = host, port, log_path
        self.proc = None

    def start(self, timeout=30):
        source = os.environ.get("PW_SOURCE_DIR") or os.path.abspath(
            os.path.join(os.path.dirname(__file__), "..", ".."))
        script = os.path.join(source, "tools", "package_service.py")
        self.proc = subprocess.Popen(
            [sys.executable, script, "--host", self.host, "--port", str(self.port),
             "--log", self.log_path], stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
        line = self.proc.stdout.readline()
        if "listening" not in line:
            self.proc.kill()
            raise RuntimeError("package service did not start: %r" % line)
        return self

    def stop(self):
        if self.proc and self.proc.poll() is None:
            self.proc.terminate()
            self.proc.wait(10)
        if self.proc:
            self.proc.stdout.close()
        self.proc = None

    def _url(self, path):
        return "http://%s:%d%s" % (self.host, self.port, path)

    def _request(self, path, data=None):
        req = urllib.request.Request(self._url(path), data=data)
        with urllib.request.urlopen(req, timeout=10) as r:
            return json.loads(r.read().decode("utf-8"))

    def reset(self):
        return self._request("/__service/reset", b"{}")

    def fault(self, **spec):
        return self._request("/__service/control", json.dumps({"writelog": spec}).encode())

    def entries(self):
        return self._request("/__service/log")

    def reports(self, event=None):
        return [e for e in self.entries()
                if e["report"] is not None and (event is None or e["report"].get("eventId") == event)]

    def wait_reports(self, count, event=None, timeout=300):
        deadline = time.time() + timeout
        while time.time() < deadline:
            found = self.reports(event)
            if len(found) >= count:
                return found
            time.sleep(0.5)
        raise AssertionError("%d %s report(s) not received within %ss; log: %s"
                             % (count, event, timeout, self.entries()))


def header_names(entry):
    return [line.split(":", 1)[0] for line in entry["headers"]]


def ordered_subset(names, wanted):
    """The names of |wanted| in the order they appear in |names|."""
    return [n for n in names if n in wanted]


def file_version(path):
    """"a.b.c.d" of the fixed version information of a PE file."""
    with open(path, "rb") as f:
        data = f.read()
    at = data.find(struct.pack("<I", 0xFEEF04BD))
    if at < 0:
        raise AssertionError("%s has no version resource" % path)
    ms, ls = struct.unpack_from("<II", data, at + 8)
    return "%d.%d.%d.%d" % (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)


def probe_values(wine, probe, *args, timeout=600):
    """Runs the probe program; its "key=value" lines as a dict."""
    result = wine.run([probe] + list(args), timeout=timeout)
    out = result.stdout.decode("utf-8", errors="replace")
    values = {}
    for line in out.splitlines():
        key, sep, value = line.strip().partition("=")
        if sep:
            values[key] = value
    values["_exit"] = result.returncode
    values["_out"] = out
    return values


def is_hex_id(text):
    return re.fullmatch(r"[0-9A-F]{32}", text or "") is not None
