#!/usr/bin/env bash
# Windows: the DLL cross-built for 32- and 64-bit x86, each checked for its
# exports, its imports (system DLLs only), its lack of a TLS directory and its
# import library; then every suite cross-built for 64-bit Windows and run by
# ctest under Wine, as an unprivileged user with a Wine prefix of its own.
set -euo pipefail
source .ci/lib.sh

need_packages g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix binutils-mingw-w64-x86-64 \
  binutils-mingw-w64-i686 googletest wine64

# check_dll TRIPLET BUILD_DIR
check_dll() {
  local objdump="$1-objdump" dll="$2/qzutil/libqzutil.dll" headers imports name
  test -f "$2/qzutil/libqzutil.dll.a" || { echo "no import library in $2"; return 1; }
  headers=$("$objdump" -p "$dll")
  # One plain name of every family must be in the export table.
  for name in set_xfm utl_point_line str_parse ColOpen MemAllocate tra_convert_flpt trcStart \
    trcActivated osh_readLine utl_unique_filename; do
    grep -qw "$name" <<<"$headers" || { echo "not exported from $dll: $name"; return 1; }
  done
  # Self-contained: nothing but system DLLs (no libstdc++, libgcc or
  # winpthread DLL beside it).
  imports=$(awk '/DLL Name:/ {print $3}' <<<"$headers")
  echo "$dll imports:" $imports
  if grep -viqE '^(KERNEL32|msvcrt|USER32)\.dll$' <<<"$imports"; then
    echo "$dll imports more than system DLLs"
    return 1
  fi
  # No TLS directory, or DisableThreadLibraryCalls fails for the DLL.
  if grep -E 'Thread Storage Directory' <<<"$headers" | grep -qvE ' 0+ 0+ Thread'; then
    echo "$dll has a TLS directory"
    return 1
  fi
}

stage "Windows DLL, 32-bit"
cmake -S . -B build-win32 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/mingw-w64-i686.cmake \
  -DQZUTIL_BUILD_TESTS=OFF -DQZUTIL_BUILD_BENCH=OFF -DQZUTIL_BUILD_EXAMPLES=OFF -DQZUTIL_WERROR=ON
cmake --build build-win32 -j"$jobs" --target qzutil
check_dll i686-w64-mingw32 build-win32

# Built from a copy outside the checkout, so that the unprivileged user can
# read the sources that some tests take as data, wherever the checkout lies.
stage "Windows 64-bit: DLL and suites"
user=qzwine
id "$user" >/dev/null 2>&1 || useradd --create-home --shell /usr/sbin/nologin "$user"
work=$(mktemp -d /tmp/qz-win.XXXXXX)
chmod 755 "$work"
as_user=(runuser -u "$user" -- env HOME="$work/home" WINEPREFIX="$work/wine" WINEDEBUG=-all
  WINEDLLOVERRIDES="mscoree,mshtml=")
# Stopping the server ends every Wine process of the prefix.
trap '"${as_user[@]}" /usr/lib/wine/wineserver --kill >/dev/null 2>&1 || true; rm -rf "$work"' EXIT
mkdir -p "$work/src" "$work/home" "$work/wine"
git ls-files -z | tar --null -T - -cf - | tar -xf - -C "$work/src"
cmake -S "$work/src" -B "$work/build" \
  -DCMAKE_TOOLCHAIN_FILE="$work/src/cmake/toolchains/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" \
  -DQZUTIL_GTEST_SOURCE_DIR=/usr/src/googletest -DQZUTIL_BUILD_BENCH=OFF \
  -DQZUTIL_BUILD_EXAMPLES=OFF -DQZUTIL_WERROR=ON \
  -DCMAKE_CROSSCOMPILING_EMULATOR=/usr/lib/wine/wine64
cmake --build "$work/build" -j"$jobs"
check_dll x86_64-w64-mingw32 "$work/build"

stage "Windows 64-bit suites under Wine, as $user"
chown -R "$user:" "$work"
# One server for the many short test programs, started before anything else
# (a second server for the same prefix would be refused).
"${as_user[@]}" /usr/lib/wine/wineserver --persistent </dev/null >/dev/null 2>&1
"${as_user[@]}" /usr/lib/wine/wine64 wineboot --init </dev/null >/dev/null 2>&1
"${as_user[@]}" ctest --test-dir "$work/build" -j"$jobs" --output-on-failure </dev/null
stage "done"
