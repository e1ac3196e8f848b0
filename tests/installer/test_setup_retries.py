"""The silent setup: a package failing twice then succeeding is run three
times and installs into a recorded folder with blanks; a package failing
three times leads to the failure page with its exit code."""

import os
import sys

from installer_support import (APPINFO_KEY, Installer, PackageService, check, clean_state,
                               data_of)
from pwharness import Wine, wait_until


def reports(service, name):
    return [data_of(r) for r in service.reports() if r["eventId"] == name]


def main():
    wine = Wine()
    clean_state(wine)
    folder = r"C:\pw setup test\with blanks"
    local = wine.drive_c("pw setup test", "with blanks")
    wine.reg_add(APPINFO_KEY, "InstallerPath", folder)
    with PackageService(wine, "setup_retries_%d.jsonl" % wine.dpi) as service:
        service.packages(setup={"exit": 5, "runs": 2})
        app = Installer(wine)
        app.click("btn_startinstall")
        wait_until(lambda: reports(service, "InstallResultReport"), timeout=240, what="result")
        setup = reports(service, "InstallTimeCost")[0]
        check(setup.get("ret") == "0" and setup.get("retryTime") == "2", "InstallTimeCost %s" % setup)
        check(reports(service, "InstallResultReport")[0] == {"result": "success"}, "not success")
        check(os.path.exists(os.path.join(local, "pageWright.exe")),
              "product not in the folder with blanks")
        wine.key("alt+F4", win=app.win)
        check(app.wait_exit(15) == 0, "exit code after Alt+F4")

    clean_state(wine)
    with PackageService(wine, "setup_failure_%d.jsonl" % wine.dpi) as service:
        service.packages(setup={"exit": 7, "runs": 3})
        app = Installer(wine)
        app.click("btn_startinstall")
        wait_until(lambda: reports(service, "InstallResultReport"), timeout=240, what="result")
        app.shot("install_failed")
        setup = reports(service, "InstallTimeCost")[0]
        check(setup.get("ret") == "7" and setup.get("retryTime") == "3", "InstallTimeCost %s" % setup)
        result = reports(service, "InstallResultReport")[0]
        check(result == {"errorMsg": "Install Faild errorCode:7", "result": "faild"},
              "InstallResultReport %s" % result)
        check(wine.reg_query(APPINFO_KEY, "InstallerPath") is None, "InstallerPath written")
        wine.key("alt+F4", win=app.win)
        check(app.wait_exit(15) == 0, "exit code after Alt+F4")
    print("setup retries OK")
    return 0


if __name__ == "__main__":
    sys.exit(main())
