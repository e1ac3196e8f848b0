#!/usr/bin/env bash
# Builds everything and runs PageWrightOnlineSetup.exe under Wine against the
# bundled local package service. On a desktop (DISPLAY set) the installer
# appears on it and the demo ends when the installer ends; without a display
# the demo runs in Xvfb and drives the installer itself (scripts/demo_drive.py),
# leaving screenshots and the decoded report log in build/artifacts/demo/.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${PW_BUILD_DIR:-$ROOT/build}"

bash "$ROOT/scripts/install-packages.sh"
bash "$ROOT/scripts/build-deps.sh" >/dev/null
bash "$ROOT/scripts/configure.sh" "$BUILD"
cmake --build "$BUILD" -j"$(nproc)"

ARTIFACTS="$BUILD/artifacts/demo"
mkdir -p "$ARTIFACTS"

if [ -n "${DISPLAY:-}" ] && xdotool getdisplaygeometry >/dev/null 2>&1; then
  export PW_USE_DISPLAY="$DISPLAY"
  MODE=desktop
else
  MODE=headless
fi

SERVICE_PID=""
cleanup() {
  [ -n "$SERVICE_PID" ] && kill "$SERVICE_PID" 2>/dev/null || true
  bash "$ROOT/tests/harness/wine-fixture.sh" stop "$BUILD" >/dev/null 2>&1 || true
}
trap cleanup EXIT

bash "$ROOT/tests/harness/wine-fixture.sh" start "$BUILD"
# shellcheck disable=SC1091
source "$BUILD/harness/env.sh"

HOSTPORT="$(sed -n 's/^PW_STATS_HOST:STRING=//p' "$BUILD/CMakeCache.txt")"
if [ -f "$ROOT/tools/package_service.py" ]; then
  python3 "$ROOT/tools/package_service.py" --listen "$HOSTPORT" --build "$BUILD" \
    --log "$ARTIFACTS/reports.jsonl" --print &
  SERVICE_PID=$!
  sleep 1
fi

if [ "$MODE" = desktop ]; then
  echo "Starting the installer on $DISPLAY (reports are printed as they arrive)."
  "$PW_WINE" "$BUILD/app/PageWrightOnlineSetup.exe" || true
else
  echo "No display: running in Xvfb and driving the installer by itself."
  PW_BUILD_DIR="$BUILD" PW_SOURCE_DIR="$ROOT" PYTHONPATH="$ROOT/tests/harness" \
    python3 "$ROOT/scripts/demo_drive.py" "$ARTIFACTS"
fi
echo "Artifacts: $ARTIFACTS"
