"""The download task under Wine against the real package service on loopback:
URLDownloadToFileW, the six attempts alternating between the package service
and the CDN, the package check and the download folder's file name."""

import os
import re
import sys

from engine_support import MIB, Checks, Drive, PackageService, Probe, Wine, report, time

SERVICE_CDN_ALTERNATION = ["service", "cdn", "service", "cdn", "service", "cdn"]


def download(probe, service, drive, folder):
    return probe.run("download", service.package_url, service.cdn_url, drive.win(folder))


def main():
    wine = Wine()
    service = PackageService(wine)
    probe = Probe(wine)
    drive = Drive(wine, "pw engine dl")
    checks = Checks()
    size = service.package_size()
    try:
        # A clean download: the first attempt, from the package service.
        service.control()
        data = download(probe, service, drive, "ok")
        checks.equal("ok result", data["result"], 0)
        checks.equal("ok retryTime", data["retryTime"], 0)
        checks.equal("ok fileSize", data["fileSize"], size)
        checks.equal("ok expectedSize", data["expectedSize"], size)
        checks.equal("ok downloadProgress", data["downloadProgress"], 900)
        checks.equal("ok path", data["packagePath"], drive.win("ok", "PageWrightInstaller.exe"))
        checks.true("ok file on disk", open(drive.path("ok", "PageWrightInstaller.exe"), "rb")
                    .read(2) == b"MZ")
        checks.true("ok package held for the setup", data["packageHeld"])
        checks.true("ok writers refused while held", data["writerRefused"])
        fields = report(data, "DownloadTimeCost")
        checks.equal("ok report keys", [k for k, _ in fields],
                     ["cost", "fileSize", "ret", "retryTime"])
        checks.true("ok cost in seconds", re.fullmatch(r"\d+", fields[0][1]))
        checks.equal("ok report values", fields[1:],
                     [["fileSize", str(size)], ["ret", "0"], ["retryTime", "0"]])
        log = service.requests()
        checks.equal("ok sources", [r["source"] for r in log], ["service"])
        checks.equal("ok channel", log[0].get("channel"), "website_kmtlow")
        checks.true("ok tick", re.fullmatch(r"-?\d+", log[0].get("tick", "")))

        # Six failures: sources alternate, the last attempt's line is kept.
        service.control(service={"status": 503}, cdn={"status": 404})
        data = download(probe, service, drive, "fail")
        checks.equal("fail result", data["result"], 1)
        checks.equal("fail retryTime", data["retryTime"], 6)
        checks.equal("fail sources", [r["source"] for r in service.requests()],
                     SERVICE_CDN_ALTERNATION)
        checks.true("fail line %r" % data["lastDownloadError"], re.fullmatch(
            r"URLDownloadToFile hr = [0-9a-f]{8} size -?\d+ / \d+ windows pop time = \d+",
            data["lastDownloadError"]))
        # The last line describes the CDN's 404 answer (the platform may call
        # the transfer itself a success; the package check refuses it).
        checks.true("fail reported size", re.search(r"size (-1|\d+) / ", data["lastDownloadError"]))
        fields = report(data, "DownloadTimeCost")
        checks.equal("fail report keys", [k for k, _ in fields], ["cost", "ret", "retryTime"])
        checks.equal("fail report values", fields[1:], [["ret", "1"], ["retryTime", "6"]])
        checks.equal("fail leaves no file", os.listdir(drive.path("fail")), [])

        # Packages the check must refuse; the CDN's good copy is taken next.
        refusals = {
            "9 MiB": {"size": 9 * MIB},
            "no MZ": {"no_mz": True},
            "truncated": {"truncate": 4 * MIB},
            "no length": {"no_length": True},
            "wrong length": {"length": size + 4096},
            "dropped": {"drop": True},
        }
        for name, fault in refusals.items():
            service.control(service=fault)
            data = download(probe, service, drive, "refuse")
            checks.equal("%s result" % name, data["result"], 0)
            checks.equal("%s retryTime" % name, data["retryTime"], 1)
            sources = [r["source"] for r in service.requests()]
            checks.equal("%s last source" % name, sources[-1:], ["cdn"])
            checks.equal("%s file" % name, data["fileSize"], size)

        # A slow source is waited for; the time shows in the report's cost.
        service.control(service={"trickle": 3})
        data = download(probe, service, drive, "slow")
        checks.equal("slow result", data["result"], 0)
        checks.equal("slow retryTime", data["retryTime"], 0)
        checks.true("slow cost counts the wait", int(report(data, "DownloadTimeCost")[0][1]) >= 2)

        # Another program holds PageWrightInstaller.exe: the next name is used.
        locked = drive.path("locked", "PageWrightInstaller.exe")
        os.makedirs(drive.path("locked"), exist_ok=True)
        holder = probe.start("hold", drive.win("locked", "PageWrightInstaller.exe"), "120")
        deadline = time.time() + 60
        # The holder creates the file without sharing: once it exists, it is held.
        while not os.path.exists(locked) and time.time() < deadline:
            time.sleep(0.2)
        service.control()
        data = download(probe, service, drive, "locked")
        holder.kill()
        checks.equal("locked result", data["result"], 0)
        checks.equal("locked path", data["packagePath"],
                     drive.win("locked", "1PageWrightInstaller.exe"))
    finally:
        service.stop()
        drive.cleanup()
    return checks.finish()


if __name__ == "__main__":
    sys.exit(main())
