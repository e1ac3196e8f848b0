"""The whole installation by clicks: welcome page, download with progress,
silent setup, success page, launch of the product; the reports in order, the
registry record and the installer's exit code."""

import os
import sys

from installer_support import (APPINFO_KEY, Installer, PackageService, check, clean_state,
                               data_of, default_install_dir, read_utf16)
from pwharness import Wine, wait_until


def main():
    wine = Wine()
    clean_state(wine)
    with PackageService(wine, "happy_%d.jsonl" % wine.dpi) as service:
        app = Installer(wine)
        width, height = app.size()
        expected = (600 + 28) * app.scale // 100
        check(abs(width - expected) <= 2, "window width %d, expected about %d" % (width, expected))
        app.shot("welcome")

        # The customize bar grows the window by 48 x scale and shrinks it back.
        app.click("btn_customize")
        w2, h2 = app.size()
        check(h2 - height == 48 * app.scale // 100, "expanded height %d from %d" % (h2, height))
        app.shot("welcome_customize")
        app.click("btn_expand")
        check(app.size() == (width, height), "collapsed size %s" % (app.size(),))

        # Open the bar again: 立即安装 collapses it before the install page.
        app.click("btn_customize")
        app.click("btn_startinstall")
        check(app.size() == (width, height), "bar not collapsed by 立即安装: %s" % (app.size(),))
        app.shot("installing", settle=False)

        service.wait_event("InstallResultReport", timeout=180)
        app.shot("installed")
        check(app.proc.running(), "installer ended before 立即体验")

        install_dir = default_install_dir(wine)
        check(os.path.exists(os.path.join(install_dir, "pageWright.exe")),
              "product not installed in %s" % install_dir)
        check(wine.reg_query(APPINFO_KEY, "InstallerPath") ==
              r"C:\Program Files (x86)\zorvikmedia\pageWright",
              "InstallerPath %r" % wine.reg_query(APPINFO_KEY, "InstallerPath"))
        check(wine.reg_query(APPINFO_KEY, "InstallerChannel") == "website_kmtlow",
              "InstallerChannel %r" % wine.reg_query(APPINFO_KEY, "InstallerChannel"))
        cmdline = read_utf16(os.path.join(install_dir, "setup-cmdline.txt"))
        # NSIS strips " /D=..." from what the package sees; the install folder
        # above shows it arrived. The package path is quoted.
        check(cmdline.startswith('"') and "PageWrightInstaller.exe\" /S" in cmdline,
              "setup command line %r" % cmdline)

        app.click("btn_startapp")
        code = app.wait_exit(30)
        check(code == 0, "installer exit code %s" % code)
        launches = os.path.join(install_dir, "launches.log")
        wait_until(lambda: os.path.exists(launches), timeout=20, what="product started")
        launch = open(launches, encoding="utf-8").read()
        check("--install" in launch, "product command line %r" % launch)

        reports = service.reports()
        events = [(r["eventId"], data_of(r)) for r in reports]
        names = [e for e, _ in events]
        print("events:", names)
        wanted = ["AppStart", "OnClick", "DownloadTimeCost", "InstallTimeCost",
                  "InstallResultReport"]
        check(names == wanted, "events %s" % names)
        check(events[1][1] == {"ClickSrc": "Install"}, "click %s" % events[1][1])
        dl = events[2][1]
        check(dl.get("ret") == "0" and dl.get("retryTime") == "0" and int(dl["fileSize"]) >= 10485760
              and "cost" in dl, "DownloadTimeCost %s" % dl)
        check(events[3][1].get("ret") == "0" and events[3][1].get("retryTime") == "0",
              "InstallTimeCost %s" % events[3][1])
        check(events[4][1] == {"result": "success"}, "InstallResultReport %s" % events[4][1])
        requests = service.package_requests()
        check([r["source"] for r in requests] == ["service"], "package requests %s" % requests)
        check(requests[0].get("channel") == "website_kmtlow" and requests[0].get("bits") == "64",
              "package request %s" % requests[0])
    print("happy path OK at %d DPI" % wine.dpi)
    return 0


if __name__ == "__main__":
    sys.exit(main())
