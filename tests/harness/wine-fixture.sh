#!/usr/bin/env bash
# Starts or stops the test lanes of one CTest run. A lane is what one Windows
# test needs to itself: an Xvfb display, a project-local Wine prefix with its
# persistent wineserver and, where this machine lets us make one, a network
# namespace of its own, so that every lane's package service can listen on
# the port the program was built for. Tests take a free lane each
# (lane-run.sh) and run side by side.
#   wine-fixture.sh start BUILD_DIR [LANES]   (PW_TEST_LANES overrides LANES)
#   wine-fixture.sh stop BUILD_DIR
# Without a network namespace there is one lane: the tests then share the
# machine's loopback and take turns.
set -euo pipefail

cmd="$1"
build="$(cd "$2" && pwd)"
lanes="${PW_TEST_LANES:-${3:-1}}"
state="$build/harness"
mkdir -p "$state"

export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
# The 64-bit loader runs the prefix's own processes; it hands 32-bit programs
# to the 32-bit loader by itself.
WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver
export WINELOADER="$WINE"

# Network namespaces are machine-wide: the name carries the build folder.
netns_name() { echo "pw$(printf '%s' "$build" | cksum | cut -d' ' -f1)-$1"; }

start_xvfb() { # lane dir
  local dir="$1" n pid
  if [ -n "${PW_USE_DISPLAY:-}" ]; then
    echo "$PW_USE_DISPLAY" >"$dir/display"
    rm -f "$dir/xvfb.pid"
    return
  fi
  for n in $(seq 90 189); do
    [ -e "/tmp/.X$n-lock" ] && continue
    setsid Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp -ac </dev/null >"$dir/xvfb.log" 2>&1 &
    pid=$!
    for _ in $(seq 50); do
      [ -S "/tmp/.X11-unix/X$n" ] && break
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.1
    done
    # Lanes starting at once may all have seen :$n free; the lock file names
    # the Xvfb that won it.
    if kill -0 "$pid" 2>/dev/null && [ -S "/tmp/.X11-unix/X$n" ] &&
      [ "$(tr -d ' \n' <"/tmp/.X$n-lock" 2>/dev/null)" = "$pid" ]; then
      echo ":$n" >"$dir/display"
      echo "$pid" >"$dir/xvfb.pid"
      return
    fi
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  echo "no free X display for Xvfb" >&2
  return 1
}

# Wine's 32-bit loader may run under emulation on this kind of machine, which
# makes booting a prefix slow: boot one 64-bit prefix once (its system
# processes run natively), keep it as a template outside the checkout, and
# copy it for each lane. The lock keeps parallel runs from booting the
# template twice.
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

prepare_prefix() { # prefix
  local prefix="$1"
  [ -f "$prefix/.pw-prepared-v4" ] && return
  mkdir -p "$(dirname "$TEMPLATE_ROOT")"
  (
    flock 9
    # The booted processes must not inherit (and hold) the lock.
    [ -d "$TEMPLATE_ROOT" ] || boot_template 9>&-
  ) 9>"$TEMPLATE_ROOT.lock"
  rm -rf "$prefix"
  cp -a "$TEMPLATE_ROOT" "$prefix"
  touch "$prefix/.pw-prepared-v4"
}

# Runs a command in the lane's network namespace (or the machine's, if none).
in_lane() { # netns command...
  local ns="$1"
  shift
  if [ -n "$ns" ]; then
    nsenter --net="/run/netns/$ns" -- "$@"
  else
    "$@"
  fi
}

start_lane() { # k netns
  local k="$1" ns="$2" dir="$state/lane$1"
  mkdir -p "$dir"
  start_xvfb "$dir"
  export DISPLAY="$(cat "$dir/display")"
  export WINEPREFIX="$dir/wineprefix"
  prepare_prefix "$WINEPREFIX"
  if [ -n "$ns" ]; then
    # A run that was killed may have left its namespace behind.
    ip netns del "$ns" 2>/dev/null || true
    ip netns add "$ns"
    ip -n "$ns" link set lo up
  fi
  # Detached from our output: CTest waits for every holder of its pipe. The
  # server makes the prefix's sockets, so it lives in the lane's namespace.
  in_lane "$ns" setsid "$WINESERVER" -p </dev/null >/dev/null 2>&1
  # A copied prefix may carry the DPI of an earlier run's last test.
  in_lane "$ns" "$WINE" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96 /f \
    >/dev/null 2>&1 || true
  echo 96 >"$dir/dpi"
  # Start the desktop process now, so the first test does not pay for it.
  in_lane "$ns" "$WINE" cmd /c exit >/dev/null 2>&1 || true
  echo "$ns" >"$dir/netns"
  cat >"$dir/env.sh" <<ENV
export WINEPREFIX="$WINEPREFIX"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINELOADER="$WINE"
export PW_WINE="$WINE"
export DISPLAY="$DISPLAY"
export PW_LANE=$k
export PW_LANE_DIR="$dir"
export PW_NETNS="$ns"
ENV
}

stop_lanes() {
  local dir ns
  for dir in "$state"/lane*/; do
    [ -d "$dir" ] || continue
    dir="${dir%/}"
    if [ -d "$dir/wineprefix" ]; then
      WINEPREFIX="$dir/wineprefix" "$WINESERVER" -k >/dev/null 2>&1 || true
    fi
    if [ -f "$dir/xvfb.pid" ]; then
      kill "$(cat "$dir/xvfb.pid")" 2>/dev/null || true
      rm -f "$dir/xvfb.pid"
    fi
    ns="$(cat "$dir/netns" 2>/dev/null || true)"
    [ -n "$ns" ] && ip netns del "$ns" 2>/dev/null || true
    rm -f "$dir/env.sh" "$dir/netns"
  done
  rm -f "$state/lanes"
}

# Whether lanes can have network namespaces of their own here.
netns_usable() {
  command -v ip >/dev/null && command -v nsenter >/dev/null || return 1
  local probe
  probe="$(netns_name probe)"
  ip netns add "$probe" 2>/dev/null || return 1
  ip netns del "$probe" 2>/dev/null || true
}

case "$cmd" in
start)
  stop_lanes
  if [ "$lanes" -gt 1 ] && ! netns_usable; then
    echo "no network namespaces here: one lane, tests take turns"
    lanes=1
  fi
  pids=()
  for k in $(seq "$lanes"); do
    ns=""
    [ "$lanes" -gt 1 ] && ns="$(netns_name "$k")"
    start_lane "$k" "$ns" &
    pids+=($!)
  done
  failed=0
  for pid in "${pids[@]}"; do wait "$pid" || failed=1; done
  if [ "$failed" = 1 ]; then
    echo "a lane did not start" >&2
    exit 1
  fi
  echo "$lanes" >"$state/lanes"
  for k in $(seq "$lanes"); do
    ns="$(cat "$state/lane$k/netns")"
    echo "lane $k: Xvfb on $(cat "$state/lane$k/display"), prefix $state/lane$k/wineprefix${ns:+, network namespace $ns}"
  done
  ;;
stop)
  stop_lanes
  ;;
*)
  echo "usage: $0 start|stop BUILD_DIR [LANES]" >&2
  exit 2
  ;;
esac
