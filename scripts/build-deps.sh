#!/usr/bin/env bash
# Builds the third-party libraries the program links statically, once, into a
# cache outside the checkout: libcurl (plain HTTP only) and minizip's unzip,
# both from Debian's source packages, for i686-w64-mingw32.
# Prints the cache folder on its last line.
set -euo pipefail

CACHE="${PW_DEPS_CACHE:-/var/cache/pagewright-deps}"
JOBS="$(nproc)"
mkdir -p "$CACHE/src"

fetch_source() { # package -> prints the unpacked folder
  local pkg="$1" dir
  dir="$(find "$CACHE/src" -maxdepth 1 -type d -name "$pkg-*" | sort | head -n1)"
  if [ -z "$dir" ]; then
    # The newest version may be missing from a mirror (security updates are
    # served for a while only): try each version the sources list, newest first.
    local v ok=""
    for v in "" $(apt-cache showsrc "$pkg" 2>/dev/null | sed -n 's/^Version: //p' | sort -urV); do
      if (cd "$CACHE/src" && apt-get source -qq "$pkg${v:+=$v}" >/dev/null 2>&1); then
        ok=1
        break
      fi
    done
    if [ -z "$ok" ]; then
      echo "apt-get source $pkg failed; is deb-src enabled? (scripts/install-packages.sh)" >&2
      exit 1
    fi
    dir="$(find "$CACHE/src" -maxdepth 1 -type d -name "$pkg-*" | sort | head -n1)"
  fi
  echo "$dir"
}

# The shipped program is 32-bit; the tests run a 64-bit build of the same code.
for HOST in i686-w64-mingw32 x86_64-w64-mingw32; do
  PREFIX="$CACHE/$HOST"
  STAMP_CURL="$PREFIX/.curl-done"
  STAMP_MINIZIP="$PREFIX/.minizip-done"
  mkdir -p "$PREFIX/include" "$PREFIX/lib"
  if [ ! -f "$STAMP_CURL" ]; then
    src="$(fetch_source curl)"
    build="$CACHE/build-curl-$HOST"
    rm -rf "$build" && mkdir -p "$build"
    (
      cd "$build"
      CC="$HOST-gcc-posix" "$src/configure" --host="$HOST" --prefix="$PREFIX" \
        --disable-shared --enable-static --without-ssl --with-zlib="/usr/$HOST" \
        --without-libpsl --without-brotli --without-zstd --without-libidn2 \
        --without-nghttp2 --without-nghttp3 --without-ngtcp2 --without-librtmp \
        --without-libssh2 --without-libgsasl \
        --disable-ftp --disable-file --disable-ldap --disable-ldaps --disable-rtsp \
        --disable-dict --disable-telnet --disable-tftp --disable-pop3 --disable-imap \
        --disable-smb --disable-smtp --disable-gopher --disable-mqtt --disable-manual \
        --disable-docs --disable-ntlm --disable-kerberos-auth --disable-negotiate-auth \
        --disable-alt-svc --disable-hsts --enable-ipv6 >configure.log 2>&1 ||
        { tail -40 configure.log >&2; exit 1; }
      make -C lib -j"$JOBS" >make.log 2>&1 || { tail -40 make.log >&2; exit 1; }
      make -C lib install >>make.log 2>&1
      make -C include install >>make.log 2>&1
    )
    touch "$STAMP_CURL"
  fi

  if [ ! -f "$STAMP_MINIZIP" ]; then
    src="$(fetch_source zlib)"
    mz="$src/contrib/minizip"
    build="$CACHE/build-minizip-$HOST"
    rm -rf "$build" && mkdir -p "$build"
    for f in unzip ioapi; do
      "$HOST-gcc-posix" -O2 -DNOCRYPT -DNOUNCRYPT -I"$mz" -c "$mz/$f.c" -o "$build/$f.o"
    done
    "$HOST-ar" rcs "$PREFIX/lib/libminizip.a" "$build/unzip.o" "$build/ioapi.o"
    mkdir -p "$PREFIX/include/minizip"
    cp "$mz/unzip.h" "$mz/ioapi.h" "$PREFIX/include/minizip/"
    touch "$STAMP_MINIZIP"
  fi

done

echo "$CACHE"
