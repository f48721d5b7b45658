#!/usr/bin/env bash
# The whole suite built for 32-bit x86 (-m32, SSE2 arithmetic, 4-byte
# pointers) and run under qemu-i386 user-mode emulation, through the
# toolchain file's CMAKE_CROSSCOMPILING_EMULATOR. GoogleTest is built for
# 32-bit from Debian's sources first. The examples are built too: the drawing
# example's SVG must match the committed one byte for byte, as on 64-bit. No
# benchmarks.
set -euo pipefail
source .ci/lib.sh

need_packages cmake g++ make binutils pkg-config g++-multilib qemu-user googletest

toolchain=$PWD/cmake/toolchains/linux-i686.cmake

stage "GoogleTest for 32-bit x86"
cmake -S /usr/src/googletest -B build-i686/googletest -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$PWD/build-i686/googletest/prefix" >/dev/null
cmake --build build-i686/googletest -j"$jobs" >/dev/null
cmake --install build-i686/googletest >/dev/null

stage "32-bit x86 build"
# -O2 as in the native build, without its debug information (GCC 12 at -O3
# warns falsely about std::string copies in the tests).
cmake -S . -B build-i686/qzutil -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" \
  -DCMAKE_PREFIX_PATH="$PWD/build-i686/googletest/prefix" -DQZUTIL_WERROR=ON \
  -DQZUTIL_BUILD_BENCH=OFF >/dev/null
cmake --build build-i686/qzutil -j"$jobs"

stage "32-bit x86 tests under qemu-i386"
# The build must really be 32-bit x86 with SSE2 arithmetic.
fail() {
  echo "$1"
  exit 1
}
header=$(readelf -h build-i686/qzutil/qzutil/libqzutil.so)
grep -Eq "Class: +ELF32" <<<"$header" || fail "libqzutil.so is not a 32-bit ELF object"
grep -Eq "Machine: +Intel 80386" <<<"$header" || fail "libqzutil.so is not for x86"
grep -q -- "-mfpmath=sse" build-i686/qzutil/compile_commands.json || fail "no SSE2 arithmetic"
ctest --test-dir build-i686/qzutil -j"$jobs" --output-on-failure

stage "32-bit x86 outside consumer (CMake and pkg-config)"
# The installed package must hand the arithmetic flags on to its hosts.
prefix=$PWD/build-i686/prefix
cmake --install build-i686/qzutil --prefix "$prefix" >/dev/null
cmake -S tests/consumer -B build-i686/consumer -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_EXPORT_COMPILE_COMMANDS=ON \
  -DCMAKE_CXX_FLAGS="-m32 -Wall -Wextra -Werror" >/dev/null
cmake --build build-i686/consumer
grep -q -- "-mfpmath=sse" build-i686/consumer/compile_commands.json ||
  fail "the CMake package does not hand on -mfpmath=sse"
qemu-i386 build-i686/consumer/consumer
export PKG_CONFIG_PATH="$prefix/lib/pkgconfig"
cflags=$(pkg-config --cflags qzutil)
grep -q -- "-msse2 -mfpmath=sse" <<<"$cflags" || fail "pkg-config --cflags: $cflags"
# shellcheck disable=SC2046,SC2086
g++ -m32 -std=c++11 -Wall -Wextra -Werror tests/consumer/main.cpp $cflags \
  $(pkg-config --libs qzutil) -Wl,-rpath,"$prefix/lib" -o build-i686/consumer-pc
qemu-i386 build-i686/consumer-pc
stage "done"
