#!/usr/bin/env bash
# Packages. Debian: cpack makes the runtime and development packages from the
# native build, which are installed with dpkg -i; the C++ and C consumers are
# then built against /usr with no prefix given (CMake package and pkg-config)
# and run, and the packages are purged again, also when a step fails.
# Windows: cpack makes the zip from the cross-build of the Windows stage.
set -euo pipefail
source .ci/lib.sh

need_packages cmake g++ make pkg-config binutils dpkg-dev unzip

work=$(mktemp -d)
installed=()
cleanup() {
  if [ ${#installed[@]} -gt 0 ]; then
    echo "== removing ${installed[*]}"
    dpkg -P "${installed[@]}" >/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

stage "Debian packages (cpack)"
[ -f build/CMakeCache.txt ] || cmake -S . -B build -DQZUTIL_WERROR=ON
cmake --build build --target qzutil -j"$jobs"
rm -rf build/packages
(cd build && cpack -G DEB)
runtime=$(ls build/packages/libqzutil[0-9]*_*.deb)
dev=$(ls build/packages/libqzutil-dev_*.deb)
for deb in "$runtime" "$dev"; do
  echo "-- $(basename "$deb")"
  dpkg-deb -f "$deb" Package Version Depends
  dpkg-deb -c "$deb" | awk '{print $6, $7, $8}' | tee "$work/$(basename "$deb").list"
done
runtime_list="$work/$(basename "$runtime").list"
dev_list="$work/$(basename "$dev").list"
# The runtime package holds the shared object under its SONAME and nothing
# for development; the development package the rest.
dpkg-deb -x "$runtime" "$work/runtime"
lib=$(find "$work/runtime/usr" -name 'libqzutil.so.*.*' -type f)
soname=$(objdump -p "$lib" | awk '/SONAME/ {print $2}')
test -L "$(dirname "$lib")/$soname"
[ "$(dpkg-deb -f "$runtime" Package)" = "libqzutil${soname##*.so.}" ]
if grep -E '\.h$|\.cmake$|\.pc$|libqzutil\.so ' "$runtime_list"; then
  echo "development files in $runtime"
  exit 1
fi
for path in include/qzutil/qzutil\.h include/qzutil/matrix/matrix_flat\.h lib.*/libqzutil\.so \
  lib.*/cmake/qzutil/qzutilConfig\.cmake lib.*/pkgconfig/qzutil\.pc; do
  grep -Eq "^\./usr/$path( |$)" "$dev_list" || { echo "missing from $dev: $path"; exit 1; }
done

stage "install with dpkg -i, consumers against /usr, dpkg -P"
installed=(libqzutil-dev "$(dpkg-deb -f "$runtime" Package)")
for package in "${installed[@]}"; do
  if dpkg -s "$package" >/dev/null 2>&1; then
    echo "note: $package was installed already (left by an interrupted run?); replacing it"
  fi
done
dpkg -i "$runtime" "$dev"
cmake -S tests/consumer -B "$work/consumer" -DCMAKE_CXX_FLAGS="-Wall -Wextra -Werror"
cmake --build "$work/consumer"
"$work/consumer/consumer"
"$work/consumer/consumer_c"
# shellcheck disable=SC2046
g++ -std=c++11 -Wall -Wextra -Werror tests/consumer/main.cpp $(pkg-config --cflags --libs qzutil) \
  -o "$work/consumer-pc"
"$work/consumer-pc"
# shellcheck disable=SC2046
gcc -std=c99 -Wall -Wextra -Werror -pedantic tests/consumer/main.c \
  $(pkg-config --cflags --libs qzutil) -o "$work/consumer-c-pc"
"$work/consumer-c-pc"
dpkg -P "${installed[@]}"
installed=()
test ! -e /usr/include/qzutil
if ls /usr/lib/libqzutil.so* /usr/lib/*/libqzutil.so* 2>/dev/null; then
  echo "left behind after dpkg -r"
  exit 1
fi

stage "Windows zip (cpack)"
# The library alone, cross-built with the 32-bit MinGW toolchain, the DLL a
# Windows host on x86 loads (the build-win32 of the Windows stage is reused).
need_packages g++-mingw-w64-i686-posix binutils-mingw-w64-i686
if [ ! -f build-win32/CMakeCache.txt ]; then
  cmake -S . -B build-win3232 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/mingw-w64-i686.cmake \
    -DQZUTIL_BUILD_TESTS=OFF -DQZUTIL_BUILD_BENCH=OFF -DQZUTIL_BUILD_EXAMPLES=OFF -DQZUTIL_WERROR=ON
fi
cmake --build build-win32 --target qzutil -j"$jobs"
rm -rf build-win32/packages
# cpack's install step builds the default target first, which build-win32's
# library-only configuration keeps cheap.
(cd build-win32 && cpack -G ZIP)
zip=$(ls build-win32/packages/qzutil-*-windows-*.zip)
unzip -Z1 "$zip" | tee "$work/zip.list"
for path in bin/libqzutil\.dll lib/libqzutil\.dll\.a include/qzutil/qzutil\.h \
  lib/cmake/qzutil/qzutilConfig\.cmake lib/cmake/qzutil/qzutilTargets\.cmake; do
  grep -Eq "^[^/]+/$path$" "$work/zip.list" || { echo "missing from $zip: $path"; exit 1; }
done
# Every DLL that the compiler ships and a DLL of the zip imports is in the
# zip too; system DLLs are not.
unzip -q "$zip" -d "$work/zip"
cxx=$(sed -n 's/^set(CMAKE_CXX_COMPILER "\(.*\)")$/\1/p' build-win32/CMakeFiles/*/CMakeCXXCompiler.cmake |
  head -n 1)
objdump=$(sed -n 's/^CMAKE_OBJDUMP:[A-Z]*=//p' build-win32/CMakeCache.txt)
if [ ! -x "$cxx" ] || [ ! -x "$objdump" ]; then
  echo "no cross compiler or objdump in build-win32"
  exit 1
fi
for dll in "$work"/zip/*/bin/*.dll; do
  imports=$("$objdump" -p "$dll" | awk '/DLL Name:/ {print $3}')
  echo "$(basename "$dll") imports:" "${imports//$'\n'/ }"
  for import in $imports; do
    shipped=$("$cxx" -print-file-name="$import")
    case $shipped in
      /*) [ -f "$(dirname "$dll")/$import" ] || { echo "$import, needed by $dll, is missing"; exit 1; } ;;
    esac
  done
done
stage "done"
