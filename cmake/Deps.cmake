# Third-party libraries, all linked statically.
#   zlib      Debian's libz-mingw-w64-dev
#   libcurl   built by scripts/build-deps.sh from Debian's source package, HTTP only, without zlib
#   minizip   unzip.c + ioapi.c from zlib's contrib, built the same way
set(PW_DEPS_PREFIX ${PW_DEPS_CACHE}/${PW_TRIPLE})

find_library(PW_ZLIB NAMES libz.a z REQUIRED)
find_path(PW_ZLIB_INCLUDE zlib.h REQUIRED)
add_library(pw_zlib INTERFACE)
target_link_libraries(pw_zlib INTERFACE ${PW_ZLIB})
target_include_directories(pw_zlib INTERFACE ${PW_ZLIB_INCLUDE})

if(NOT EXISTS ${PW_DEPS_PREFIX}/lib/libcurl.a OR NOT EXISTS ${PW_DEPS_PREFIX}/lib/libminizip.a)
  message(FATAL_ERROR "libcurl/minizip not found under ${PW_DEPS_PREFIX}; run scripts/build-deps.sh")
endif()

add_library(pw_curl INTERFACE)
target_include_directories(pw_curl INTERFACE ${PW_DEPS_PREFIX}/include)
target_compile_definitions(pw_curl INTERFACE CURL_STATICLIB)
target_link_libraries(pw_curl INTERFACE ${PW_DEPS_PREFIX}/lib/libcurl.a ws2_32 wldap32 crypt32
                      pw_delay_bcrypt advapi32 iphlpapi)

add_library(pw_minizip INTERFACE)
target_include_directories(pw_minizip INTERFACE ${PW_DEPS_PREFIX}/include/minizip)
target_link_libraries(pw_minizip INTERFACE ${PW_DEPS_PREFIX}/lib/libminizip.a pw_zlib)
