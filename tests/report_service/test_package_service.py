"""tools/package_service.py over real HTTP on loopback: report decoding, the log
file, per-route faults and the control endpoint."""

import base64
import json
import os
import socket
import subprocess
import sys
import tempfile
import time
import unittest
import urllib.error
import urllib.request

SOURCE = os.environ.get("PW_SOURCE_DIR") or os.path.abspath(
    os.path.join(os.path.dirname(__file__), "..", ".."))
SCRIPT = os.path.join(SOURCE, "tools", "package_service.py")


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def report_body(obj):
    return b"log=" + base64.b64encode(json.dumps(obj, ensure_ascii=False).encode("utf-8"))


class PackageServiceTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory()
        cls.log = os.path.join(cls.tmp.name, "reports.jsonl")
        cls.port = free_port()
        cls.proc = subprocess.Popen([sys.executable, SCRIPT, "--port", str(cls.port), "--log", cls.log,
                                     "--print"], stdout=subprocess.PIPE, text=True)
        line = cls.proc.stdout.readline()
        assert "listening on 127.0.0.1:%d" % cls.port in line, line

    @classmethod
    def tearDownClass(cls):
        cls.proc.terminate()
        cls.proc.wait(10)
        cls.tmp.cleanup()

    def setUp(self):
        self.call("/__service/reset", b"{}")

    def call(self, path, data=None, headers=None, timeout=10):
        req = urllib.request.Request("http://127.0.0.1:%d%s" % (self.port, path), data=data,
                                     headers=headers or {})
        with urllib.request.urlopen(req, timeout=timeout) as r:
            return r.status, r.read()

    def writelog(self, body, headers=None, timeout=10):
        return self.call("/caller?c=site&a=writelog", body, headers, timeout)

    def log_lines(self):
        with open(self.log, encoding="utf-8") as f:
            return [json.loads(line) for line in f if line.strip()]

    def test_report_is_decoded_and_logged_with_headers_in_order(self):
        report = {"eventId": "AppStart", "imei": "0" * 32, "data": {"Dpi": "96", "备注": "岚枢"}}
        status, _ = self.writelog(report_body(report),
                                  {"Accept-Charset": "utf-8", "Cookie": "a=1;b=2;", "Zeta": "z"})
        self.assertEqual(200, status)
        lines = self.log_lines()
        self.assertEqual(1, len(lines))
        entry = lines[0]
        self.assertEqual(report, entry["report"])
        self.assertIsNone(entry["error"])
        self.assertEqual("a=1;b=2;", entry["cookie"])
        names = [h.split(":", 1)[0] for h in entry["headers"]]
        self.assertLess(names.index("Accept-Charset"), names.index("Cookie"))
        self.assertLess(names.index("Cookie"), names.index("Zeta"))
        self.assertEqual(lines, json.loads(self.call("/__service/log")[1]))

    def test_undecodable_bodies_are_logged_with_the_reason(self):
        for body, reason in ((b"data=abc", "log="), (b"log=@@@@", "base64"),
                             (b"log=" + base64.b64encode(b"\xff\xfe"), "utf-8"),
                             (b"log=" + base64.b64encode(b'{"a":"\\q"}'), "json")):
            self.writelog(body)
            self.assertIn(reason, self.log_lines()[-1]["error"])
            self.assertIsNone(self.log_lines()[-1]["report"])

    def test_drop_and_garbage_faults_wear_off_after_times(self):
        self.call("/__service/control", json.dumps({"writelog": {"mode": "drop", "times": 1}}).encode())
        with self.assertRaises((urllib.error.URLError, ConnectionError, OSError)):
            self.writelog(report_body({"n": 1}))
        self.assertEqual(200, self.writelog(report_body({"n": 2}))[0])
        self.call("/__service/control", json.dumps({"writelog": {"mode": "garbage"}}).encode())
        with self.assertRaises(Exception):
            self.writelog(report_body({"n": 3}))
        self.assertEqual(["drop", "normal", "garbage"], [e["fault"] for e in self.log_lines()])

    def test_slow_hang_and_huge_answers(self):
        self.call("/__service/control",
                  json.dumps({"writelog": {"mode": "slow", "delay": 1.0, "times": 1}}).encode())
        start = time.time()
        self.writelog(report_body({"n": 1}))
        self.assertGreaterEqual(time.time() - start, 1.0)

        self.call("/__service/control", json.dumps({"writelog": {"mode": "hang", "times": 1}}).encode())
        with self.assertRaises((socket.timeout, urllib.error.URLError, OSError)):
            self.writelog(report_body({"n": 2}), timeout=2)

        self.call("/__service/control",
                  json.dumps({"writelog": {"mode": "huge", "size": 3 * 1024 * 1024}}).encode())
        status, body = self.writelog(report_body({"n": 3}))
        self.assertEqual((200, 3 * 1024 * 1024), (status, len(body)))

    def test_unknown_mode_is_refused_and_other_paths_are_not_reports(self):
        with self.assertRaises(urllib.error.HTTPError) as caught:
            self.call("/__service/control", json.dumps({"writelog": {"mode": "explode"}}).encode())
        self.assertEqual(400, caught.exception.code)
        with self.assertRaises(urllib.error.HTTPError) as caught:
            self.call("/caller?c=site&a=other", b"log=")
        self.assertEqual(404, caught.exception.code)
        self.assertEqual([], self.log_lines())

    def test_package_routes_are_served_by_the_same_service(self):
        status, body = self.call("/user-agreement/")
        self.assertEqual(200, status)
        self.assertIn("用户协议", body.decode("utf-8"))


if __name__ == "__main__":
    unittest.main(verbosity=2)
