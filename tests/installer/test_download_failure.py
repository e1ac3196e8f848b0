"""Every download attempt fails: six attempts alternating package service and
CDN, the failure page with its reason, one retry, the exit survey and its
report; then Alt+F4 during a download ends the installer with exit code 0."""

import sys

from installer_support import Installer, PackageService, check, clean_state, data_of
from pwharness import Wine, wait_until


def failures(service):
    return [data_of(r) for r in service.reports() if r["eventId"] == "InstallResultReport"]


def main():
    wine = Wine()
    clean_state(wine)
    with PackageService(wine, "download_failure_%d.jsonl" % wine.dpi) as service:
        service.packages(service={"status": 503}, cdn={"status": 503})
        app = Installer(wine)
        app.click("btn_startinstall")
        wait_until(lambda: failures(service), timeout=120, what="failure report")
        app.shot("download_failed")
        sources = [r["source"] for r in service.package_requests()]
        check(sources == ["service", "cdn"] * 3, "attempt sources %s" % sources)
        first = failures(service)[0]
        check(first.get("result") == "faild" and first.get("errorMsg", "").startswith(
            "Download Faild :"), "failure report %s" % first)
        dl = [data_of(r) for r in service.reports() if r["eventId"] == "DownloadTimeCost"][0]
        check(dl.get("ret") == "1" and dl.get("retryTime") == "6" and "fileSize" not in dl,
              "DownloadTimeCost %s" % dl)

        # One retry: six more attempts and the failure page again.
        app.click("btn_reinstall")
        wait_until(lambda: len(failures(service)) == 2, timeout=120, what="second failure")
        app.shot("download_failed_again")
        check(len(service.package_requests()) == 12, "requests %d" % len(service.package_requests()))

        # Leaving without an installed product: the survey page.
        app.click("btn_exit")
        app.shot("exit_survey")
        clicks = [data_of(r) for r in service.reports() if r["eventId"] == "OnClick"]
        check(clicks == [{"ClickSrc": "Install"}, {"ClickSrc": "ReInstall"},
                         {"ClickSrc": "ReInstall"}], "clicks %s" % clicks)
        app.click("checkbox_2")
        app.click("checkbox_4")
        app.click("btn_quitStart")
        code = app.wait_exit(30)
        check(code == 0, "exit code %s" % code)
        survey = wait_until(lambda: [data_of(r) for r in service.reports()
                                     if data_of(r).get("btn_exit")], timeout=20, what="survey")
        check(survey[0]["btn_exit"] == "Start  曾安装不喜欢", "survey report %s" % survey)

        # Alt+F4 while a slow download runs: the process ends at once with 0.
        service.packages(service={"trickle": 60}, cdn={"trickle": 60})
        app = Installer(wine)
        app.click("btn_startinstall")
        wait_until(lambda: len(service.package_requests()) > 12, timeout=30,
                   what="the download under way")
        check(app.proc.running(), "installer ended early")
        wine.key("alt+F4", win=app.win)
        code = app.wait_exit(15)
        check(code == 0, "exit code after Alt+F4 %s" % code)
    print("download failure, survey and Alt+F4 OK")
    return 0


if __name__ == "__main__":
    sys.exit(main())
