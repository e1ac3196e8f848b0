# Shared part of the MinGW-w64 toolchain files; PW_TRIPLE is set by the caller.
# The posix thread model gives GoogleTest its std::mutex; winpthreads is linked
# statically like everything else.
set(CMAKE_C_COMPILER ${PW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${PW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${PW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Everything the program needs is linked in: only system DLLs at run time.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
