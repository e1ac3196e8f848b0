"""What a screen reader finds in the installer, asked from another process as one asks
(accessible_client.exe: AccessibleObjectFromWindow and AccessibleChildren).

    test_accessible.py CLIENT_EXE welcome | survey | failure
"""

import json
import sys
import time

from flow_support import end_installer, start_installer
from installer_support import PackageService, check, clean_state, data_of
from pwharness import Wine, wait_until

PUSHBUTTON, CHECKBUTTON, STATICTEXT, PROGRESSBAR = 43, 44, 41, 48
CHECKED, INVISIBLE, UNAVAILABLE = 0x10, 0x8000, 0x1
CLIENT = None  # the client program, from the command line


def tree(wine):
    result = wine.run([CLIENT, "tree", "MainWindow"], timeout=60)
    check(result.returncode == 0, "client exit code %d: %r" % (result.returncode, result.stderr))
    return [json.loads(line) for line in result.stdout.decode("utf-8").splitlines() if line]


def find(nodes, name, role=None):
    found = [i for i, n in enumerate(nodes) if n["name"] == name and role in (None, n["role"])]
    check(found, "no %r (role %s) in the tree: %s" % (name, role, [n["name"] for n in nodes]))
    return found[0]


def default_action(wine, index):
    result = wine.run([CLIENT, "do", "MainWindow", str(index)], timeout=60)
    check(result.returncode == 0 and b'"done":true' in result.stdout,
          "default action: %r" % result.stdout)


def clicks(service):
    return [data_of(r) for r in service.reports() if r["eventId"] == "OnClick"]


def welcome(wine):
    clean_state(wine)
    with PackageService(wine, "accessible_welcome.jsonl") as service:
        # A slow source, so that the progress is seen rising.
        service.packages(service={"trickle": 12}, cdn={"trickle": 12})
        app = start_installer(wine)
        try:
            nodes = tree(wine)
            install = nodes[find(nodes, "立即安装", PUSHBUTTON)]
            check(install["action"] == "Press", "立即安装 action %r" % install["action"])
            check(not install["state"] & (INVISIBLE | UNAVAILABLE), "立即安装 state %x" %
                  install["state"])
            find(nodes, "关闭", PUSHBUTTON)
            # The agreement box is hidden by the layout: not in the tree.
            hidden = [n["name"] for n in nodes if n["name"] in ("我已阅读并同意", "用户使用协议")]
            check(not hidden, "hidden controls in the tree: %s" % hidden)
            default_action(wine, find(nodes, "立即安装", PUSHBUTTON))
            values = []

            def progress():
                bars = [n["value"] for n in tree(wine) if n["role"] == PROGRESSBAR]
                if bars and bars[0] and (not values or values[-1] != bars[0]):
                    values.append(bars[0])
                return [r for r in service.reports() if r["eventId"] == "DownloadTimeCost"]
            wait_until(progress, timeout=120, what="download")
            numbers = [int(v.rstrip("%")) for v in values]
            check(len(numbers) >= 2 and numbers == sorted(numbers) and numbers[-1] > numbers[0],
                  "progress values %s" % values)
            check(clicks(service) == [{"ClickSrc": "Install"}], "clicks %s" % clicks(service))
            check(len(service.package_requests()) == 1, "package requests %s" %
                  service.package_requests())
        finally:
            end_installer(app)


def survey(wine):
    clean_state(wine)
    with PackageService(wine, "accessible_survey.jsonl"):
        app = start_installer(wine)
        try:
            default_action(wine, find(tree(wine), "关闭", PUSHBUTTON))
            wait_until(lambda: [n for n in tree(wine) if n["role"] == CHECKBUTTON], timeout=10,
                       what="the survey's check boxes")
            nodes = tree(wine)
            box = find(nodes, "本软件已经安装", CHECKBUTTON)
            check(not nodes[box]["state"] & CHECKED, "ticked before the toggle")
            check(nodes[box]["action"] == "Check", "action %r" % nodes[box]["action"])
            default_action(wine, box)
            nodes = tree(wine)
            box = find(nodes, "本软件已经安装", CHECKBUTTON)
            check(nodes[box]["state"] & CHECKED, "not ticked after the toggle: %x" %
                  nodes[box]["state"])
            check(nodes[box]["action"] == "Uncheck", "action %r" % nodes[box]["action"])
        finally:
            end_installer(app)


def failure(wine):
    clean_state(wine)
    with PackageService(wine, "accessible_failure.jsonl") as service:
        service.packages(service={"status": 503}, cdn={"status": 503})
        app = start_installer(wine)
        try:
            default_action(wine, find(tree(wine), "立即安装", PUSHBUTTON))
            service.wait_event("InstallResultReport", timeout=180)
            reasons = wait_until(lambda: [n["name"] for n in tree(wine)
                                          if n["name"].startswith("失败原因：")],
                                 timeout=10, what="the reason in the tree")
            check(reasons[0].endswith("(下载)"), "reason %r" % reasons[0])
        finally:
            end_installer(app)


def main():
    global CLIENT
    CLIENT = sys.argv[1]
    wine = Wine()
    {"welcome": welcome, "survey": survey, "failure": failure}[sys.argv[2]](wine)
    print("accessible %s OK" % sys.argv[2])
    return 0


if __name__ == "__main__":
    sys.exit(main())
