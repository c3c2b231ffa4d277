# Cross build for 64-bit Windows with Debian's MinGW-w64 (the POSIX thread
# model, so std::thread and std::mutex work):
#   cmake -S . -B build-windows --toolchain cmake/toolchains/mingw-w64.cmake
# Test programs run through Wine's loader.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(SX_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${SX_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${SX_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${SX_MINGW_PREFIX}-windres)

# Libraries and headers of the target only; programs of the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${SX_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
