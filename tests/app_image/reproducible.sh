#!/usr/bin/env bash
# Builds the shipped program again from a copy of the sources in another
# folder, with the build options of the first build, and fails unless both
# images have the same bytes: no link time, no build or source path inside.
#   reproducible.sh EXE BUILD_DIR SOURCE_DIR WORK_DIR
set -euo pipefail
exe="$1"
first_build="$2"
source_dir="$3"
work="$4"
rm -rf "$work"
mkdir -p "$work/src"
# The sources as they stand (deleted files left out), in a folder of another
# name and depth.
if git -C "$source_dir" rev-parse --git-dir >/dev/null 2>&1; then
  (cd "$source_dir" && git ls-files -z -co --exclude-standard |
    while IFS= read -r -d '' f; do if [ -e "$f" ]; then printf '%s\0' "$f"; fi; done |
    xargs -0 cp --parents -t "$work/src")
else
  tar -C "$source_dir" --exclude=./build --exclude='./build-*' -cf - . | tar -C "$work/src" -xf -
fi
cache="$first_build/CMakeCache.txt"
option() { sed -n "s/^$1:[A-Z]*=//p" "$cache"; }
options=()
for name in CMAKE_BUILD_TYPE PW_STATS_HOST PW_CDN_HOST PW_AGREEMENT_HOST PW_OFFLINE_HOST \
  PW_DOWNLOAD_STALL_SECONDS PW_DEPS_CACHE; do
  options+=("-D$name=$(option "$name")")
done
cmake -S "$work/src" -B "$work/build-again" -DCMAKE_TOOLCHAIN_FILE="$work/src/cmake/toolchain-mingw32.cmake" \
  -DPW_BUILD_TESTS=OFF "${options[@]}" >"$work/configure.log" 2>&1 || { cat "$work/configure.log"; exit 1; }
cmake --build "$work/build-again" -j"$(nproc)" --target PageWrightOnlineSetup >"$work/build.log" 2>&1 ||
  { tail -40 "$work/build.log"; exit 1; }
second="$work/build-again/app/PageWrightOnlineSetup.exe"
if cmp -s "$exe" "$second"; then
  echo "same $(stat -c %s "$exe") bytes: $exe and $second"
  rm -rf "$work"
  exit 0
fi
echo "the two builds differ: $exe and $second"
cmp -l "$exe" "$second" | head -20
x86_64-w64-mingw32-objdump -h "$exe" >"$work/first.sections"
x86_64-w64-mingw32-objdump -h "$second" >"$work/second.sections"
diff "$work/first.sections" "$work/second.sections" || true
exit 1
