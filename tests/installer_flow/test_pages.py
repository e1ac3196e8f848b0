"""Every page of the installer on screen at the test's DPI (screenshots in
artifacts/installer_flow/), and the question after a failed setup: 下载完整安装包
and closing the box by Alt+F4 keep the installer (owner enabled again),
已经安装 leaves it."""

import sys

from flow_support import (click_box_button, end_installer, shot, start_installer, wait_box,
                          wait_box_gone)
from installer_support import PackageService, check, clean_state, data_of
from pwharness import Wine, wait_until


def clicks(service):
    return [data_of(r) for r in service.reports() if r["eventId"] == "OnClick"]


def offline_clicks(service):
    return [c for c in clicks(service) if c == {"ClickSrc": "DownloadOffline"}]


def failed_setup(wine):
    clean_state(wine)
    with PackageService(wine, "flow_pages_failed_%d.jsonl" % wine.dpi) as service:
        # A slow download keeps the install page up for the screenshot.
        service.packages(service={"trickle": 6}, setup={"exit": 7, "runs": 3})
        app = start_installer(wine)
        try:
            shot(app, "page_welcome")
            app.click("btn_customize")
            shot(app, "page_welcome_customize")
            app.click("btn_startinstall")
            wait_until(service.package_requests, timeout=30, what="the download under way")
            shot(app, "page_installing", settle=False)
            wait_until(lambda: [r for r in service.reports()
                                if r["eventId"] == "InstallResultReport"], timeout=300,
                       what="failure")
            shot(app, "page_failed")

            app.click("btn_exit")
            box = wait_box(wine, app.scale)
            shot(app, "page_leave_question", box)
            shot(app, "page_leave_question_over_main")
            click_box_button(wine, app.scale, box, "btn_no")
            wait_box_gone(wine, app.scale, box)
            wait_until(lambda: offline_clicks(service), timeout=10, what="DownloadOffline")
            check(app.proc.running(), "下载完整安装包 ended the installer")

            # Alt+F4 on the box answers 下载完整安装包 too and gives the
            # main window back: btn_exit opens the question again.
            app.click("btn_exit")
            box = wait_box(wine, app.scale, exclude=(box,))
            wine.key("alt+F4", win=box)
            wait_box_gone(wine, app.scale, box)
            wait_until(lambda: len(offline_clicks(service)) == 2, timeout=10,
                       what="DownloadOffline after Alt+F4")
            check(app.proc.running(), "Alt+F4 on the box ended the installer")
            app.click("btn_exit")
            box = wait_box(wine, app.scale, exclude=(box,))

            click_box_button(wine, app.scale, box, "btn_yes")
            code = app.wait_exit(20)
            check(code == 0, "exit code %s" % code)
            wait_until(lambda: clicks(service)[-1:] == [{"btn_exit": "Failed 未安装"}],
                       timeout=20, what="Failed 未安装 report")
            offline = {"ClickSrc": "DownloadOffline"}
            wanted = [{"ClickSrc": "Install"}, offline, offline, {"btn_exit": "Failed 未安装"}]
            check(clicks(service) == wanted, "clicks %s" % clicks(service))
        finally:
            end_installer(app)


def survey_then_install(wine):
    clean_state(wine)
    with PackageService(wine, "flow_pages_survey_%d.jsonl" % wine.dpi) as service:
        app = start_installer(wine)
        try:
            app.click("btn_exit")
            shot(app, "page_survey")
            app.click("checkbox_2")
            shot(app, "page_survey_ticked")
            app.click("btn_continueInstall")
            wait_until(lambda: [r for r in service.reports()
                                if r["eventId"] == "InstallResultReport"], timeout=240,
                       what="result")
            shot(app, "page_installed")
            result = [data_of(r) for r in service.reports()
                      if r["eventId"] == "InstallResultReport"]
            check(result == [{"result": "success"}], "result %s" % result)
            check(clicks(service) == [{"ClickSrc": "ReInstall"}, {"ClickSrc": "Install"}],
                  "clicks %s" % clicks(service))
        finally:
            check(end_installer(app) == 0, "installer exit code")


def main():
    wine = Wine()
    failed_setup(wine)
    survey_then_install(wine)
    print("pages at %d DPI OK" % wine.dpi)
    return 0


if __name__ == "__main__":
    sys.exit(main())
