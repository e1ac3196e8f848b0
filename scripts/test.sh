#!/usr/bin/env bash
# Installs what is missing, builds PageWrightOnlineSetup.exe and its tests for
# 32-bit Windows, and runs every test under Wine in Xvfb through CTest.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${PW_BUILD_DIR:-$ROOT/build}"

bash "$ROOT/scripts/install-packages.sh"
bash "$ROOT/scripts/build-deps.sh" >/dev/null
bash "$ROOT/scripts/configure.sh" "$BUILD"
cmake --build "$BUILD" -j"$(nproc)"
cd "$BUILD"
ctest --output-on-failure -j"${PW_TEST_JOBS:-2}" "$@"
