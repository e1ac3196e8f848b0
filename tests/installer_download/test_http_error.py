"""An HTTP error answer is a failed attempt with a real reason, even where the
platform stores the error page and calls the transfer a success: a 404 from
both sources ends on the failure page with the not-found reason (never the
success text), and after the retry a file without "MZ" (a transfer that did
succeed) shows another reason line."""

import sys

from download_support import (REASON_LINE, InstallerRun, PackageService, Wine, check,
                              check_failed_download, check_reinstall_gone, clean_state,
                              close_by_alt_f4, differs, marks, shot, wait_failures)

# INET_E_RESOURCE_NOT_FOUND: the download service's code for a missing file.
NOT_FOUND = "800c0005"


def main():
    wine = Wine()
    clean_state(wine)
    with PackageService(wine, "http_error_%d.jsonl" % wine.dpi) as service:
        size = service.package_size()

        service.packages(service={"status": 404}, cdn={"status": 404})
        with InstallerRun(wine) as app:
            app.click("btn_startinstall")
            failures = wait_failures(service, 1)
            not_found = shot(app, "http_404")
            hr, _, _ = check_failed_download(service, failures[0], 0)
            check(hr == NOT_FOUND, "404 line %s" % failures[0]["errorMsg"])
            check(marks(app, not_found, REASON_LINE) > 50, "no reason line drawn (%s)" % not_found)

            # The retry: both sources deliver the whole package without its "MZ".
            service.packages(service={"no_mz": True}, cdn={"no_mz": True})
            app.click("btn_reinstall")
            failures = wait_failures(service, 2)
            no_mz = shot(app, "no_mz")
            hr, got, total = check_failed_download(service, failures[1], 6)
            check((hr, got, total) == ("00000000", size, size),
                  "no-MZ line %s" % failures[1]["errorMsg"])
            # The two pages give different reasons: the 404 one is not the text
            # of a successful transfer.
            changed = differs(app, not_found, no_mz, REASON_LINE)
            check(changed > 50,
                  "the 404 and no-MZ reason lines look alike (%d pixels differ)" % changed)

            check_reinstall_gone(app, service, no_mz)
            close_by_alt_f4(wine, app)
    print("HTTP error reason OK")
    return 0


if __name__ == "__main__":
    sys.exit(main())
