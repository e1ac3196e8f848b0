# Cross-compiles for 32-bit Windows with Debian's MinGW-w64 toolchain.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(PW_TRIPLE i686-w64-mingw32)
set(CMAKE_C_COMPILER ${PW_TRIPLE}-gcc)
set(CMAKE_CXX_COMPILER ${PW_TRIPLE}-g++)
set(CMAKE_RC_COMPILER ${PW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${PW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Everything the program needs is linked in: only system DLLs at run time.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
