"""The installation folder and a 125 % display: the window at 120 DPI is
786 x 536 and draws the hdpi skin; a recorded folder without the product
stays changeable; choosing the drive root in the shell folder browser gives
the doubled backslash before "zorvikmedia", cancelling keeps the choice;
the customize bar grows the window by 60 pixels, 立即安装 collapses it,
and the setup installs into the chosen folder, from where 立即体验 starts
the product."""

import os
import shutil
import sys

from flow_support import (end_installer, logo_match, open_folder_browser, scaled_image, shot,
                          start_installer)
from installer_support import APPINFO_KEY, PackageService, check, clean_state, data_of
from pwharness import Wine, wait_until


def main():
    wine = Wine()
    clean_state(wine)
    # Recorded, but the product is not there: the folder stays changeable.
    wine.reg_add(APPINFO_KEY, "InstallerPath", r"C:\pw flow missing")
    with PackageService(wine, "flow_folder_%d.jsonl" % wine.dpi) as service:
        app = start_installer(wine)
        try:
            run(wine, service, app)
        finally:
            end_installer(app)
            shutil.rmtree(wine.drive_c("Program Files", "zorvikmedia"), ignore_errors=True)
            shutil.rmtree(wine.drive_c("zorvikmedia"), ignore_errors=True)
    print("folder at %d DPI OK" % wine.dpi)
    return 0


def run(wine, service, app):
    size = app.size()
    expected = {96: (628, 428), 120: (786, 536), 144: (942, 642)}.get(wine.dpi)
    check(expected is None or size == expected, "window %s at %d DPI" % (size, wine.dpi))
    welcome = shot(app, "folder_welcome")

    # The logo must be the theme's own bitmap drawn 1:1: it matches the
    # screen clearly better than the other trees' bitmaps scaled to size.
    themes = os.path.join(wine.source, "resources", "themes")
    trees = {96: "default", 120: "default-hdpi", 144: "default-xhdpi"}
    own_tree = trees[wine.dpi]
    own = logo_match(wine, welcome, app.scale,
                     os.path.join(themes, own_tree, "basic", "logo.png"), "own")
    others = {}
    for tree in trees.values():
        if tree != own_tree:
            scaled = scaled_image(wine, os.path.join(themes, tree, "basic", "logo.png"),
                                  80 * app.scale // 100, tree)
            others[tree] = logo_match(wine, welcome, app.scale, scaled, tree)
    print("logo RMSE: %s %.4f, %s" % (own_tree, own, ", ".join(
        "%s scaled %.4f" % kv for kv in sorted(others.items()))))
    check(own < 0.03 and all(own < 0.75 * v for v in others.values()),
          "the logo is not the %s bitmap" % own_tree)

    app.click("btn_customize")
    grown = app.size()
    check(grown == (size[0], size[1] + 48 * app.scale // 100),
          "expanded %s from %s" % (grown, size))
    shot(app, "folder_recorded")

    # Keyboard in the browser: Left selects the drive of the preselected
    # Program Files folder, Return takes it.
    dialog = open_folder_browser(app)
    shot(app, "folder_browser", dialog)
    wine.key("Left", win=dialog)
    wine.wait_settled(dialog, quiet=0.3, timeout=5)  # the selection moved
    wine.key("Return", win=dialog)
    wine.wait_no_window("Browse for Folder", timeout=20)
    shot(app, "folder_drive_root")

    dialog = open_folder_browser(app)
    wine.key("Left", "Left", win=dialog)  # another selection, then cancelled
    wine.wait_settled(dialog, quiet=0.3, timeout=5)
    wine.key("Escape", win=dialog)
    wine.wait_no_window("Browse for Folder", timeout=20)
    shot(app, "folder_after_cancel")
    check(app.size() == grown, "browsing changed the window: %s" % (app.size(),))

    app.click("btn_startinstall")
    check(app.size() == size, "立即安装 left the bar open: %s" % (app.size(),))
    shot(app, "folder_installing", settle=False)
    wait_until(lambda: [r for r in service.reports() if r["eventId"] == "InstallResultReport"],
               timeout=240, what="result")
    result = [data_of(r) for r in service.reports() if r["eventId"] == "InstallResultReport"]
    check(result == [{"result": "success"}], "result %s" % result)
    recorded = wine.reg_query(APPINFO_KEY, "InstallerPath")
    check(recorded == "C:\\\\zorvikmedia\\pageWright", "InstallerPath %r" % recorded)
    # The package gets the folder with one separator (it would refuse the
    # doubled one and install into its own default folder instead).
    installed = wine.drive_c("zorvikmedia", "pageWright")
    check(os.path.exists(os.path.join(installed, "pageWright.exe")),
          "product not installed in %s" % installed)
    check(not os.path.exists(wine.drive_c("Program Files", "zorvikmedia")),
          "the package installed into its default folder")
    shot(app, "folder_installed")
    # 立即体验 starts the product through the recorded (doubled) path.
    app.click("btn_startapp")
    check(app.wait_exit(30) == 0, "installer exit code")
    launches = os.path.join(installed, "launches.log")
    wait_until(lambda: os.path.exists(launches), timeout=20, what="product started")


if __name__ == "__main__":
    sys.exit(main())
