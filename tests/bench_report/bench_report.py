"""Runs bench_report.exe against the local statistics endpoint on the build's
statistics host, so that its last figure (the http Thread sending every queued
report) measures real posts.

    bench_report.py BENCH_REPORT_EXE [COUNT]
"""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "report_blackbox"))
import report_support as rs  # noqa: E402
from pwharness import Wine  # noqa: E402


def main():
    exe = sys.argv[1]
    count = sys.argv[2] if len(sys.argv) > 2 else "1000"
    wine = Wine()
    host, _, port = os.environ.get("PW_STATS_HOST", "127.0.0.1:18650").partition(":")
    endpoint = rs.Endpoint(host, int(port or 80), wine.artifacts("bench_report.jsonl")).start()
    try:
        result = wine.run([exe, count], timeout=1800)
    finally:
        endpoint.stop()
    sys.stdout.write(result.stdout.decode("utf-8", errors="replace"))
    sys.stderr.write(result.stderr.decode("utf-8", errors="replace"))
    return result.returncode


if __name__ == "__main__":
    sys.exit(main())
