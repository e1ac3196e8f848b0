#!/usr/bin/env bash
# Installs what is missing, builds the shipped 32-bit PageWrightOnlineSetup.exe
# and a 64-bit build of the same sources with every test, and runs the tests
# under Wine in Xvfb through CTest. Where this machine runs 32-bit Windows
# programs (tests/harness/probe-x86.sh), the 32-bit build gets the test
# programs too and its tests ("x86.<name>") join the same CTest run.
# PW_TEST_PORT / PW_TEST_PORT_X86 choose the loopback ports of the two builds'
# package services (18650 and 18651).
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${PW_BUILD_DIR:-$ROOT/build}"
JOBS="$(nproc)"
hosts() {
  local h="127.0.0.1:$1"
  echo "-DPW_STATS_HOST=$h -DPW_CDN_HOST=$h -DPW_AGREEMENT_HOST=$h -DPW_OFFLINE_HOST=$h"
}

bash "$ROOT/scripts/install-packages.sh"
bash "$ROOT/scripts/build-deps.sh" >/dev/null
X86_TESTS=OFF
if bash "$ROOT/tests/harness/probe-x86.sh" "$BUILD/x86"; then
  X86_TESTS=ON
fi
# The tested builds give up a silent download attempt after 5 s instead of
# the shipped 60 s, so the stall tests take seconds, not minutes.
# shellcheck disable=SC2046
bash "$ROOT/scripts/configure.sh" "$BUILD/x86" x86 -DPW_BUILD_TESTS=$X86_TESTS \
  -DPW_DOWNLOAD_STALL_SECONDS=5 \
  $(hosts "${PW_TEST_PORT_X86:-18651}")
if [ "$X86_TESTS" = ON ]; then
  cmake --build "$BUILD/x86" -j"$JOBS"
else
  cmake --build "$BUILD/x86" -j"$JOBS" --target PageWrightOnlineSetup
fi
X86_DIR=""
[ "$X86_TESTS" = ON ] && X86_DIR="$BUILD/x86"
# shellcheck disable=SC2046
bash "$ROOT/scripts/configure.sh" "$BUILD" x64 -DPW_X86_EXE="$BUILD/x86/app/PageWrightOnlineSetup.exe" \
  -DPW_X86_TESTS="$X86_DIR" -DPW_DOWNLOAD_STALL_SECONDS=5 $(hosts "${PW_TEST_PORT:-18650}")
cmake --build "$BUILD" -j"$JOBS"
cd "$BUILD"
# Counted first: any ctest call rewrites Testing/Temporary/LastTest.log, which
# keeps the run's whole output (the benchmarks' figures among it).
registered="$(ctest -N "$@" | grep -c ': x86\.' || true)"
status=0
ctest --output-on-failure -j"${PW_TEST_JOBS:-2}" --output-junit "$BUILD/Testing/junit.xml" \
  --test-output-size-passed 65536 "$@" || status=$?
# The 32-bit tests must have been registered and run where the probe said so.
ran="$(grep -c '<testcase name="x86\.[^"]*" [^>]*status="\(run\|fail\)"' "$BUILD/Testing/junit.xml" || true)"
if [ "$X86_TESTS" = ON ]; then
  echo "32-bit image: $ran of $registered selected x86.* tests ran"
  if [ "$registered" = 0 ] && [ $# = 0 ]; then
    echo "the probe said 32-bit programs run here, yet no x86.* test is registered" >&2
    status=1
  elif [ "$ran" != "$registered" ]; then
    echo "not every registered x86.* test ran" >&2
    status=1
  fi
else
  echo "32-bit image: not tested here (64-bit run only)"
fi
exit $status
