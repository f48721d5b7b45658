# Shared by the MinGW-w64 toolchain files, which set QZUTIL_MINGW_TRIPLET.
# Both C and C++ compilers are named so that C-using projects built with the
# same toolchain (GoogleTest) cross-build too.
set(CMAKE_C_COMPILER ${QZUTIL_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QZUTIL_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${QZUTIL_MINGW_TRIPLET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${QZUTIL_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The compiler's runtime (libgcc, libstdc++ and the winpthread library under
# them) is linked into every DLL and program, so each one depends on nothing
# but system DLLs. The DLL's TLS callbacks are dropped by
# qzutil/platform/win32/dll_tls_win32.cpp.
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
