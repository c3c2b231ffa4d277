# The Windows build (MinGW-w64, see cmake/toolchains/mingw-w64.cmake): what
# the libraries, sxtool and the Windows tests need from the build machine.
# Python, the simulator, OpenIGTLink, the Linux tests, benchmarks and fuzz
# targets stay Linux-only.

# Windows 7 and later: CancelIoEx, GetThreadId.
add_compile_definitions(_WIN32_WINNT=0x0601 WIN32_LEAN_AND_MEAN NOMINMAX)

# Programs and DLLs in one folder, as they are installed: a program finds
# the DLLs beside it.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

# The MinGW runtime (libgcc, libstdc++, winpthreads) linked in statically,
# so that no runtime DLL must sit beside the programs.
add_link_options(-static)

# Headers of Debian's host packages, each by its own folder so that no
# header of the build machine's C library comes along: libusb.h (the DLL is
# loaded at run time), CLI11 and nlohmann-json (header-only).
add_library(sx_libusb_headers INTERFACE)
target_include_directories(sx_libusb_headers SYSTEM INTERFACE /usr/include/libusb-1.0)

set(SX_HOST_HEADERS ${CMAKE_BINARY_DIR}/host-headers)
file(MAKE_DIRECTORY ${SX_HOST_HEADERS})
file(CREATE_LINK /usr/include/CLI ${SX_HOST_HEADERS}/CLI SYMBOLIC)
add_library(CLI11::CLI11 INTERFACE IMPORTED)
target_include_directories(CLI11::CLI11 SYSTEM INTERFACE ${SX_HOST_HEADERS})
file(CREATE_LINK /usr/include/nlohmann ${SX_HOST_HEADERS}/nlohmann SYMBOLIC)
add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
target_include_directories(nlohmann_json::nlohmann_json SYSTEM INTERFACE ${SX_HOST_HEADERS})
