"""The single-instance guard of the real program under Wine.

A second copy shows the retry/cancel box titled "岚枢PDF转换器安装提示" before it
starts any worker; Retry while the first copy runs shows the box again; Cancel
ends the second copy with exit code 0 and no window. The first copy, told to
quit its UI loop, stops its workers and also exits with 0.
"""

import os
import subprocess
import sys
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

    def processes(self):
        """{pid: thread count} of the running copies."""
        out = self.wine.run([self.proc_info, "threads", EXE_NAME]).stdout.decode()
        return {int(line.split()[0]): int(line.split()[1]) for line in out.splitlines() if line.strip()}

    def mutex_state(self):
        """"held" while the single-instance mutex exists, else "free"."""
        return self.wine.run([self.proc_info, "mutex", "zorvikPackageInstalled"]).stdout.decode().strip()

    def thread_counts(self):
        return list(self.processes().values())

    def start_first_copy(self):
        """Starts a copy and waits until it runs its UI thread and both workers."""
        proc = self.wine.start(self.exe)
        procs = wait_until(lambda: {p: n for p, n in self.processes().items() if n >= 3}, 30,
                           what="first copy running with its workers")
        self.assertEqual(len(procs), 1)
        pid, threads = next(iter(procs.items()))
        return proc, pid, threads

    def quit_copy(self, pid):
        self.wine.run([self.proc_info, "quit", str(pid)])

    def test_second_copy_retry_then_cancel(self):
        # The first copy holds the mutex and has started both workers.
        first, first_pid, first_threads = self.start_first_copy()
        self.assertTrue(first.running())
        self.assertEqual(self.wine.find_windows(BOX_TITLE), [])

        second = self.wine.start(self.exe)
        box = self.wine.wait_window(BOX_TITLE, 30)
        self.wine.screenshot(self.wine.artifacts("app_spine", "single_instance_box.png"))
        # The waiting copy has not started its two workers.
        waiting = {p: n for p, n in self.processes().items() if p != first_pid}
        self.assertEqual(len(waiting), 1)
        self.assertLessEqual(next(iter(waiting.values())), first_threads - 2)

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
        self.quit_copy(first_pid)
        self.assertEqual(first.wait(30), 0)

    def test_retry_after_first_copy_ended_proceeds(self):
        first, first_pid, _ = self.start_first_copy()
        second = self.wine.start(self.exe)
        box = self.wine.wait_window(BOX_TITLE, 30)
        self.quit_copy(first_pid)
        self.assertEqual(first.wait(30), 0)
        # The server frees a dead process's mutex a moment after the process
        # is seen to end; on a loaded machine Retry could come first.
        wait_until(lambda: self.mutex_state() == "free", 30, what="the first copy's mutex freed")
        # Now Retry takes the mutex: no box again, the second copy runs on.
        self.wine.key("Return", win=box)
        self.wine.wait_no_window(BOX_TITLE, 20)
        wait_until(lambda: self.mutex_state() == "held", 30, what="the second copy's mutex")
        self.assertEqual(self.wine.find_windows(BOX_TITLE), [])
        self.assertTrue(second.running())
        self.quit_copy(next(iter(self.processes())))
        self.assertEqual(second.wait(30), 0)


if __name__ == "__main__":
    unittest.main(verbosity=2)
