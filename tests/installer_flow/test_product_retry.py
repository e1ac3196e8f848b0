"""A running product stops the setup with a question: 重试 while it still
runs asks again and leaves the progress where it was; 强制关闭 ends the
product and the setup runs. Both answers by clicks on the box's buttons."""

import subprocess
import sys
import time

from flow_support import (PROGRESS_LINE, click_box_button, crop, end_installer, end_product,
                          layout_rect, shot, start_installer, wait_box, wait_box_gone)
from installer_support import (PackageService, check, clean_state, data_of,
                               start_demo_product)
from pwharness import Wine, wait_until


def events(service, name):
    return [data_of(r) for r in service.reports() if r["eventId"] == name]


def main():
    wine = Wine()
    clean_state(wine)
    running = start_demo_product(wine, 180)
    try:
        with PackageService(wine, "flow_product_retry_%d.jsonl" % wine.dpi) as service:
            app = start_installer(wine)
            try:
                run(wine, service, app, running)
            finally:
                end_installer(app)
    finally:
        end_product(wine)
    print("product running: retry and force close OK")
    return 0


def run(wine, service, app, running):
    app.click("btn_startinstall")
    wait_until(lambda: events(service, "DownloadTimeCost"), timeout=120, what="download")
    box = wait_box(wine, app.scale)
    shot(app, "product_running_box", box)
    before = progress_line(app, shot(app, "product_running_main"), "before")

    click_box_button(wine, app.scale, box, "btn_yes")
    wait_box_gone(wine, app.scale, box)
    again = wait_box(wine, app.scale, exclude=(box,))
    shot(app, "product_running_asked_again", again)
    check(running.running(), "重试 ended the product")
    check(not events(service, "InstallTimeCost"), "setup ran while the product ran")
    # The progress line below the box stays as it was while the question is open: looked
    # at again after the ticker has had time for several steps.
    time.sleep(1.5)
    after = progress_line(app, shot(app, "product_running_main_again"), "after")
    check(same_pixels(before, after), "progress moved while waiting")

    click_box_button(wine, app.scale, again, "btn_no")
    code = running.wait(20)
    check(code == 0, "product exit code %s" % code)
    wait_until(lambda: events(service, "InstallResultReport"), timeout=180, what="result")
    check(events(service, "InstallResultReport") == [{"result": "success"}],
          "result %s" % events(service, "InstallResultReport"))
    check(end_installer(app) == 0, "installer exit code")


def progress_line(app, png, tag):
    out = app.wine.artifacts("installer_flow", "tmp", "progress_line_%s.png" % tag)
    return crop(png, layout_rect(app.scale, PROGRESS_LINE), out)


def same_pixels(a, b):
    """Two crops show the same picture."""
    out = subprocess.run(["compare", "-metric", "AE", "-fuzz", "2%", a, b, "null:"],
                         capture_output=True, text=True).stderr.strip()
    try:
        return float(out.split()[0]) == 0
    except ValueError:
        return False


if __name__ == "__main__":
    sys.exit(main())
