#!/usr/bin/env bash
# Builds the third-party libraries the program links statically, once, into a
# cache outside the checkout: libcurl (plain HTTP only) and minizip's unzip,
# both from Debian's source packages, for i686-w64-mingw32 and x86_64-w64-mingw32
# (or only the hosts named: build-deps.sh [HOST...]).
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

# Both are built for size with one section per function and datum, so the
# program's link drops what it never calls; libcurl is configured down to the
# plain HTTP requests the statistics reports make.
CFLAGS_DEPS="-Os -ffunction-sections -fdata-sections"
# No exception passes through C code on 32-bit, where unwind tables are only
# for exceptions (64-bit Windows needs them for every function).
CFLAGS_DEPS_32="-fno-asynchronous-unwind-tables"
CURL_CONFIGURE=(
  --disable-shared --enable-static --disable-debug
  --without-ssl --without-zlib --without-libpsl --without-brotli --without-zstd
  --without-libidn2 --without-winidn --without-nghttp2 --without-nghttp3 --without-ngtcp2
  --without-librtmp --without-libssh2 --without-libgsasl --without-hyper
  --disable-ftp --disable-file --disable-ldap --disable-ldaps --disable-rtsp
  --disable-dict --disable-telnet --disable-tftp --disable-pop3 --disable-imap
  --disable-smb --disable-smtp --disable-gopher --disable-mqtt --disable-manual
  --disable-docs --disable-ntlm --disable-ntlm-wb --disable-kerberos-auth --disable-negotiate-auth
  --disable-crypto-auth --disable-tls-srp --disable-sspi
  --disable-alt-svc --disable-hsts --disable-mime --disable-cookies --disable-netrc
  --disable-verbose --disable-progress-meter --disable-doh --disable-unix-sockets
  --disable-get-easy-options --disable-headers-api --disable-libcurl-option --disable-websockets
  --disable-pthreads --enable-ipv6
)
# The platform's C library does the few sscanf calls; libcurl formats its
# output itself, so MinGW's own stdio would only add its code to the program.
CPPFLAGS_CURL="-D__USE_MINGW_ANSI_STDIO=0"
# A stamp holds the flags a library was built with: changing them rebuilds it.
built_with() { [ -f "$1" ] && [ "$(cat "$1")" = "$2" ]; }

# The shipped program is 32-bit; where 32-bit Windows programs do not run, the
# tests run a 64-bit build of the same code.
HOSTS=("$@")
[ "${#HOSTS[@]}" -gt 0 ] || HOSTS=(i686-w64-mingw32 x86_64-w64-mingw32)
for HOST in "${HOSTS[@]}"; do
  PREFIX="$CACHE/$HOST"
  STAMP_CURL="$PREFIX/.curl-done"
  STAMP_MINIZIP="$PREFIX/.minizip-done"
  mkdir -p "$PREFIX/include" "$PREFIX/lib"
  CFLAGS_HOST="$CFLAGS_DEPS"
  [ "$HOST" = i686-w64-mingw32 ] && CFLAGS_HOST="$CFLAGS_DEPS $CFLAGS_DEPS_32"
  CURL_RECIPE="curl $CFLAGS_HOST $CPPFLAGS_CURL ${CURL_CONFIGURE[*]}"
  MINIZIP_RECIPE="minizip $CFLAGS_HOST -DNOCRYPT -DNOUNCRYPT"
  if ! built_with "$STAMP_CURL" "$CURL_RECIPE"; then
    src="$(fetch_source curl)"
    build="$CACHE/build-curl-$HOST"
    rm -rf "$build" && mkdir -p "$build"
    (
      cd "$build"
      CC="$HOST-gcc-posix" CFLAGS="$CFLAGS_HOST" "$src/configure" --host="$HOST" --prefix="$PREFIX" \
        CPPFLAGS="$CPPFLAGS_CURL" "${CURL_CONFIGURE[@]}" \
        >configure.log 2>&1 ||
        { tail -40 configure.log >&2; exit 1; }
      make -C lib -j"$JOBS" >make.log 2>&1 || { tail -40 make.log >&2; exit 1; }
      make -C lib install >>make.log 2>&1
      make -C include install >>make.log 2>&1
    )
    echo "$CURL_RECIPE" >"$STAMP_CURL"
  fi

  if ! built_with "$STAMP_MINIZIP" "$MINIZIP_RECIPE"; then
    src="$(fetch_source zlib)"
    mz="$src/contrib/minizip"
    build="$CACHE/build-minizip-$HOST"
    rm -rf "$build" && mkdir -p "$build"
    for f in unzip ioapi; do
      "$HOST-gcc-posix" $CFLAGS_HOST -DNOCRYPT -DNOUNCRYPT -I"$mz" -c "$mz/$f.c" -o "$build/$f.o"
    done
    rm -f "$PREFIX/lib/libminizip.a"
    "$HOST-ar" rcs "$PREFIX/lib/libminizip.a" "$build/unzip.o" "$build/ioapi.o"
    mkdir -p "$PREFIX/include/minizip"
    cp "$mz/unzip.h" "$mz/ioapi.h" "$PREFIX/include/minizip/"
    echo "$MINIZIP_RECIPE" >"$STAMP_MINIZIP"
  fi

done

echo "$CACHE"
