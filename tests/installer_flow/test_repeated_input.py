"""Every user intent acts once: keys pressed after 立即安装 while the bar fills,
a double click on 立即体验 and on 直接退出."""

import os
import sys
import time

from flow_support import crop, end_installer, layout_rect, rmse, shot, start_installer
from installer_support import (PackageService, check, clean_state, data_of, default_install_dir)
from pwharness import Wine, wait_until



def count(service, name, **fields):
    return len([r for r in service.reports() if r["eventId"] == name and
                all(data_of(r).get(k) == v for k, v in fields.items())])


def double_click(app, name):
    from installer_support import TARGETS
    px, py = app.point(*TARGETS[name])
    wx, wy, _, _ = app.wine.geometry(app.win)
    app.wine.xdotool("mousemove", "--sync", wx + px, wy + py)
    time.sleep(0.1)
    app.wine.xdotool("click", "--repeat", "2", "--delay", "60", "1")


# The text area of edit_feedback (96-DPI layout units), inside its padding.
FEEDBACK_TEXT = (6, 250, 300, 334)


def wheel(app, name, button, notches):
    """Turns the wheel over a control: X button 4 is a notch up, 5 a notch down."""
    from installer_support import TARGETS
    px, py = app.point(*TARGETS[name])
    wx, wy, _, _ = app.wine.geometry(app.win)
    app.wine.xdotool("mousemove", "--sync", wx + px, wy + py)
    for _ in range(notches):
        app.wine.xdotool("click", button)
        time.sleep(0.15)  # a hand's pace between notches


def feedback_text(app, tag):
    png = shot(app, "repeated_feedback_" + tag)
    return crop(png, layout_rect(app.scale, FEEDBACK_TEXT),
                app.wine.artifacts("installer_flow", "feedback_%s_%d.png" % (tag, app.wine.dpi)))


def keys_and_launch(wine):
    clean_state(wine)
    with PackageService(wine, "repeated_keys_%d.jsonl" % wine.dpi) as service:
        service.packages(service={"trickle": 6})
        app = start_installer(wine)
        app.click("btn_startinstall")
        for key in ("space", "Return", "space"):
            wine.key(key, win=app.win)
            time.sleep(0.4)  # a hand's pace between presses
        service.wait_event("InstallResultReport", timeout=180)
        # What the keys must not have started would show by now: a second download's
        # request, a second setup run.
        time.sleep(2)
        clicks = count(service, "OnClick", ClickSrc="Install")
        requests = service.package_requests()
        setups = count(service, "InstallTimeCost")
        print("keys: %d OnClick Install, %d package requests, %d setup runs"
              % (clicks, len(requests), setups))
        check(clicks == 1, "%d OnClick Install reports" % clicks)
        check(len(requests) == 1, "package requests %s" % requests)
        check(setups == 1, "%d setup runs" % setups)

        shot(app, "repeated_installed")
        double_click(app, "btn_startapp")
        code = app.wait_exit(30)
        check(code == 0, "installer exit code %s" % code)
        launches = os.path.join(default_install_dir(wine), "launches.log")
        wait_until(lambda: os.path.exists(launches), timeout=20, what="product started")
        time.sleep(3)  # time for a second start, which must not come
        starts = [l for l in open(launches, encoding="utf-8").read().splitlines() if l.strip()]
        print("double click on 立即体验: %d product start(s)" % len(starts))
        check(len(starts) == 1, "product starts %s" % starts)


def survey_quit(wine):
    clean_state(wine)
    with PackageService(wine, "repeated_survey_%d.jsonl" % wine.dpi) as service:
        app = start_installer(wine)
        try:
            app.click("btn_exit")
            wait_until(lambda: count(service, "OnClick", ClickSrc="ReInstall"), timeout=10,
                       what="survey page")
            app.click("edit_feedback")
            for i in range(1, 16):
                wine.type_text("line %d of a long answer" % i, win=app.win)
                wine.key("Return", win=app.win)
            # The typed text ends on its last line; the wheel brings the first lines back
            # and takes them away again.
            last = feedback_text(app, "last_lines")
            wheel(app, "edit_feedback", 4, 10)
            first = feedback_text(app, "first_lines")
            wheel(app, "edit_feedback", 5, 10)
            again = feedback_text(app, "last_lines_again")
            print("wheel over edit_feedback: up moved the text by %.4f, down came back within %.4f"
                  % (rmse(last, first), rmse(last, again)))
            check(rmse(last, first) > 0.05, "the wheel did not scroll edit_feedback up")
            check(rmse(last, again) < 0.02, "the wheel did not scroll edit_feedback back down")
            double_click(app, "btn_quitStart")
            code = app.wait_exit(30)
            check(code == 0, "installer exit code %s" % code)
            exits = wait_until(lambda: [data_of(r)["btn_exit"] for r in service.reports()
                                        if r["eventId"] == "OnClick" and "btn_exit" in data_of(r)],
                               timeout=10, what="btn_exit report")
            print("double click on 直接退出: %d btn_exit report(s)" % len(exits))
            check(len(exits) == 1, "btn_exit reports %s" % exits)
            check(exits[0].startswith("Start line 1 of a long answer"), "btn_exit %r" % exits[0])
        finally:
            end_installer(app)


# One case per run, so that CTest runs the cases side by side.
CASES = {"keys_and_launch": keys_and_launch, "survey_quit": survey_quit}


def main():
    case = sys.argv[1] if len(sys.argv) > 1 else ""
    check(case in CASES, "usage: test_repeated_input.py %s" % "|".join(CASES))
    wine = Wine()
    CASES[case](wine)
    print("repeated input, %s: OK at %d DPI" % (case, wine.dpi))
    return 0


if __name__ == "__main__":
    sys.exit(main())
