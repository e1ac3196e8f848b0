"""A source that falls silent never holds the installation: an attempt that
brings no new bytes for the build's stall limit is given up with a time-out
and the next source is tried.
- the package service accepts and never answers (first attempt only): the
  package comes from the CDN, DownloadTimeCost retryTime "1";
- the package service sends the headers and half the body, then stalls: the same;
- a trickle slower than the hint but never silent for the limit is not cut;
- every attempt stalls: the failure page, each attempt's line carries the
  time-out code."""

import os
import re
import sys
import time

from download_support import (REASON_LINE, InstallerRun, PackageService, Wine, check,
                              check_failed_download, clean_state, close_by_alt_f4, marks, shot,
                              wait_failures)

# INET_E_CONNECTION_TIMEOUT
TIMED_OUT = "800c000b"
# What a normal install may take on top of the stall (download, setup, pages).
INSTALL_ALLOWANCE = 60


def stall_limit(wine):
    """PW_DOWNLOAD_STALL_SECONDS of the build under test."""
    with open(os.path.join(wine.build, "CMakeCache.txt"), encoding="utf-8") as f:
        match = re.search(r"^PW_DOWNLOAD_STALL_SECONDS:\w+=(\d+)$", f.read(), re.M)
    check(match, "PW_DOWNLOAD_STALL_SECONDS not in the build's cache")
    return int(match.group(1))


def install_after_one_stall(wine, service, fault, limit, name):
    """The first attempt meets |fault| on the package service; the CDN serves."""
    service.packages(service=dict(fault, times=1), cdn={})
    before = len(service.package_requests())
    with InstallerRun(wine) as app:
        app.click("btn_startinstall")
        started = time.time()
        service.wait_event("InstallResultReport", count=service.events().count(
            "InstallResultReport") + 1, timeout=limit + INSTALL_ALLOWANCE + 60)
        elapsed = time.time() - started
        result = service.events_named("InstallResultReport")[-1]
        check(result == {"result": "success"}, "%s: InstallResultReport %s" % (name, result))
        sources = [r["source"] for r in service.package_requests()[before:]]
        check(sources == ["service", "cdn"], "%s: attempt sources %s" % (name, sources))
        timing = service.events_named("DownloadTimeCost")[-1]
        check(timing.get("ret") == "0" and timing.get("retryTime") == "1",
              "%s: DownloadTimeCost %s" % (name, timing))
        # The stalled attempt lasted the limit, not the platform's own (if any).
        check(limit - 1 <= int(timing["cost"]) <= limit + 20,
              "%s: download took %s s with a %d s limit" % (name, timing["cost"], limit))
        check(elapsed <= limit + INSTALL_ALLOWANCE,
              "%s: installed %.0f s after the click (limit %d s)" % (name, elapsed, limit))
        shot(app, name)
        close_by_alt_f4(wine, app)


def trickle(wine, service, limit):
    """Pieces 0.6 limits apart: the whole download takes longer than the limit
    (and than the hint's 10 s) but is never silent that long."""
    gap = 0.6 * limit
    steps = max(4, int(12 / gap) + 1)
    service.packages(service={"trickle": gap * steps, "steps": steps}, cdn={})
    before = len(service.package_requests())
    with InstallerRun(wine) as app:
        app.click("btn_startinstall")
        service.wait_event("InstallResultReport",
                           count=service.events().count("InstallResultReport") + 1,
                           timeout=gap * steps + INSTALL_ALLOWANCE + 60)
        result = service.events_named("InstallResultReport")[-1]
        check(result == {"result": "success"}, "trickle: InstallResultReport %s" % result)
        sources = [r["source"] for r in service.package_requests()[before:]]
        check(sources == ["service"], "trickle was cut: attempt sources %s" % sources)
        timing = service.events_named("DownloadTimeCost")[-1]
        check(timing.get("ret") == "0" and timing.get("retryTime") == "0" and
              int(timing["cost"]) >= gap * (steps - 1) - 1,
              "trickle: DownloadTimeCost %s (gaps %.1f s x %d)" % (timing, gap, steps))
        close_by_alt_f4(wine, app)


def every_attempt(wine, service, limit, size):
    """Every attempt stalls: six time-outs, then the failure page."""
    service.packages(service={"hang": True}, cdn={"stall_after": size // 3})
    before = len(service.package_requests())
    failures = len(service.events_named("InstallResultReport"))
    with InstallerRun(wine) as app:
        app.click("btn_startinstall")
        failure = wait_failures(service, failures + 1, timeout=6 * limit + 120)[-1]
        page = shot(app, "stall_every_attempt")
        hr, _, total = check_failed_download(service, failure, before)
        check(hr == TIMED_OUT, "last attempt's line %s" % failure.get("errorMsg"))
        check(total == size, "announced size %d, package %d" % (total, size))
        check(marks(app, page, REASON_LINE) > 50, "no reason line drawn (%s)" % page)
        close_by_alt_f4(wine, app)


# One case per run, so that CTest runs the cases side by side.
CASES = ["no_answer", "half_body", "trickle", "every_attempt"]


def main():
    case = sys.argv[1] if len(sys.argv) > 1 else ""
    check(case in CASES, "usage: test_stalled_source.py %s" % "|".join(CASES))
    wine = Wine()
    clean_state(wine)
    limit = stall_limit(wine)
    print("stall limit of this build: %d s" % limit)
    with PackageService(wine, "stalled_source_%s.jsonl" % case) as service:
        size = service.package_size()
        if case == "no_answer":
            install_after_one_stall(wine, service, {"hang": True}, limit, "stall_no_answer")
        elif case == "half_body":
            install_after_one_stall(wine, service, {"stall_after": size // 2}, limit,
                                    "stall_half_body")
        elif case == "trickle":
            trickle(wine, service, limit)
        else:
            every_attempt(wine, service, limit, size)
    print("stalled sources, %s: OK" % case)
    return 0


if __name__ == "__main__":
    sys.exit(main())
