"""The channel from the program's CHANNEL resource, one rule everywhere: a resource whose bytes
are not UTF-8 gives an empty channel (package address, report cookie, no InstallerChannel
record); "default" only when there is no resource. Each case runs a copy of the installer
whose resource bytes are patched in place."""

import sys

from installer_support import APPINFO_KEY, Installer, PackageService, check, clean_state
from pwharness import Wine, wait_until

SHIPPED = b"website_kmtlow"
# The resource directory names the type as a counted UTF-16 string; the program's own
# L"CHANNEL" has no count before it.
TYPE_NAME = b"\x07\x00" + "CHANNEL".encode("utf-16-le")
CASES = [
    # The same length, one byte that no UTF-8 text holds.
    ("not_utf8", SHIPPED, b"webs\xffte_kmtlow", ""),
    # Another type name: FindResource finds no CHANNEL at all.
    ("absent", TYPE_NAME, b"\x07\x00" + "CHANNEX".encode("utf-16-le"), "default"),
]


def patched_copy(wine, name, old, new):
    with open(wine.exe(), "rb") as f:
        image = f.read()
    check(image.count(old) == 1, "%s: %r found %d times" % (name, old, image.count(old)))
    exe = wine.artifacts("%s.exe" % name)
    with open(exe, "wb") as f:
        f.write(image.replace(old, new))
    return exe


def main():
    wine = Wine()
    for name, old, new, expected in CASES:
        exe = patched_copy(wine, name, old, new)
        clean_state(wine)
        with PackageService(wine, "channel_%s.jsonl" % name) as service:
            app = Installer(wine, exe)
            # The window's constructor has settled the channel (a successful setup later
            # records whatever it is).
            recorded = wine.reg_query(APPINFO_KEY, "InstallerChannel")
            check(recorded == (expected or None), "%s: InstallerChannel %r" % (name, recorded))
            app.click("btn_startinstall")
            wait_until(lambda: service.package_requests(), timeout=60, what="package request")
            request = service.package_requests()[0]
            check(request.get("channel") == expected, "%s: package request %s" % (name, request))
            start = [e for e in service.report_log() if e["report"]["eventId"] == "AppStart"]
            check(len(start) == 1, "%s: AppStart reports %d" % (name, len(start)))
            cookie = start[0]["cookie"] or ""
            check("channel=%s;" % expected in cookie, "%s: cookie %r" % (name, cookie))
            app.kill()
        print("%s: channel %r everywhere" % (name, expected))
    return 0


if __name__ == "__main__":
    sys.exit(main())
