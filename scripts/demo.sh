#!/usr/bin/env bash
# Builds everything and runs PageWrightOnlineSetup.exe under Wine against the
# bundled local package service: the shipped 32-bit image where this machine
# runs 32-bit Windows programs (tests/harness/probe-x86.sh), else the 64-bit
# build of the same sources; the demo says which. On a desktop (DISPLAY set) the installer
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
bash "$ROOT/scripts/configure.sh" "$BUILD/x86" x86
cmake --build "$BUILD/x86" -j"$(nproc)" --target PageWrightOnlineSetup

# The service listens where the chosen image's build sends its requests.
if bash "$ROOT/tests/harness/probe-x86.sh" "$BUILD/x86"; then
  IMAGE_BUILD="$BUILD/x86"
  echo "The demo runs the shipped 32-bit image."
else
  IMAGE_BUILD="$BUILD"
  echo "The demo runs the 64-bit build of the same sources."
fi
EXE="$IMAGE_BUILD/app/PageWrightOnlineSetup.exe"

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

# One lane on the machine's own network, where the service below listens.
PW_TEST_LANES=1 bash "$ROOT/tests/harness/wine-fixture.sh" start "$BUILD"
# shellcheck disable=SC1091
source "$BUILD/harness/lane1/env.sh"

HOSTPORT="$(sed -n 's/^PW_STATS_HOST:STRING=//p' "$IMAGE_BUILD/CMakeCache.txt")"
if [ -f "$ROOT/tools/package_service.py" ]; then
  python3 "$ROOT/tools/package_service.py" --listen "$HOSTPORT" --build "$BUILD" \
    --log "$ARTIFACTS/reports.jsonl" --print &
  SERVICE_PID=$!
  sleep 1
fi

if [ "$MODE" = desktop ]; then
  echo "Starting $EXE on $DISPLAY (reports are printed as they arrive)."
  "$PW_WINE" "$EXE" || true
else
  echo "No display: running $EXE in Xvfb and driving it by itself."
  PW_BUILD_DIR="$BUILD" PW_DEMO_EXE="$EXE" PW_STATS_HOST="$HOSTPORT" PW_SOURCE_DIR="$ROOT" PYTHONPATH="$ROOT/tests/harness" \
    python3 "$ROOT/scripts/demo_drive.py" "$ARTIFACTS"
fi
echo "Artifacts: $ARTIFACTS"
