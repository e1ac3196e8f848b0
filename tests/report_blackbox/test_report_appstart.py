"""The real program's start-up report under Wine, against the local endpoint.

AppStart arrives once with the identity fields, the DPI of the run and the
exact cookie text; the generated identifier is stored as UniqueId and reused by
the next run; a preset UniqueId is used as it is.
"""

import os
import time
import unittest

import report_support as rs
from pwharness import Wine

HOST, PORT = rs.host_port_from_args()
PRESET_ID = "Preset-UniqueId-0001"


class AppStartTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.wine = Wine()
        cls.exe = cls.wine.exe()
        cls.version = rs.file_version(cls.exe)
        probe = os.path.join(cls.wine.build, "tests", "report_blackbox", "report_probe.exe")
        cls.system = rs.probe_values(cls.wine, probe, "identity")["system"]
        cls.saved_id = cls.wine.reg_query(rs.APPINFO_KEY, "UniqueId")
        cls.endpoint = rs.Endpoint(
            HOST, PORT, cls.wine.artifacts("report_blackbox", "appstart_%d.jsonl" % cls.wine.dpi))
        cls.endpoint.start()

    @classmethod
    def tearDownClass(cls):
        cls.endpoint.stop()
        if cls.saved_id:
            cls.wine.reg_add(rs.APPINFO_KEY, "UniqueId", cls.saved_id)
        else:
            cls.wine.reg_delete(rs.APPINFO_KEY, "UniqueId")

    def run_once(self):
        """Starts the program, waits for its AppStart and a little longer, ends it."""
        self.endpoint.reset()
        proc = self.wine.start(self.exe)
        try:
            self.endpoint.wait_reports(1, "AppStart", timeout=300)
            time.sleep(3)  # a second AppStart would arrive by now
        finally:
            # Only this program: the prefix's server and desktop stay up.
            proc.kill()
        reports = self.endpoint.reports("AppStart")
        self.assertEqual(1, len(reports), reports)
        self.assertEqual(1, len(self.endpoint.entries()))
        return reports[0]

    def check_entry(self, entry, imei):
        report = entry["report"]
        self.assertEqual(["eventId", "imei", "appver", "appName", "data"], list(report))
        self.assertEqual("AppStart", report["eventId"])
        self.assertEqual(imei, report["imei"])
        self.assertEqual(self.version, report["appver"])
        self.assertEqual("VERovovozav", report["appName"])
        # Scale is the toolkit's scale percent for the system DPI.
        scale = str(self.wine.dpi * 100 // 96)
        self.assertEqual({"Dpi": str(self.wine.dpi), "FirstStart": "true", "Scale": scale},
                         report["data"])
        self.assertEqual(["Dpi", "FirstStart", "Scale"], list(report["data"]))
        self.assertEqual(rs.HEADER_ORDER, rs.ordered_subset(rs.header_names(entry), rs.HEADER_ORDER))
        self.assertEqual(
            "appname=VERovovozav;appver=%s;channel=website_kmtlow;imei=%s;os=windows;system=%s;"
            % (self.version, imei, self.system), entry["cookie"])

    def test_generated_then_reused_then_preset_identifier(self):
        self.wine.reg_delete(rs.APPINFO_KEY, "UniqueId")
        first = self.run_once()
        imei = first["report"]["imei"]
        self.assertTrue(rs.is_hex_id(imei), imei)
        self.assertEqual(imei, self.wine.reg_query(rs.APPINFO_KEY, "UniqueId"))
        self.check_entry(first, imei)

        second = self.run_once()
        self.check_entry(second, imei)

        self.wine.reg_add(rs.APPINFO_KEY, "UniqueId", PRESET_ID)
        third = self.run_once()
        self.check_entry(third, PRESET_ID)
        self.assertEqual(PRESET_ID, self.wine.reg_query(rs.APPINFO_KEY, "UniqueId"))


if __name__ == "__main__":
    unittest.main(verbosity=2)
