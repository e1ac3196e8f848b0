"""One installation that meets three troubles on its way:
- another program holds PageWrightInstaller.exe open in the download folder,
  so the package is written as 1PageWrightInstaller.exe;
- the package service answers 503 with a whole package as the body: the
  attempt fails, it is not taken as the package;
- the CDN trickles the package over 20 s: the slow-download hint appears
  after 10 s, not before, and the installation completes."""

import os
import sys
import time

from download_support import (DOWNLOAD_ALERT, InstallerRun, PackageService, Wine, check,
                              clean_state, close_by_alt_f4, data_of, marks, shot, wait_until)
from installer_support import default_install_dir, read_utf16

TRICKLE_SECONDS = 20


def roaming_folder(wine):
    users = wine.drive_c("users")
    for name in sorted(os.listdir(users)):
        path = os.path.join(users, name, "AppData", "Roaming")
        if name != "Public" and os.path.isdir(path):
            return name, path
    raise AssertionError("no roaming application-data folder in %s" % users)


def remove(path):
    if os.path.exists(path):
        os.remove(path)


def main():
    wine = Wine()
    clean_state(wine)
    user, roaming = roaming_folder(wine)
    folder = os.path.join(roaming, "PageWright", "Files")
    os.makedirs(folder, exist_ok=True)
    first_name = os.path.join(folder, "PageWrightInstaller.exe")
    second_name = os.path.join(folder, "1PageWrightInstaller.exe")
    remove(first_name)
    remove(second_name)

    probe = os.path.join(wine.build, "tests", "engine", "engine_probe.exe")
    check(os.path.exists(probe), "engine_probe.exe not built")
    holder = wine.start(probe, ["hold", r"C:\users\%s\AppData\Roaming\PageWright\Files"
                                        r"\PageWrightInstaller.exe" % user, "600"])
    try:
        # The holder creates the file without sharing: once it exists, it is held.
        wait_until(lambda: os.path.exists(first_name), timeout=60, what="file held")
        with PackageService(wine, "slow_locked_%d.jsonl" % wine.dpi) as service:
            size = service.package_size()
            service.packages(service={"status": 503, "error_body": True},
                             cdn={"trickle": TRICKLE_SECONDS})
            with InstallerRun(wine) as app:
                app.click("btn_startinstall")
                started = time.time()
                # The 503 answer carries a whole package; it must not be taken.
                wait_until(lambda: [r["source"] for r in service.package_requests()] ==
                           ["service", "cdn"], timeout=10, what="a CDN attempt after the 503")

                time.sleep(max(0.0, started + 5 - time.time()))
                early = shot(app, "slow_5s", settle=False)
                check(marks(app, early, DOWNLOAD_ALERT) == 0,
                      "slow-download hint before 10 s (%s)" % early)

                time.sleep(max(0.0, started + 13 - time.time()))
                late = shot(app, "slow_13s", settle=False)
                check(not service.events_named("DownloadTimeCost"),
                      "download ended before the hint could be seen")
                check(marks(app, late, DOWNLOAD_ALERT) > 30,
                      "no slow-download hint after 10 s (%s)" % late)

                service.wait_event("InstallResultReport", timeout=240)
                shot(app, "slow_installed")
                result = service.events_named("InstallResultReport")
                check(result == [{"result": "success"}], "InstallResultReport %s" % result)
                sources = [r["source"] for r in service.package_requests()]
                check(sources == ["service", "cdn"], "attempt sources %s" % sources)
                timing = service.events_named("DownloadTimeCost")[0]
                check(timing.get("ret") == "0" and timing.get("retryTime") == "1" and
                      timing.get("fileSize") == str(size) and
                      int(timing["cost"]) >= TRICKLE_SECONDS - 2,
                      "DownloadTimeCost %s (package %d)" % (timing, size))

                cmdline = read_utf16(os.path.join(default_install_dir(wine),
                                                  "setup-cmdline.txt"))
                check("\\PageWright\\Files\\1PageWrightInstaller.exe\" /S" in cmdline,
                      "setup command line %r" % cmdline)
                check(os.path.getsize(first_name) == 0, "the held file was written to")
                events = [r["eventId"] for r in service.reports()]
                check(events == ["AppStart", "OnClick", "DownloadTimeCost", "InstallTimeCost",
                                 "InstallResultReport"], "events %s" % events)
                check(data_of(service.reports()[1]) == {"ClickSrc": "Install"}, "click report")
                close_by_alt_f4(wine, app)
    finally:
        holder.kill()
    wait_until(lambda: not holder.running(), timeout=20, what="holder ended")
    for path in (first_name, second_name):
        try:
            remove(path)
        except OSError:
            pass
    print("slow, locked and 503-with-body download OK")
    return 0


if __name__ == "__main__":
    sys.exit(main())
