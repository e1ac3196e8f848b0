"""Transfers that succeed but deliver no usable package end on the failure
page: a complete 9 MiB executable, then a body cut short of its announced
size and a Content-Length larger than the body. One retry, after which
btn_reinstall is gone; Alt+F4 leaves with exit code 0."""

import sys

from download_support import (MIB, REASON_LINE, REINSTALL_BUTTON, InstallerRun,
                              PackageService, Wine, check, check_failed_download,
                              check_reinstall_gone, clean_state, close_by_alt_f4, marks, shot,
                              wait_failures)


def main():
    wine = Wine()
    clean_state(wine)
    with PackageService(wine, "rejected_%d.jsonl" % wine.dpi) as service:
        size = service.package_size()

        # A whole, well-formed executable below 10 MiB from both sources.
        service.packages(service={"size": 9 * MIB}, cdn={"size": 9 * MIB})
        with InstallerRun(wine) as app:
            app.click("btn_startinstall")
            failures = wait_failures(service, 1)
            first = shot(app, "rejected_9mib")
            hr, got, total = check_failed_download(service, failures[0], 0)
            # The transfer itself worked; the package check refused the file.
            check((hr, got, total) == ("00000000", 9 * MIB, 9 * MIB),
                  "9 MiB line %s" % failures[0]["errorMsg"])
            check(marks(app, first, REASON_LINE) > 50, "no reason line drawn (%s)" % first)
            check(marks(app, first, REINSTALL_BUTTON) > 20, "btn_reinstall not drawn (%s)" % first)

            # The retry: the service cuts its body short, the CDN announces more
            # than it sends. The last attempt's line is the CDN's.
            service.packages(service={"truncate": 4 * MIB}, cdn={"length": size + 4096})
            app.click("btn_reinstall")
            failures = wait_failures(service, 2)
            second = shot(app, "rejected_short_body")
            hr, got, total = check_failed_download(service, failures[1], 6)
            check(total == size + 4096 and got != total,
                  "wrong-length line %s (package %d)" % (failures[1]["errorMsg"], size))
            clicks = service.events_named("OnClick")
            check(clicks == [{"ClickSrc": "Install"}, {"ClickSrc": "ReInstall"}],
                  "clicks %s" % clicks)
            check([e for e in service.events() if e == "InstallResultReport"] ==
                  ["InstallResultReport"] * 2, "failure reports %s" % service.events())

            check_reinstall_gone(app, service, second)
            check(app.proc.running(), "installer ended on the failure page")
            close_by_alt_f4(wine, app)
    print("rejected packages OK")
    return 0


if __name__ == "__main__":
    sys.exit(main())
