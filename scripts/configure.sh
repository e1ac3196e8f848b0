#!/usr/bin/env bash
# Configures a build folder with a MinGW-w64 toolchain.
#   configure.sh [BUILD_DIR] [x64|x86] [cmake options...]
# x64 (the default) is the build the tests run natively under wine64; x86 is
# the shipped 32-bit program.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${1:-$ROOT/build}"
ARCH="${2:-x64}"
shift 2 || shift $#
case "$ARCH" in
x64) TOOLCHAIN="$ROOT/cmake/toolchain-mingw64.cmake" ;;
x86) TOOLCHAIN="$ROOT/cmake/toolchain-mingw32.cmake" ;;
*) echo "unknown architecture $ARCH (x64 or x86)" >&2; exit 2 ;;
esac
if [ -f "$BUILD/CMakeCache.txt" ] && ! grep -q "CMAKE_TOOLCHAIN_FILE:.*=$TOOLCHAIN\$" "$BUILD/CMakeCache.txt"; then
  rm -rf "$BUILD/CMakeCache.txt" "$BUILD/CMakeFiles"
fi
if [ ! -f "$BUILD/CMakeCache.txt" ]; then
  cmake -S "$ROOT" -B "$BUILD" -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
else
  cmake "$BUILD" "$@" >/dev/null
fi
