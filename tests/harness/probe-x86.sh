#!/usr/bin/env bash
# Whether this machine runs 32-bit Windows programs under Wine: builds a tiny
# i686 program and starts it in the build folder's prefix with a time limit.
# The answer is kept in BUILD_DIR/harness/x86-probe, so it is asked once per
# build folder; the script prints it and exits 0 when they are runnable.
#   probe-x86.sh BUILD_DIR
set -uo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
mkdir -p "$1/harness"
build="$(cd "$1" && pwd)"
state="$build/harness"
result="$state/x86-probe"

probe() {
  command -v i686-w64-mingw32-gcc >/dev/null || { echo "no i686-w64-mingw32-gcc"; return; }
  [ -x /usr/lib/wine/wine ] || { echo "Wine's 32-bit loader /usr/lib/wine/wine is missing"; return; }
  i686-w64-mingw32-gcc -O2 -o "$state/probe32.exe" "$here/probe32.c" 2>"$state/probe32.log" ||
    { echo "the i686 probe did not build"; return; }
  PW_TEST_LANES=1 bash "$here/wine-fixture.sh" start "$build" >>"$state/probe32.log" 2>&1 ||
    { echo "the Wine fixture did not start"; return; }
  # shellcheck disable=SC1091
  source "$state/lane1/env.sh"
  timeout 120 "$PW_WINE" "$state/probe32.exe" >"$state/probe32.out" 2>>"$state/probe32.log" </dev/null
  local rc=$?
  bash "$here/wine-fixture.sh" stop "$build" >/dev/null 2>&1
  if grep -q '^pw-probe32 ok 32' "$state/probe32.out"; then
    echo runnable
  elif [ "$rc" = 124 ]; then
    echo "the i686 probe did not finish within 120 s"
  else
    echo "the i686 probe exited with $rc and printed '$(head -c 80 "$state/probe32.out" | tr -d '\r\n')'"
  fi
}

[ -s "$result" ] || probe >"$result"
answer="$(cat "$result")"
if [ "$answer" = runnable ]; then
  echo "32-bit Windows programs: runnable here"
  exit 0
fi
echo "32-bit Windows programs: not runnable here ($answer)"
exit 1
