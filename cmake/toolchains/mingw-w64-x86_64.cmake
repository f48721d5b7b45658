# Cross-compiles the library and its tests for 64-bit Windows with MinGW-w64
# (Debian packages g++-mingw-w64-x86-64-win32 and binutils-mingw-w64-x86-64):
#   cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/mingw-w64-x86_64.cmake
# The win32-threads compilers are used on purpose: their runtime needs no
# winpthread DLL and gives the DLL no thread-local storage directory, which
# would make DisableThreadLibraryCalls fail.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(QZUTIL_MINGW_TRIPLET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
