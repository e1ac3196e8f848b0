#!/usr/bin/env bash
# Start or stop the shared test environment of one CTest run: one Xvfb, one
# persistent wineserver and a project-local Wine prefix prepared once.
#   wine-fixture.sh start|stop BUILD_DIR
set -euo pipefail

cmd="$1"
build="$(cd "$2" && pwd)"
state="$build/harness"
mkdir -p "$state"

export WINEPREFIX="${PW_WINEPREFIX:-$build/wineprefix}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
# The 64-bit loader runs the prefix's own processes; it hands 32-bit programs
# to the 32-bit loader by itself.
WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver
export WINELOADER="$WINE"

start_xvfb() {
  if [ -n "${PW_USE_DISPLAY:-}" ]; then
    echo "$PW_USE_DISPLAY" >"$state/display"
    rm -f "$state/xvfb.pid"
    return
  fi
  local n pid
  for n in $(seq 90 189); do
    [ -e "/tmp/.X$n-lock" ] && continue
    setsid Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp -ac </dev/null >"$state/xvfb.log" 2>&1 &
    pid=$!
    for _ in $(seq 50); do
      [ -S "/tmp/.X11-unix/X$n" ] && break
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.1
    done
    # Two fixtures starting at once may both have seen :$n free; the lock
    # file names the Xvfb that won it.
    if kill -0 "$pid" 2>/dev/null && [ -S "/tmp/.X11-unix/X$n" ] &&
      [ "$(tr -d ' \n' <"/tmp/.X$n-lock" 2>/dev/null)" = "$pid" ]; then
      echo ":$n" >"$state/display"
      echo "$pid" >"$state/xvfb.pid"
      return
    fi
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  echo "no free X display for Xvfb" >&2
  exit 1
}

# Wine's 32-bit loader may run under emulation on this kind of machine, which
# makes booting a prefix slow: boot one 64-bit prefix once (its system
# processes run natively), keep it as a template outside the checkout, and
# copy it for each build folder. The lock keeps parallel runs from booting
# the template twice.
TEMPLATE_ROOT="${PW_WINE_TEMPLATE:-/var/cache/pagewright-deps/wineprefix-v4}"

boot_template() {
  local tmp="$TEMPLATE_ROOT.tmp"
  rm -rf "$tmp"
  (
    export WINEPREFIX="$tmp"
    "$WINE" wineboot -i >/dev/null 2>&1 || true
    local fonts='HKCU\Software\Wine\Fonts\Replacements'
    "$WINE" reg add "$fonts" /v "微软雅黑" /t REG_SZ /d "WenQuanYi Micro Hei" /f >/dev/null 2>&1
    "$WINE" reg add "$fonts" /v "新宋体" /t REG_SZ /d "WenQuanYi Micro Hei" /f >/dev/null 2>&1
    "$WINE" reg add "$fonts" /v "Microsoft YaHei" /t REG_SZ /d "WenQuanYi Micro Hei" /f >/dev/null 2>&1
    "$WINE" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96 /f >/dev/null 2>&1
    # No crash dialog: a crashing test must fail, not wait for a click.
    "$WINE" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
    "$WINESERVER" -k >/dev/null 2>&1 || true
    "$WINESERVER" -w >/dev/null 2>&1 || true
  )
  mv "$tmp" "$TEMPLATE_ROOT"
}

prepare_prefix() {
  [ -f "$WINEPREFIX/.pw-prepared-v4" ] && return
  mkdir -p "$(dirname "$TEMPLATE_ROOT")"
  (
    flock 9
    # The booted processes must not inherit (and hold) the lock.
    [ -d "$TEMPLATE_ROOT" ] || boot_template 9>&-
  ) 9>"$TEMPLATE_ROOT.lock"
  rm -rf "$WINEPREFIX"
  cp -a "$TEMPLATE_ROOT" "$WINEPREFIX"
  touch "$WINEPREFIX/.pw-prepared-v4"
}

case "$cmd" in
start)
  "$0" stop "$build" >/dev/null 2>&1 || true
  start_xvfb
  export DISPLAY="$(cat "$state/display")"
  prepare_prefix
  # Detached from our output: CTest waits for every holder of its pipe.
  setsid "$WINESERVER" -p </dev/null >/dev/null 2>&1
  # A copied prefix may carry the DPI of an earlier run's last test.
  "$WINE" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96 /f >/dev/null 2>&1 || true
  echo 96 >"$state/dpi"
  # Start the desktop process now, so the first test does not pay for it.
  "$WINE" cmd /c exit >/dev/null 2>&1 || true
  cat >"$state/env.sh" <<ENV
export WINEPREFIX="$WINEPREFIX"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINELOADER="$WINE"
export PW_WINE="$WINE"
export DISPLAY="$DISPLAY"
ENV
  echo "Xvfb on $DISPLAY, prefix $WINEPREFIX"
  ;;
stop)
  "$WINESERVER" -k >/dev/null 2>&1 || true
  if [ -f "$state/xvfb.pid" ]; then
    kill "$(cat "$state/xvfb.pid")" 2>/dev/null || true
    rm -f "$state/xvfb.pid"
  fi
  rm -f "$state/env.sh"
  ;;
*)
  echo "usage: $0 start|stop BUILD_DIR" >&2
  exit 2
  ;;
esac
