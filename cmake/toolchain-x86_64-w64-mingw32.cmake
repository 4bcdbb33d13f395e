# Cross build for 64-bit Windows with Debian's MinGW-w64 (posix thread model):
#   cmake -S . -B build-win64 -G Ninja --toolchain cmake/toolchain-x86_64-w64-mingw32.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(PELLMARK_MINGW_TRIPLE x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${PELLMARK_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PELLMARK_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${PELLMARK_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${PELLMARK_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# 64-bit Wine runs this build's programs; cmake/windows.cmake makes it the tests' emulator.
