"""The single-instance guard of the real program under Wine.

A second copy shows the retry/cancel box titled "岚枢PDF转换器安装提示" before it
starts any worker; Retry while the first copy runs shows the box again; Cancel
ends the second copy with exit code 0 and no window. The first copy, told to
quit its UI loop, stops its workers and also exits with 0.
"""

import os
import subprocess
import sys
import time
import unittest

from pwharness import Wine, wait_until

BOX_TITLE = "岚枢PDF转换器安装提示"
EXE_NAME = "PageWrightOnlineSetup.exe"


class SingleInstanceTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.wine = Wine()
        cls.exe = cls.wine.exe()
        cls.proc_info = os.path.join(cls.wine.build, "tests", "app_spine", "proc_info.exe")

    def tearDown(self):
        self.wine.kill_all()

    def thread_counts(self):
        out = self.wine.run([self.proc_info, "threads", EXE_NAME]).stdout.decode()
        return [int(line.split()[1]) for line in out.splitlines() if line.strip()]

    def test_second_copy_retry_then_cancel(self):
        first = self.wine.start(self.exe)
        # The first copy holds the mutex and has started both workers.
        counts = wait_until(lambda: self.thread_counts(), 30, what="first copy running")
        self.assertEqual(len(counts), 1)
        first_threads = counts[0]
        time.sleep(1)
        self.assertTrue(first.running())
        self.assertEqual(self.wine.find_windows(BOX_TITLE), [])

        second = self.wine.start(self.exe)
        box = self.wine.wait_window(BOX_TITLE, 30)
        self.wine.screenshot(self.wine.artifacts("app_spine", "single_instance_box.png"))
        # The waiting copy has not started its two workers.
        counts = sorted(self.thread_counts())
        self.assertEqual(len(counts), 2)
        self.assertLessEqual(counts[0], first_threads - 2)

        # Retry while the first copy still runs: the box comes back.
        self.wine.key("Return", win=box)
        box2 = wait_until(lambda: [w for w in self.wine.find_windows(BOX_TITLE) if w != box],
                          20, what="box shown again")[0]
        self.assertTrue(second.running())

        # Cancel: the second copy ends with exit code 0, without any window.
        self.wine.key("Escape", win=box2)
        self.assertEqual(second.wait(30), 0)
        self.assertEqual(self.wine.find_windows(BOX_TITLE), [])
        self.assertTrue(first.running())

        # The first copy's loop ends on WM_QUIT; the workers are joined and
        # the process exits with 0.
        self.wine.run([self.proc_info, "quit", EXE_NAME])
        self.assertEqual(first.wait(30), 0)

    def test_retry_after_first_copy_ended_proceeds(self):
        first = self.wine.start(self.exe)
        wait_until(lambda: self.thread_counts(), 30, what="first copy running")
        second = self.wine.start(self.exe)
        box = self.wine.wait_window(BOX_TITLE, 30)
        self.wine.run([self.proc_info, "quit", EXE_NAME])
        self.assertEqual(first.wait(30), 0)
        # Now Retry takes the mutex: no box again, the second copy runs on.
        self.wine.key("Return", win=box)
        self.wine.wait_no_window(BOX_TITLE, 20)
        time.sleep(1)
        self.assertEqual(self.wine.find_windows(BOX_TITLE), [])
        self.assertTrue(second.running())
        self.wine.run([self.proc_info, "quit", EXE_NAME])
        self.assertEqual(second.wait(30), 0)


if __name__ == "__main__":
    unittest.main(verbosity=2)
