#!/usr/bin/env bash
# Runs one test in a free lane of the run (wine-fixture.sh): waits for a lane,
# holds it while the command runs, and runs the command with the lane's
# display, prefix and network namespace. PW_TEST_DPI (96 by default) sets the
# lane's DPI first. With --wine the command is a Windows program, run under
# Wine (CTest's emulator).
#   lane-run.sh BUILD_DIR [--wine] command [args...]
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
build="$1"
shift
state="$build/harness"
if [ ! -f "$state/lanes" ]; then
  echo "the Wine lanes are not running (ctest starts them as harness_setup)" >&2
  exit 1
fi

# The lock is held by flock itself, not passed on: Windows processes a test
# leaves behind (the prefix's desktop, a product it started) must not keep
# the lane taken.
if [ -z "${PW_LANE_HELD:-}" ]; then
  lanes="$(cat "$state/lanes")"
  while :; do
    for k in $(seq "$lanes"); do
      rc=0
      PW_LANE_HELD="$k" flock -n -o -E 200 "$state/lane$k/lock" \
        bash "$here/lane-run.sh" "$build" "$@" || rc=$?
      [ "$rc" = 200 ] || exit "$rc"
    done
    sleep 0.2
  done
fi

# shellcheck disable=SC1090
source "$state/lane$PW_LANE_HELD/env.sh"
if [ -n "$PW_NETNS" ] && [ -z "${PW_LANE_ENTERED:-}" ]; then
  export PW_LANE_ENTERED=1
  exec nsenter --net="/run/netns/$PW_NETNS" -- bash "$here/lane-run.sh" "$build" "$@"
fi
dpi="${PW_TEST_DPI:-96}"
if [ "$(cat "$PW_LANE_DIR/dpi" 2>/dev/null)" != "$dpi" ]; then
  # Never a silent end: a failed setting would otherwise end the test here with no word.
  log="$PW_LANE_DIR/dpi.log"
  for try in 1 2 3; do
    if "$PW_WINE" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f \
      >"$log" 2>&1; then
      echo "$dpi" >"$PW_LANE_DIR/dpi"
      break
    fi
    echo "lane $PW_LANE_HELD: setting LogPixels to $dpi failed (try $try):" >&2
    cat "$log" >&2
    [ "$try" = 3 ] && exit 1
    sleep 1
  done
fi
if [ "${1:-}" = --wine ]; then
  shift
  exec "$PW_WINE" "$@"
fi
exec "$@"
