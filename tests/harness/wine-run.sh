#!/usr/bin/env bash
# CTest's emulator: runs one Windows test program under Wine inside the run's
# Xvfb. PW_TEST_DPI (96 by default) sets the prefix's DPI first.
#   wine-run.sh BUILD_DIR program.exe [args...]
set -euo pipefail
build="$1"
shift
state="$build/harness"
if [ ! -f "$state/env.sh" ]; then
  echo "the Wine fixture is not running (ctest starts it as harness_setup)" >&2
  exit 1
fi
# shellcheck disable=SC1091
source "$state/env.sh"
dpi="${PW_TEST_DPI:-96}"
if [ "$(cat "$state/dpi" 2>/dev/null)" != "$dpi" ]; then
  "$PW_WINE" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
  echo "$dpi" >"$state/dpi"
fi
exec "$PW_WINE" "$@"
