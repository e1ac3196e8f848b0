"""Screens of the preview program under Wine: every page of basic.xml and the message box are
shot into artifacts/ui_shell/<dpi>/ and their pixels checked against what the page shows; with
--input, real mouse input: the caption band drags the window on a label, a button in the band
clicks, and the message box answers once (buttons, close cross, Alt+F4).

    screens_test.py PREVIEW_EXE SOURCE_DIR [--input]
"""

import os
import subprocess
import sys
import time

from pwharness import HarnessError, Wine, wait_until

PAGES = ["welcompage", "installpage", "installedpage", "installfaildpage", "ExitStartpage"]


class Preview:
    """One run of the preview program with its log."""

    def __init__(self, wine, exe, source, name, args):
        self.wine = wine
        self.log_path = wine.artifacts("ui_shell", "%d" % wine.dpi, name + ".log")
        if os.path.exists(self.log_path):
            os.remove(self.log_path)
        root = "Z:" + source.replace("/", "\\")
        win_log = "Z:" + self.log_path.replace("/", "\\")
        self.proc = wine.start(exe, list(args) + ["--log", win_log, "--root", root])

    def lines(self):
        if not os.path.exists(self.log_path):
            return []
        with open(self.log_path, encoding="utf-8") as f:
            return [line.rstrip("\n") for line in f]

    def wait_ready(self, timeout=120):
        wait_until(lambda: "ready" in self.lines(), timeout, what="preview ready")

    def rects(self, prefix):
        """name -> (left, top, right, bottom) of the controls logged for one window."""
        out = {}
        for line in self.lines():
            parts = line.split()
            if parts and parts[0] == prefix + "-control":
                out[parts[1]] = tuple(int(v) for v in parts[2:6])
        return out

    def window(self, prefix):
        for line in self.lines():
            parts = line.split()
            if parts and parts[0] == prefix + "-window":
                return tuple(int(v) for v in parts[1:5])
        raise HarnessError("no %s-window line" % prefix)

    def stop(self):
        self.proc.kill()


def settled_position(wine, win, start):
    """The window's place once it has left `start` and holds still for a moment, else None."""
    first = wine.geometry(win)[:2]
    if first == start:
        return None
    time.sleep(0.3)
    return first if wine.geometry(win)[:2] == first else None


def is_blue(rgb):
    """The brand blue family: strong blue, little red, green well below blue."""
    r, g, b = rgb
    return b > 180 and r < 100 and b - r > 100 and b - g > 40


def dark_pixels(wine, png, rect, threshold=140):
    """Pixels of a rectangle darker than threshold (text on a light background)."""
    left, top, right, bottom = rect
    out = subprocess.run(["convert", png, "-crop", "%dx%d+%d+%d" % (right - left, bottom - top, left, top),
                          "+repage", "-colorspace", "Gray", "-threshold", "%.2f%%" % (threshold * 100.0 / 255),
                          "-format", "%[fx:(1-mean)*w*h]", "info:"],
                         capture_output=True, text=True, check=True).stdout
    return int(round(float(out.strip() or 0)))


def shot(wine, preview, prefix, name):
    x, y, w, h = preview.window(prefix)
    path = wine.artifacts("ui_shell", "%d" % wine.dpi, name + ".png")
    full = wine.screenshot(path + ".full.png")
    subprocess.run(["convert", full, "-crop", "%dx%d+%d+%d" % (w, h, x, y), "+repage", path],
                   check=True)
    os.remove(full)
    return path


def check(condition, message, failures):
    print(("ok   " if condition else "FAIL ") + message)
    if not condition:
        failures.append(message)


def screens(wine, exe, source):
    failures = []
    scale = wine.dpi * 100 // 96
    for page in PAGES:
        args = ["--layout", "basic", "--page", page, "--progress", "50"]
        preview = Preview(wine, exe, source, page, args)
        try:
            preview.wait_ready()
            x, y, w, h = preview.window("main")
            check((w, h) == ((600 * scale + 50) // 100 + 2 * ((14 * scale + 50) // 100),
                             (400 * scale + 50) // 100 + 2 * ((14 * scale + 50) // 100)),
                  "%s: window %dx%d at %d DPI" % (page, w, h, wine.dpi), failures)
            png = shot(wine, preview, "main", page)
            rects = preview.rects("main")
            wine_px = lambda px, py: wine.pixel(png, px, py)
            if page == "welcompage":
                l, t, r, b = rects["btn_startinstall"]
                check(is_blue(wine_px(l + 12, (t + b) // 2)),
                      "welcompage: start button is blue", failures)
                check(dark_pixels(wine, png, rects["btn_startinstall"], 250) < (r - l) * (b - t),
                      "welcompage: start button carries light text", failures)
            if page == "installpage":
                l, t, r, b = rects["progress_install"]
                mid = (t + b) // 2
                filled = l + (r - l) * 50 // 100
                inside = [wine_px(px, mid) for px in range(l + 2, filled - 2, max(1, (filled - l) // 8))]
                outside = [wine_px(px, mid) for px in range(filled + 3, r - 2, max(1, (r - filled) // 8))]
                check(all(is_blue(p) for p in inside),
                      "installpage: progress fill blue over the revealed half %s" % inside[:3], failures)
                check(not any(is_blue(p) for p in outside),
                      "installpage: progress not blue past the value %s" % outside[:3], failures)
                check(dark_pixels(wine, png, rects["progress_install_value"]) > 30,
                      "installpage: progress text present", failures)
            if page == "installedpage":
                l, t, r, b = rects["btn_startapp"]
                check(is_blue(wine_px(l + 20, (t + b) // 2)), "installedpage: start button blue",
                      failures)
            if page == "installfaildpage":
                l, t, r, b = rects["btn_redownload"]
                check(is_blue(wine_px(l + 20, (t + b) // 2)), "installfaildpage: button blue",
                      failures)
            if page == "ExitStartpage":
                l, t, r, b = rects["askuserStayMsg"]
                check(abs((l + r) - w) <= 2, "ExitStartpage: title centred (%d..%d in %d)" % (l, r, w),
                      failures)
                for name in ("btn_quitStart", "btn_continueInstall"):
                    l, t, r, b = rects[name]
                    # Sized by the 80x30 button bitmap of the DPI's own theme tree: 30 high in
                    # 96-DPI units, not that bitmap's pixels scaled once more.
                    check(b - t == (30 * scale + 50) // 100,
                          "ExitStartpage: %s %d high" % (name, b - t), failures)
                check(dark_pixels(wine, png, rects["edit_feedback"], 250) < 0.2 *
                      (rects["edit_feedback"][2] - rects["edit_feedback"][0]) *
                      (rects["edit_feedback"][3] - rects["edit_feedback"][1]),
                      "ExitStartpage: feedback field is light", failures)
        finally:
            preview.stop()

    preview = Preview(wine, exe, source, "msgbox", ["--layout", "msgbox"])
    try:
        preview.wait_ready()
        bx, by, bw, bh = preview.window("box")
        check(bw == (340 * scale + 50) // 100 + 2 * ((14 * scale + 50) // 100),
              "msgbox: width %d" % bw, failures)
        png = shot(wine, preview, "box", "msgbox")
        rects = preview.rects("box")
        l, t, r, b = rects["btn_no"]
        check((r - l, b - t) == ((80 * scale + 50) // 100, (30 * scale + 50) // 100),
              "msgbox: buttons %dx%d" % (r - l, b - t), failures)
        check(is_blue(wine.pixel(png, l + 6, (t + b) // 2)), "msgbox: no button blue", failures)
        check(dark_pixels(wine, png, rects["content"]) > 30, "msgbox: message text present",
              failures)
        check(dark_pixels(wine, png, rects["title"]) > 10, "msgbox: title text present", failures)
        shot(wine, preview, "main", "msgbox_owner")
    finally:
        preview.stop()
    return failures


def answers(preview):
    return [line for line in preview.lines() if line.startswith("answer ")]


def input_checks(wine, exe, source):
    failures = []
    preview = Preview(wine, exe, source, "input", ["--layout", "basic", "--page", "welcompage"])
    try:
        preview.wait_ready()
        win = wine.wait_window("PageWright preview basic")
        rects = preview.rects("main")
        x0, y0, _, _ = wine.geometry(win)
        l, t, r, b = rects["appnameLable_welcom"]
        wine.drag(win, (l + r) // 2, (t + b) // 2, (l + r) // 2 + 80, (t + b) // 2 + 50)
        # The window follows the drag; it is where it ends once it stops moving.
        moved = wait_until(lambda: settled_position(wine, win, (x0, y0)), 20, what="window moved")
        x1, y1 = moved
        check(abs((x1 - x0) - 80) <= 4 and abs((y1 - y0) - 50) <= 4,
              "drag on a label moved the window by (%d,%d)" % (x1 - x0, y1 - y0), failures)
        l, t, r, b = rects["btn_startinstall"]
        wine.click(win, (l + r) // 2, (t + b) // 2)
        wait_until(lambda: "click btn_startinstall" in preview.lines(), 20, what="button click")
        x2, y2, _, _ = wine.geometry(win)
        check((x2, y2) == (x1, y1), "button in the caption band clicked without moving", failures)
    finally:
        preview.stop()

    for how in ("btn_yes", "btn_no", "closebtn", "alt+F4"):
        preview = Preview(wine, exe, source, "box_" + how.replace("+", ""), ["--layout", "msgbox"])
        try:
            preview.wait_ready()
            box = wine.wait_window("^PageWright preview msgbox$")
            rects = preview.rects("box")
            if how == "alt+F4":
                wine.key("alt+F4", win=box)
            else:
                l, t, r, b = rects[how]
                wine.click(box, (l + r) // 2, (t + b) // 2)
                time.sleep(0.2)
                wine.click(box, (l + r) // 2, (t + b) // 2)  # a second click while it fades
            wait_until(lambda: answers(preview), 30, what="answer after " + how)
            wine.wait_no_window("^PageWright preview msgbox$", 30)
            time.sleep(0.5)  # time for a second answer, which must not come
            got = answers(preview)
            expected = "answer %s owner-enabled=1" % ("Yes" if how == "btn_yes" else "No")
            check(got == [expected], "%s answered %s" % (how, got), failures)
        finally:
            preview.stop()
    return failures


def main():
    exe, source = sys.argv[1], sys.argv[2]
    wine = Wine()
    failures = input_checks(wine, exe, source) if "--input" in sys.argv else screens(wine, exe, source)
    if failures:
        print("%d check(s) failed" % len(failures))
        return 1
    print("all checks passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
