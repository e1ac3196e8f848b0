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
export WINEARCH=win32

start_xvfb() {
  if [ -n "${PW_USE_DISPLAY:-}" ]; then
    echo "$PW_USE_DISPLAY" >"$state/display"
    rm -f "$state/xvfb.pid"
    return
  fi
  local n pid
  for n in $(seq 90 189); do
    [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp -ac >"$state/xvfb.log" 2>&1 &
    pid=$!
    for _ in $(seq 50); do
      [ -S "/tmp/.X11-unix/X$n" ] && break
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.1
    done
    if kill -0 "$pid" 2>/dev/null && [ -S "/tmp/.X11-unix/X$n" ]; then
      echo ":$n" >"$state/display"
      echo "$pid" >"$state/xvfb.pid"
      return
    fi
  done
  echo "no free X display for Xvfb" >&2
  exit 1
}

prepare_prefix() {
  [ -f "$WINEPREFIX/.pw-prepared" ] && return
  rm -rf "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1
  local fonts='HKCU\Software\Wine\Fonts\Replacements'
  wine reg add "$fonts" /v "微软雅黑" /t REG_SZ /d "WenQuanYi Micro Hei" /f >/dev/null 2>&1
  wine reg add "$fonts" /v "新宋体" /t REG_SZ /d "WenQuanYi Micro Hei" /f >/dev/null 2>&1
  wine reg add "$fonts" /v "Microsoft YaHei" /t REG_SZ /d "WenQuanYi Micro Hei" /f >/dev/null 2>&1
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96 /f >/dev/null 2>&1
  # No crash dialog: a crashing test must fail, not wait for a click.
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
  wineserver -w
  touch "$WINEPREFIX/.pw-prepared"
}

case "$cmd" in
start)
  "$0" stop "$build" >/dev/null 2>&1 || true
  start_xvfb
  export DISPLAY="$(cat "$state/display")"
  prepare_prefix
  echo 96 >"$state/dpi"
  wineserver -p
  # Wait until the server answers, so the first test does not pay for its start.
  wine cmd /c exit >/dev/null 2>&1 || true
  cat >"$state/env.sh" <<ENV
export WINEPREFIX="$WINEPREFIX"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win32
export DISPLAY="$DISPLAY"
ENV
  echo "Xvfb on $DISPLAY, prefix $WINEPREFIX"
  ;;
stop)
  wineserver -k >/dev/null 2>&1 || true
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
