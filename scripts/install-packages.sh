#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need.
# Idempotent: returns in a second or two when everything is present.
set -euo pipefail

PACKAGES=(cmake make g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix mingw-w64-i686-dev
  mingw-w64-x86-64-dev libz-mingw-w64-dev
  wine wine64 wine32:i386 xvfb xdotool x11-apps imagemagick nsis fonts-wqy-microhei
  python3 python3-pil dpkg-dev clang-format googletest)

missing=()
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
  NEED_UPDATE=1
fi
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

# Source packages: enable deb-src on the machine's own sources rather than
# naming any mirror ourselves.
enable_deb_src() {
  local f
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    if grep -q '^Types: deb$' "$f"; then
      sed -i 's/^Types: deb$/Types: deb deb-src/' "$f"
      NEED_UPDATE=1
    fi
  done
  if [ -f /etc/apt/sources.list ] && grep -q '^deb ' /etc/apt/sources.list &&
    ! grep -q '^deb-src ' /etc/apt/sources.list; then
    grep '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' >>/etc/apt/sources.list
    NEED_UPDATE=1
  fi
}
enable_deb_src

export DEBIAN_FRONTEND=noninteractive
if [ "${#missing[@]}" -gt 0 ] || [ -n "${NEED_UPDATE:-}" ]; then
  apt-get update -qq
fi
if [ "${#missing[@]}" -gt 0 ]; then
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
