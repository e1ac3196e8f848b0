#!/usr/bin/env bash
# Configures a build folder (default: build/) with the MinGW toolchain.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${1:-$ROOT/build}"
shift || true
if [ ! -f "$BUILD/CMakeCache.txt" ]; then
  cmake -S "$ROOT" -B "$BUILD" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-mingw32.cmake" \
    -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
else
  cmake "$BUILD" "$@" >/dev/null
fi
