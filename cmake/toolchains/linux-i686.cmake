# Builds for 32-bit x86 Linux with the host's multilib GCC (Debian packages
# g++-multilib and qemu-user) and runs the test programs under qemu-i386
# user-mode emulation, so that ctest works on a kernel that cannot start
# 32-bit programs itself:
#   cmake -S . -B build-i686 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/linux-i686.cmake \
#         -DCMAKE_PREFIX_PATH=<GoogleTest built with this file>
# The library adds its own floating-point options for this target
# (cmake/QzutilOptions.cmake). Everything built with this file, GoogleTest
# included, gets 64-bit file offsets and times, so that no struct stat or
# time_t differs between the library, the tests and the test framework.
# A CMAKE_<LANG>_FLAGS given on the command line replaces these flags: repeat
# them there.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER gcc)
set(CMAKE_CXX_COMPILER g++)
set(CMAKE_C_FLAGS_INIT "-m32 -D_FILE_OFFSET_BITS=64 -D_TIME_BITS=64")
set(CMAKE_CXX_FLAGS_INIT "-m32 -D_FILE_OFFSET_BITS=64 -D_TIME_BITS=64")
set(CMAKE_EXE_LINKER_FLAGS_INIT -m32)
set(CMAKE_SHARED_LINKER_FLAGS_INIT -m32)
set(CMAKE_MODULE_LINKER_FLAGS_INIT -m32)
# Debian's multilib puts the 32-bit runtime under /usr/lib32 and its loader
# at /lib/ld-linux.so.2, where qemu finds them without a sysroot (-L).
find_program(QZUTIL_QEMU_I386 NAMES qemu-i386 qemu-i386-static REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${QZUTIL_QEMU_I386})
