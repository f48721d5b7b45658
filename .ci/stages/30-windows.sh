#!/usr/bin/env bash
# Cross-build for Windows: the Win32 backend and the DLL's exports.
set -euo pipefail
source .ci/lib.sh

need_packages g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64

stage "Windows cross-build"
cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/mingw-w64-x86_64.cmake \
  -DQZUTIL_BUILD_TESTS=OFF -DQZUTIL_BUILD_BENCH=OFF -DQZUTIL_WERROR=ON
cmake --build build-win -j"$jobs"
exports=$(x86_64-w64-mingw32-objdump -p build-win/qzutil/libqzutil.dll)
# One plain name of every family must be in the DLL's export table.
for name in set_xfm utl_point_line str_parse ColOpen MemAllocate tra_convert_flpt trcStart \
  osh_readLine utl_unique_filename; do
  grep -qw "$name" <<<"$exports" || { echo "not exported from the DLL: $name"; exit 1; }
done
stage "done"
