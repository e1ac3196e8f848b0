"""Helpers of the installer's flow tests: more click targets, the message
box and its buttons, the folder browser, and a few pixel checks."""

import atexit
import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "installer"))

from installer_support import SHADOW, TARGETS, TITLE, Installer, check  # noqa: E402
from pwharness import wait_until  # noqa: E402

# Click targets the installer tests do not need, in 96-DPI layout units.
TARGETS.update({
    # The middle of 立即安装 (the shared target sits on its top edge, which
    # misses by a pixel at 125 %).
    "btn_startinstall": (300, 302),
    "checkbox_3": (8, 190),
    "checkbox_5": (308, 158),
    "edit_installdir": (300, 424),
})

# Rectangles (96-DPI layout units, x0, y0, x1, y1) looked at by the pixel checks.
QUIT_BUTTON = (440, 344, 496, 364)
LOGO = (260, 64, 340, 144)
PROGRESS_LINE = (100, 330, 500, 350)  # below the message box

UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall"
BROWSER_TITLE = "Browse for Folder"


def shadow(scale):
    """The shadow margin at a scale, rounded as the window rounds it."""
    return (SHADOW * scale + 50) // 100


def layout_rect(scale, rect):
    m = shadow(scale)
    return tuple(m + v * scale // 100 for v in rect)


def crop(png, rect, out):
    x0, y0, x1, y1 = rect
    subprocess.run(["convert", png, "-crop", "%dx%d+%d+%d" % (x1 - x0, y1 - y0, x0, y0),
                    "+repage", out], check=True)
    return out


def darkest(png, rect):
    """Lowest grey level (0..255) inside a rectangle of a screenshot."""
    x0, y0, x1, y1 = rect
    out = subprocess.run(["convert", png, "-crop", "%dx%d+%d+%d" % (x1 - x0, y1 - y0, x0, y0),
                          "+repage", "-colorspace", "gray", "-format", "%[fx:int(255*minima)]",
                          "info:"], capture_output=True, text=True, check=True).stdout
    return int(out.strip())


def shot(app, name, win=None, settle=True):
    """A screenshot of the main window (or another one) in artifacts/installer_flow, once it
    has stopped changing (settle=False: now, for a page that keeps moving)."""
    path = app.wine.artifacts("installer_flow", "%s_%d.png" % (name, app.wine.dpi))
    return app.wine.screenshot(path, win or app.win, settle)


def quit_button_enabled(app, name):
    """btn_quitStart draws its text dark when enabled and faded when not."""
    png = shot(app, name)
    level = darkest(png, layout_rect(app.scale, QUIT_BUTTON))
    return level < 135, level


def wait_quit_button(app, enabled, name):
    deadline = time.time() + 5
    while True:
        state, level = quit_button_enabled(app, name)
        if state == enabled or time.time() > deadline:
            break
        time.sleep(0.3)
    check(state == enabled, "btn_quitStart %s (darkest text %d), expected %s" %
          ("enabled" if state else "disabled", level, "enabled" if enabled else "disabled"))


def rmse(a, b):
    out = subprocess.run(["compare", "-metric", "RMSE", a, b, "null:"], capture_output=True,
                         text=True).stderr
    # "1234.5 (0.0188)": the normalised figure is in the brackets.
    return float(out.split("(")[1].split(")")[0])


def logo_match(wine, png, scale, logo, tag):
    """How closely the logo on a screenshot matches `logo` drawn 1:1 over the
    same background: the smallest RMSE (0..1) over small offsets."""
    size = int(subprocess.run(["identify", "-format", "%w", logo], capture_output=True,
                              text=True, check=True).stdout)
    x0, y0, _, _ = layout_rect(scale, LOGO)
    best = 1.0
    for dx in (-1, 0, 1):
        for dy in (-1, 0, 1):
            area = crop(png, (x0 + dx, y0 + dy, x0 + dx + size, y0 + dy + size),
                        wine.artifacts("installer_flow", "tmp", "%s_area.png" % tag))
            ref = wine.artifacts("installer_flow", "tmp", "%s_ref.png" % tag)
            subprocess.run(["convert", area, logo, "-composite", ref], check=True)
            best = min(best, rmse(area, ref))
    return best


def scaled_image(wine, png, size, tag):
    out = wine.artifacts("installer_flow", "tmp", "%s_%d.png" % (tag, size))
    subprocess.run(["convert", png, "-resize", "%dx%d!" % (size, size), out], check=True)
    return out


# --- the message box ---------------------------------------------------------

def box_windows(wine, scale):
    """Visible windows of the message box's size (340 wide plus the shadow)."""
    width = (340 * scale + 50) // 100 + 2 * shadow(scale)
    found = []
    for win in wine.find_windows(".*"):
        try:
            _, _, w, _ = wine.geometry(win)
        except Exception:  # the window went away meanwhile
            continue
        if abs(w - width) <= 2:
            found.append(win)
    return found


def wait_box(wine, scale, exclude=(), timeout=60):
    box = wait_until(lambda: [w for w in box_windows(wine, scale) if w not in exclude],
                     timeout=timeout, what="message box")[-1]
    wine.wait_settled(box)  # shown and painted
    return box


def wait_box_gone(wine, scale, box, timeout=10):
    wait_until(lambda: box not in box_windows(wine, scale), timeout=timeout,
               what="message box %d closed" % box)


def box_row(wine, box, y):
    """The RGB pixels of one row of the box window."""
    png = wine.screenshot(wine.artifacts("installer_flow", "tmp", "box.png"), box)
    out = subprocess.run(["convert", png, "-crop", "x1+0+%d" % y, "+repage", "-depth", "8",
                          "rgb:-"], capture_output=True, check=True).stdout
    return [tuple(out[i:i + 3]) for i in range(0, len(out) - 2, 3)]


def click_box_button(wine, scale, box, which):
    """Clicks btn_yes or btn_no. They sit at the bottom right, the white yes
    button left of the blue no button, each as wide as its text needs: find
    them on the row through their middle."""
    _, _, w, h = wine.geometry(box)
    m = shadow(scale)
    y = h - m - 35 * scale // 100
    row = box_row(wine, box, y)
    blue = [x for x, (r, g, b) in enumerate(row) if b > 160 and r < 110 and x < w - m]
    check(blue, "no blue button on the message box")
    # Only the no button is blue; its white text splits the blue run.
    no_left, no_right = blue[0], blue[-1]
    if which == "btn_no":
        x = (no_left + no_right) // 2
    else:
        background = row[m + 4]
        drawn = [x for x in range(m + 4, no_left - 2) if
                 max(abs(a - b) for a, b in zip(row[x], background)) > 24]
        check(drawn, "no yes button on the message box")
        x = (drawn[0] + drawn[-1]) // 2
    wine.click(box, x, y)
    wine.wait_settled(box, quiet=0.3, timeout=3)  # answered (gone) or redrawn


# --- the folder browser ------------------------------------------------------

def open_folder_browser(app):
    wine = app.wine
    check(not wine.find_windows(BROWSER_TITLE), "a folder browser is already open")
    app.click("btn_changeinstallpath")
    dialog = wine.wait_window(BROWSER_TITLE, timeout=20)
    wine.wait_settled(dialog)  # its folder tree filled in
    return dialog


def start_installer(wine):
    """Starts the installer; an installer left over from an earlier test
    would answer in its place (one copy at a time), so there must be none."""
    check(not wine.find_windows(TITLE), "an installer from an earlier test is still running")
    app = Installer(wine)
    atexit.register(_leave_nothing_running, app)
    return app


def _leave_nothing_running(app):
    """At the end of a test script, even a failed one: no installer is left."""
    if not app.proc.running():
        return
    try:
        end_installer(app)
    except Exception:  # the window does not answer: end the process
        app.wine.run(["taskkill", "/f", "/im", "PageWrightOnlineSetup.exe"], timeout=30)


def end_product(wine):
    """Ends every demo product process of the prefix."""
    wine.run(["taskkill", "/f", "/im", "pageWright.exe"], timeout=30)


def end_installer(app):
    """Alt+F4 ends the installer at once; returns its exit code."""
    if app.proc.running():
        app.wine.key("alt+F4", win=app.win)
    return app.wait_exit(20)
