# Shared by scripts/test.sh, bench.sh and soak.sh (sourced): installs what is
# missing, chooses the image to test and builds it.
#
# The tested image is the shipped 32-bit program where this machine runs
# 32-bit Windows programs (tests/harness/probe-x86.sh): its build folder
# build/x86 then holds the tests too, and no 64-bit build is made. Where they
# do not run, the 32-bit program is still built (its image is checked without
# running it) and a 64-bit build of the same sources in build/ is tested.
#
# After tested_build: TESTED_BUILD is the folder to run CTest in and
# TESTED_IMAGE says in words which image it holds.

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
BUILD="${PW_BUILD_DIR:-$ROOT/build}"
JOBS="$(nproc)"
# Tests spend most of their time waiting on Wine: more lanes than cores.
LANES="${PW_TEST_LANES:-4}"

# The tested builds give up a silent download attempt after 5 s instead of
# the shipped 60 s, so the stall tests take seconds, not minutes. Every lane
# has a network namespace of its own, so every build can use the same port.
tested_options() {
  local h="127.0.0.1:${PW_TEST_PORT:-18650}"
  echo "-DPW_STATS_HOST=$h -DPW_CDN_HOST=$h -DPW_AGREEMENT_HOST=$h -DPW_OFFLINE_HOST=$h" \
    "-DPW_DOWNLOAD_STALL_SECONDS=5"
}

# Packages and libraries, quietly: their output is shown only when they fail.
prepare_machine() {
  mkdir -p "$BUILD"
  local log="$BUILD/prepare.log"
  if ! bash "$ROOT/scripts/install-packages.sh" >"$log" 2>&1; then
    cat "$log" >&2
    echo "installing the packages failed" >&2
    exit 1
  fi
  X86_PROBE="$(bash "$ROOT/tests/harness/probe-x86.sh" "$BUILD/x86")" && X86_RUNS=1 || X86_RUNS=""
  local hosts=(i686-w64-mingw32)
  [ -n "$X86_RUNS" ] || hosts+=(x86_64-w64-mingw32)
  if ! bash "$ROOT/scripts/build-deps.sh" "${hosts[@]}" >>"$log" 2>&1; then
    tail -60 "$log" >&2
    echo "building libcurl and minizip failed" >&2
    exit 1
  fi
  if [ -n "$X86_RUNS" ]; then
    TESTED_BUILD="$BUILD/x86"
    TESTED_IMAGE="the shipped 32-bit image ($TESTED_BUILD/app/PageWrightOnlineSetup.exe)"
  else
    TESTED_BUILD="$BUILD"
    TESTED_IMAGE="the 64-bit build ($TESTED_BUILD/app/PageWrightOnlineSetup.exe), not the shipped 32-bit image: ${X86_PROBE#32-bit Windows programs: }"
  fi
}

tested_build() {
  # shellcheck disable=SC2046
  if [ -n "$X86_RUNS" ]; then
    bash "$ROOT/scripts/configure.sh" "$BUILD/x86" x86 -DPW_BUILD_TESTS=ON -DPW_TEST_LANES="$LANES" \
      $(tested_options)
    cmake --build "$BUILD/x86" -j"$JOBS"
  else
    bash "$ROOT/scripts/configure.sh" "$BUILD/x86" x86 -DPW_BUILD_TESTS=OFF $(tested_options)
    cmake --build "$BUILD/x86" -j"$JOBS" --target PageWrightOnlineSetup
    bash "$ROOT/scripts/configure.sh" "$BUILD" x64 -DPW_BUILD_TESTS=ON -DPW_TEST_LANES="$LANES" \
      -DPW_X86_EXE="$BUILD/x86/app/PageWrightOnlineSetup.exe" $(tested_options)
    cmake --build "$BUILD" -j"$JOBS"
  fi
}
