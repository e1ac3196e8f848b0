"""A running product stops the setup with a question; closing the question
box with Alt+F4 counts as 强制关闭: the product is ended and the setup runs."""

import sys

from installer_support import (Installer, PackageService, check, clean_state, data_of,
                               start_demo_product)
from pwharness import Wine, wait_until


def main():
    wine = Wine()
    clean_state(wine)
    running = start_demo_product(wine, 120)
    with PackageService(wine, "product_running_%d.jsonl" % wine.dpi) as service:
        app = Installer(wine)
        before = set(wine.find_windows(".*"))
        app.click("btn_startinstall")
        # The question box has no native title: it is the window that
        # appears over the main window once the download is through.
        wait_until(lambda: [r for r in service.reports() if r["eventId"] == "DownloadTimeCost"],
                   timeout=120, what="download")
        box = wait_until(lambda: [w for w in wine.find_windows(".*") if w not in before],
                         timeout=30, what="question box")[-1]
        wine.screenshot(wine.artifacts("installer", "product_running_%d.png" % wine.dpi), box)
        check(not [r for r in service.reports() if r["eventId"] == "InstallTimeCost"],
              "setup ran while the product was running")
        wine.key("alt+F4", win=box)
        code = running.wait(20)
        check(code == 0, "product exit code %s" % code)
        wait_until(lambda: [r for r in service.reports() if r["eventId"] == "InstallResultReport"],
                   timeout=180, what="result")
        result = [data_of(r) for r in service.reports() if r["eventId"] == "InstallResultReport"]
        check(result == [{"result": "success"}], "result %s" % result)
        app.shot("installed_after_force_close")
        wine.key("alt+F4", win=app.win)
        check(app.wait_exit(15) == 0, "installer exit code")
    print("product running OK")
    return 0


if __name__ == "__main__":
    sys.exit(main())
