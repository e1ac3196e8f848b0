"""The installer by keyboard alone. Tab and Shift+Tab walk the visible controls in layout
order, Return and Space act as a click does; a click is never used here.

    test_keyboard.py install_and_launch | survey | message_box
"""

import os
import sys
import time

from flow_support import end_installer, start_installer, wait_quit_button
from installer_support import (PackageService, check, clean_state, data_of, default_install_dir,
                               launch_count, start_demo_product)
from pwharness import Wine, wait_until


def clicks(service):
    return [data_of(r) for r in service.reports() if r["eventId"] == "OnClick"]


def press(app, *keys):
    for key in keys:
        app.wine.key(key, win=app.win)
    app.wine.wait_settled(app.win, quiet=0.3, timeout=3)


def install_and_launch(wine):
    clean_state(wine)
    with PackageService(wine, "keyboard_install.jsonl") as service:
        app = start_installer(wine)
        try:
            # The welcome page's stops: the close button, 立即安装, 自定义安装. Shift+Tab from the
            # start wraps round to the last one, and back.
            press(app, "shift+Tab", "Tab", "Tab")
            app.shot("keyboard_focus_install")
            press(app, "Return")
            service.wait_event("InstallResultReport", timeout=180)
            check(clicks(service) == [{"ClickSrc": "Install"}], "clicks %s" % clicks(service))
            check(len(service.package_requests()) == 1,
                  "package requests %s" % service.package_requests())
            check(app.proc.running(), "installer ended before 立即体验")
            # The installed page: the close button, then 立即体验.
            press(app, "Tab", "Tab")
            app.shot("keyboard_focus_start")
            press(app, "Return")
            check(app.wait_exit(30) == 0, "installer exit code")
            log = os.path.join(default_install_dir(wine), "launches.log")
            wait_until(lambda: os.path.exists(log), timeout=20, what="product started")
            time.sleep(1)  # time for a second start, which must not come
            check(launch_count(log) == 1, "product started %d times" % launch_count(log))
        finally:
            end_installer(app)


def survey(wine):
    clean_state(wine)
    with PackageService(wine, "keyboard_survey.jsonl") as service:
        app = start_installer(wine)
        try:
            # The close button, first in the Tab order, leads to the survey.
            press(app, "Tab", "Return")
            wait_until(lambda: clicks(service), timeout=10, what="survey click")
            # The survey's stops: the five reasons, the feedback field, 直接退出 (disabled
            # until a reason or a text) and 继续安装.
            press(app, "Tab", "Tab", "Tab", "Tab", "Tab", "shift+Tab", "shift+Tab", "shift+Tab",
                  "shift+Tab")  # back on the first reason
            press(app, "space")
            app.shot("keyboard_focus_checkbox")
            wait_quit_button(app, True, "keyboard_reason")
            press(app, "Tab", "Tab", "Tab", "Tab", "Tab")  # the feedback field
            wine.type_text("keys only", win=app.win)
            press(app, "Tab", "Return")  # 直接退出
            check(app.wait_exit(30) == 0, "installer exit code")
            survey_text = [c for c in clicks(service) if "btn_exit" in c]
            check(survey_text == [{"btn_exit": "Start keys only 已安装"}],
                  "survey report %s" % survey_text)
        finally:
            end_installer(app)


def message_box(wine):
    """The question about the running product: Yes (重试) has the focus, Tab moves to 强制关闭."""
    clean_state(wine)
    running = start_demo_product(wine, 120)
    with PackageService(wine, "keyboard_box.jsonl") as service:
        app = start_installer(wine)
        try:
            before = set(wine.find_windows(".*"))
            press(app, "shift+Tab", "Tab", "Tab", "Return")
            wait_until(lambda: [r for r in service.reports() if r["eventId"] == "DownloadTimeCost"],
                       timeout=120, what="download")
            box = wait_until(lambda: [w for w in wine.find_windows(".*") if w not in before],
                             timeout=30, what="question box")[-1]
            wine.wait_settled(box, timeout=5)
            wine.key("Right", win=box)  # a navigation key shows the cue on the focused 重试
            wine.wait_settled(box, quiet=0.3, timeout=3)
            wine.screenshot(wine.artifacts("installer", "keyboard_focus_yes_%d.png" % wine.dpi), box)
            wine.key("Tab", win=box)
            wine.key("Return", win=box)  # 强制关闭
            check(running.wait(20) == 0, "product still running")
            service.wait_event("InstallResultReport", timeout=180)
            result = [data_of(r) for r in service.reports() if r["eventId"] == "InstallResultReport"]
            check(result == [{"result": "success"}], "result %s" % result)
        finally:
            end_installer(app)


def main():
    wine = Wine()
    cases = {"install_and_launch": install_and_launch, "survey": survey, "message_box": message_box}
    cases[sys.argv[1]](wine)
    print("keyboard %s OK" % sys.argv[1])
    return 0


if __name__ == "__main__":
    sys.exit(main())
