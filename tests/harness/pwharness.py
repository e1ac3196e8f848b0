"""Black-box helpers for driving the real program under Wine.

Used by the Python tests that CTest runs in a lane of the "wine" fixture
(tests/harness/lane-run.sh): the lane's Xvfb, prefix and wineserver are in
the environment. Run by hand outside a lane, the tests use lane 1's
BUILD/harness/lane1/env.sh.

    from pwharness import Wine, WineProcess
    wine = Wine()                       # environment of the current run
    proc = wine.start(wine.exe())       # PageWrightOnlineSetup.exe
    win = wine.wait_window("安装提示")   # X window id by title regex
    wine.click(win, 40, 60)             # client-relative click
    wine.screenshot("shot.png")
    code = proc.wait(30)
"""

import os
import re
import shlex
import subprocess
import tempfile
import time


class HarnessError(Exception):
    pass


def _read_env(build):
    if os.environ.get("PW_LANE_DIR"):
        return {}
    env_file = os.path.join(build, "harness", "lane1", "env.sh")
    if not os.path.exists(env_file):
        raise HarnessError("Wine fixture not running: %s missing" % env_file)
    env = {}
    with open(env_file, encoding="utf-8") as f:
        for line in f:
            line = line.strip()
            if line.startswith("export ") and "=" in line:
                key, value = line[len("export "):].split("=", 1)
                env[key] = shlex.split(value)[0] if value else ""
    return env


class WineProcess:
    """A Windows program started under Wine."""

    def __init__(self, popen):
        self.popen = popen

    def running(self):
        return self.popen.poll() is None

    def wait(self, timeout=60):
        """Waits for the program to end; returns its exit code."""
        return self.popen.wait(timeout=timeout)

    def kill(self):
        if self.running():
            self.popen.kill()
            self.popen.wait(10)


class Wine:
    def __init__(self, build=None, dpi=None):
        self.build = build or os.environ.get("PW_BUILD_DIR")
        if not self.build:
            raise HarnessError("PW_BUILD_DIR is not set")
        self.source = os.environ.get("PW_SOURCE_DIR", "")
        self.env = dict(os.environ)
        self.env.update(_read_env(self.build))
        self.prefix = self.env["WINEPREFIX"]
        self.lane_dir = self.env["PW_LANE_DIR"]
        self.display = self.env["DISPLAY"]
        # The 64-bit loader: runs the prefix's tools natively and hands 32-bit
        # programs to the 32-bit loader itself.
        self.wine = self.env.get("PW_WINE", "wine")
        self.set_dpi(int(dpi or os.environ.get("PW_TEST_DPI", "96")))

    # --- paths -----------------------------------------------------------
    def exe(self, name="PageWrightOnlineSetup.exe"):
        for sub in ("app", "", "bin"):
            path = os.path.join(self.build, sub, name)
            if os.path.exists(path):
                return path
        raise HarnessError("%s not built" % name)

    def artifacts(self, *parts):
        """A path under build/artifacts/, in a folder of the test's own when CTest names it:
        tests run side by side."""
        path = os.path.join(self.build, "artifacts", os.environ.get("PW_TEST_NAME", ""), *parts)
        os.makedirs(os.path.dirname(path) if parts else path, exist_ok=True)
        return path

    def drive_c(self, *parts):
        return os.path.join(self.prefix, "drive_c", *parts)

    # --- processes -------------------------------------------------------
    def run(self, args, timeout=120, check=False):
        """Runs a Wine command to completion (e.g. ["reg", "query", ...])."""
        # Output goes to files, not pipes: the first program after a server
        # start launches the prefix's system processes, which inherit its
        # handles and would hold a pipe open long after the program ended.
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            proc = subprocess.Popen([self.wine] + list(args), env=self.env,
                                    stdin=subprocess.DEVNULL, stdout=out, stderr=err)
            try:
                proc.wait(timeout=timeout)
            except subprocess.TimeoutExpired:
                proc.kill()
                proc.wait()
                raise
            out.seek(0)
            err.seek(0)
            result = subprocess.CompletedProcess(proc.args, proc.returncode, out.read(), err.read())
        if check and result.returncode != 0:
            raise HarnessError("wine %s failed: %s" % (args, result.stderr.decode(errors="replace")))
        return result

    def start(self, exe, args=(), extra_env=None):
        env = dict(self.env)
        if extra_env:
            env.update(extra_env)
        popen = subprocess.Popen([self.wine, exe] + list(args), env=env,
                                 stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return WineProcess(popen)

    def kill_all(self):
        """Ends every Windows process of the prefix and restarts the persistent wineserver."""
        subprocess.run(["/usr/lib/wine/wineserver", "-k"], env=self.env, capture_output=True)
        # A program started while the old server is still going down can
        # attach to it and hang: wait until it has really ended.
        try:
            subprocess.run(["/usr/lib/wine/wineserver", "-w"], env=self.env, capture_output=True,
                           timeout=30)
        except subprocess.TimeoutExpired:
            pass
        subprocess.run(["setsid", "/usr/lib/wine/wineserver", "-p"], env=self.env,
                       stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)
        # Let one program bring up the prefix's system processes now, so a
        # test's first program does not pay for it.
        self.run(["cmd", "/c", "exit"], timeout=60)

    # --- registry --------------------------------------------------------
    def set_dpi(self, dpi):
        state = os.path.join(self.lane_dir, "dpi")
        current = ""
        if os.path.exists(state):
            with open(state) as f:
                current = f.read().strip()
        if current != str(dpi):
            self.reg_add(r"HKCU\Control Panel\Desktop", "LogPixels", dpi, "REG_DWORD")
            with open(state, "w") as f:
                f.write(str(dpi))
        self.dpi = dpi

    def reg_add(self, key, name, value, kind="REG_SZ"):
        self.run(["reg", "add", key, "/v", name, "/t", kind, "/d", str(value), "/f"], check=True)

    def reg_delete(self, key, name=None):
        args = ["reg", "delete", key, "/f"]
        if name is not None:
            args[3:3] = ["/v", name]
        self.run(args)

    def reg_query(self, key, name):
        """The value's text, or None when the key or value is missing."""
        result = self.run(["reg", "query", key, "/v", name])
        if result.returncode != 0:
            return None
        for line in result.stdout.decode("utf-8", errors="replace").splitlines():
            parts = line.strip().split(None, 2)
            if len(parts) >= 2 and parts[0].lower() == name.lower() and parts[1].startswith("REG_"):
                return parts[2] if len(parts) == 3 else ""
        return None

    # --- windows and input -----------------------------------------------
    def xdotool(self, *args, check=True):
        result = subprocess.run(["xdotool"] + [str(a) for a in args], env=self.env,
                                capture_output=True, text=True)
        if check and result.returncode != 0:
            raise HarnessError("xdotool %s: %s" % (args, result.stderr.strip()))
        return result.stdout.strip()

    def find_windows(self, title_regex, visible=True):
        args = ["search"]
        if visible:
            args.append("--onlyvisible")
        args += ["--name", title_regex]
        out = self.xdotool(*args, check=False)
        return [int(w) for w in out.split()] if out else []

    def wait_window(self, title_regex, timeout=30, visible=True):
        deadline = time.time() + timeout
        while time.time() < deadline:
            wins = self.find_windows(title_regex, visible)
            if wins:
                return wins[-1]
            time.sleep(0.2)
        raise HarnessError("no window matching %r within %ss" % (title_regex, timeout))

    def wait_no_window(self, title_regex, timeout=30):
        deadline = time.time() + timeout
        while time.time() < deadline:
            if not self.find_windows(title_regex):
                return
            time.sleep(0.2)
        raise HarnessError("window %r still there after %ss" % (title_regex, timeout))

    def wait_no_window_id(self, win, timeout=30):
        """Waits until one window is unmapped or gone."""
        wait_until(lambda: win not in self.find_windows(".*"), timeout,
                   what="window %s gone" % win)

    def geometry(self, win):
        """(x, y, width, height) of an X window on the screen."""
        out = self.xdotool("getwindowgeometry", "--shell", win)
        vals = dict(line.split("=", 1) for line in out.splitlines() if "=" in line)
        return int(vals["X"]), int(vals["Y"]), int(vals["WIDTH"]), int(vals["HEIGHT"])

    def window_name(self, win):
        return self.xdotool("getwindowname", win, check=False)

    def click(self, win, x, y, button=1):
        """Clicks at (x, y) relative to the window's top-left corner."""
        wx, wy, _, _ = self.geometry(win)
        self.click_at(wx + x, wy + y, button)

    def click_at(self, x, y, button=1):
        self.xdotool("mousemove", "--sync", x, y)
        time.sleep(0.1)
        self.xdotool("mousedown", button)
        time.sleep(0.05)
        self.xdotool("mouseup", button)

    def drag(self, win, x0, y0, x1, y1):
        wx, wy, _, _ = self.geometry(win)
        self.xdotool("mousemove", "--sync", wx + x0, wy + y0)
        self.xdotool("mousedown", 1)
        for i in range(1, 11):
            self.xdotool("mousemove", wx + x0 + (x1 - x0) * i // 10, wy + y0 + (y1 - y0) * i // 10)
            time.sleep(0.03)
        self.xdotool("mouseup", 1)

    def key(self, *keys, win=None):
        """Presses keys; with `win`, into that window (see focus)."""
        if win is not None:
            self.focus(win)
        self.xdotool("key", "--clearmodifiers", *keys)

    def type_text(self, text, win=None):
        if win is not None:
            self.focus(win)
        self.xdotool("type", "--delay", 30, text)

    def focus(self, win):
        """Gives the window the X input focus, so that keys reach its program, and checks
        that it has it. Xvfb runs no window manager: asking one to activate the window
        (windowactivate) does nothing, and keys would go to whatever the pointer is over.
        Wine then hands them to the window that is active in Windows' sense."""
        self.xdotool("windowfocus", "--sync", win)
        focused = self.xdotool("getwindowfocus", "-f", check=False)
        if not focused.isdigit() or int(focused) != win:
            raise HarnessError("window %s did not take the input focus (it is on %s)"
                               % (win, focused or "nothing"))

    # --- screenshots -----------------------------------------------------
    def screenshot(self, path, win=None, settle=True):
        """Saves the screen (or one window's area) as PNG; returns the path. With a window,
        first waits (a few seconds at most) until it has stopped changing."""
        if win is not None and settle:
            self.wait_settled(win, timeout=5)
        os.makedirs(os.path.dirname(os.path.abspath(path)), exist_ok=True)
        xwd = self._grab_screen()
        args = ["convert", "xwd:-"]
        if win is not None:
            x, y, w, h = self.geometry(win)
            args += ["-crop", "%dx%d+%d+%d" % (w, h, x, y), "+repage"]
        subprocess.run(args + [path], input=xwd, check=True)
        return path

    def _grab_screen(self):
        """The whole screen in xwd's format. xwd walks every window for its visuals and stops
        when one goes away under it (a window closing meanwhile): then it is asked again."""
        for attempt in range(5):
            result = subprocess.run(["xwd", "-root", "-silent"], env=self.env,
                                    capture_output=True)
            if result.returncode == 0:
                return result.stdout
            time.sleep(0.05 * (attempt + 1))
        raise HarnessError("xwd failed: %s" % result.stderr.decode(errors="replace").strip())

    def window_pixels(self, win):
        """The window's area of the screen as raw bytes, for comparing (no file, no PNG)."""
        x, y, w, h = self.geometry(win)
        xwd = self._grab_screen()
        # The image follows the header, the colour table (none at 24 bits) and is
        # bytes_per_line wide: the header's first word is its own size.
        header = int.from_bytes(xwd[0:4], "big")
        ncolors = int.from_bytes(xwd[76:80], "big")
        stride = int.from_bytes(xwd[48:52], "big")
        bpp = int.from_bytes(xwd[44:48], "big") // 8
        data = xwd[header + 12 * ncolors:]
        return b"".join(data[row * stride + x * bpp:row * stride + (x + w) * bpp]
                        for row in range(max(y, 0), y + h))

    def wait_settled(self, win, quiet=0.4, timeout=10):
        """Waits until the window's pixels stay the same for `quiet` seconds: drawn, and no
        longer changing (a page switch, a fade). True then, or when the window is gone;
        False when it still changes at the deadline (a progress bar that keeps moving)."""
        deadline = time.time() + timeout
        last, since = None, time.time()
        while True:
            try:
                now = self.window_pixels(win)
            except HarnessError:
                return True  # the window is gone: nothing more will change on it
            if now != last:
                last, since = now, time.time()
            elif time.time() - since >= quiet:
                return True
            if time.time() > deadline:
                return False
            time.sleep(0.1)

    def pixel(self, png, x, y):
        """(r, g, b) of one pixel of a PNG file."""
        out = subprocess.run(["convert", png, "-format", "%%[fx:int(255*p{%d,%d}.r)],"
                              "%%[fx:int(255*p{%d,%d}.g)],%%[fx:int(255*p{%d,%d}.b)]"
                              % (x, y, x, y, x, y), "info:"],
                             capture_output=True, text=True, check=True).stdout
        return tuple(int(v) for v in out.strip().split(","))


def wait_until(predicate, timeout=30, interval=0.2, what="condition"):
    deadline = time.time() + timeout
    while time.time() < deadline:
        value = predicate()
        if value:
            return value
        time.sleep(interval)
    raise HarnessError("%s not met within %ss" % (what, timeout))
