"""The HTTP client and the send path under Wine, against the local endpoint.

A probe program (report_probe.exe) drives the reporting code as the installer
does; the endpoint misbehaves on request: drops the connection, answers
garbage, answers 8 MiB, never answers, or is not there at all.
"""

import os
import time
import unittest

import report_support as rs
from pwharness import Wine

HOST, PORT = rs.host_port_from_args()


class ReportClientTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.wine = Wine()
        cls.probe = os.path.join(cls.wine.build, "tests", "report_blackbox", "report_probe.exe")
        cls.endpoint = rs.Endpoint(HOST, PORT, cls.wine.artifacts("report_blackbox", "client.jsonl"))
        cls.endpoint.start()
        cls.identity = rs.probe_values(cls.wine, cls.probe, "identity")

    @classmethod
    def tearDownClass(cls):
        cls.endpoint.stop()

    def setUp(self):
        if self.endpoint.proc is None:
            self.endpoint.start()
        self.endpoint.reset()

    def post(self):
        values = rs.probe_values(self.wine, self.probe, "post")
        self.assertIn("code", values, values["_out"])
        return values

    def test_successful_post_sends_once_with_headers_and_cookies_in_order(self):
        values = self.post()
        self.assertEqual("0", values["code"])
        entries = self.endpoint.entries()
        self.assertEqual(1, len(entries), entries)
        entry = entries[0]
        self.assertIsNone(entry["error"])
        report = entry["report"]
        self.assertEqual(["eventId", "imei", "appver", "appName", "data"], list(report))
        self.assertEqual("ProbePost", report["eventId"])
        self.assertEqual(self.identity["uniqueid"], report["imei"])
        self.assertEqual("2.7.1.8", report["appver"])
        self.assertEqual("VERovovozav", report["appName"])
        self.assertEqual({"Seq": "1"}, report["data"])
        self.assertEqual(rs.HEADER_ORDER, rs.ordered_subset(rs.header_names(entry), rs.HEADER_ORDER))
        self.assertIn("Accept-Encoding: deflate", entry["headers"])
        self.assertEqual(
            "appname=VERovovozav;appver=2.7.1.8;channel=website_kmtlow;imei=%s;os=windows;system=%s;"
            % (self.identity["uniqueid"], self.identity["system"]), entry["cookie"])

    def test_dropped_connection_is_tried_exactly_twice(self):
        self.endpoint.fault(mode="drop")
        values = self.post()
        self.assertEqual("52", values["code"])  # nothing received
        entries = self.endpoint.entries()
        self.assertEqual(["drop", "drop"], [e["fault"] for e in entries])
        self.assertEqual(entries[0]["report"], entries[1]["report"])

    def test_garbage_answer_is_tried_twice_and_fails(self):
        self.endpoint.fault(mode="garbage")
        values = self.post()
        self.assertNotEqual("0", values["code"])
        self.assertEqual(2, len(self.endpoint.entries()))

    def test_second_attempt_result_is_returned(self):
        self.endpoint.fault(mode="drop", times=1)
        values = self.post()
        self.assertEqual("0", values["code"])
        self.assertEqual(["drop", "normal"], [e["fault"] for e in self.endpoint.entries()])

    def test_unreachable_endpoint_gives_connect_failure(self):
        self.endpoint.stop()
        values = self.post()
        self.assertEqual("7", values["code"])  # could not connect, after both attempts

    def test_huge_reply_is_capped_at_64_kib(self):
        self.endpoint.fault(mode="huge", size=8 * 1024 * 1024)
        values = self.post()
        self.assertEqual("0", values["code"])
        self.assertEqual("65536", values["reply_bytes"])

    def test_reports_are_sent_in_posting_order(self):
        values = rs.probe_values(self.wine, self.probe, "send", "6")
        self.assertEqual(0, values["_exit"], values["_out"])
        seqs = [e["report"]["data"]["Seq"] for e in self.endpoint.reports("ProbeEvent")]
        self.assertEqual(["1", "2", "3", "4", "5", "6"], seqs)

    def test_without_http_thread_reports_are_dropped_quietly(self):
        values = rs.probe_values(self.wine, self.probe, "no-http", "3")
        self.assertEqual((0, "3"), (values["_exit"], values.get("returned")), values["_out"])
        time.sleep(2)  # time for a report to arrive, which must not
        self.assertEqual([], self.endpoint.entries())

    def test_never_answering_endpoint_blocks_only_the_http_thread(self):
        # Both attempts of the first report hang until libcurl's 15 s limit.
        self.endpoint.fault(mode="hang", times=2)
        values = rs.probe_values(self.wine, self.probe, "hang-check", "3")
        print(values["_out"])
        self.assertEqual("0", values["lost"], values["_out"])
        self.assertGreater(int(values["probes"]), 10)
        # Generous bounds: Wine may run emulated; the http Thread is stuck for ~30 s.
        self.assertLess(float(values["ui_max_ms"]), 5000)
        self.assertLess(float(values["misc_max_ms"]), 5000)
        self.assertGreater(float(values["http_ms"]), 25000)
        self.assertLess(float(values["http_ms"]), 120000)
        entries = self.endpoint.entries()
        self.assertEqual([("1", "hang"), ("1", "hang"), ("2", "normal"), ("3", "normal")],
                         [(e["report"]["data"]["Seq"], e["fault"]) for e in entries])


class OsNameTest(unittest.TestCase):
    """The OS name table against the version the prefix reports (winecfg /v)."""

    def setUp(self):
        self.wine = Wine()
        self.probe = os.path.join(self.wine.build, "tests", "report_blackbox", "report_probe.exe")
        self.saved = self.wine.reg_query(r"HKCU\Software\Wine", "Version")

    def tearDown(self):
        if self.saved:
            self.wine.run(["winecfg", "/v", self.saved])
        else:
            self.wine.reg_delete(r"HKCU\Software\Wine", "Version")

    def test_windows_7_and_windows_10_rows(self):
        for version, name in (("win7", "Microsoft Windows 7 sp1"), ("win10", "Microsoft Windows 10")):
            self.wine.run(["winecfg", "/v", version], check=True)
            values = rs.probe_values(self.wine, self.probe, "identity")
            self.assertEqual(name, values["osname"], version)
            bits = "64bit" if values["native64"] == "true" else "32bit"
            self.assertEqual("%s %s" % (name, bits), values["system"])
            self.assertTrue(rs.is_hex_id(values["uniqueid"]))
            self.assertEqual("website_kmtlow", values["channel"])


if __name__ == "__main__":
    unittest.main(verbosity=2)
