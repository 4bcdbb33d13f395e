# Cross build for 32-bit Windows with Debian's MinGW-w64 (posix thread model):
#   cmake -S . -B build-win32 -G Ninja --toolchain cmake/toolchain-i686-w64-mingw32.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(PELLMARK_MINGW_TRIPLE i686-w64-mingw32)

set(CMAKE_C_COMPILER ${PELLMARK_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PELLMARK_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${PELLMARK_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${PELLMARK_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# This 32-bit build is only built and checked here: 64-bit Wine cannot run its programs.
