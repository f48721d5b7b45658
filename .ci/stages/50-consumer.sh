#!/usr/bin/env bash
# Installs the native build into a temporary prefix and builds the outside
# consumers (one C++, one C99) against it with CMake and with pkg-config.
set -euo pipefail
source .ci/lib.sh

stage "install and outside consumer"
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install build --prefix "$prefix/usr"
test -f "$prefix/usr/include/qzutil/qzutil.h"
test ! -e "$prefix/usr/include/qzutil/platform"
soname=$(objdump -p "$prefix"/usr/lib*/libqzutil.so | awk '/SONAME/ {print $2}')
echo "SONAME: $soname"
test -n "$soname"

cmake -S tests/consumer -B "$prefix/consumer" -DCMAKE_PREFIX_PATH="$prefix/usr" -DCMAKE_CXX_FLAGS="-Wall -Wextra -Werror"
cmake --build "$prefix/consumer"
"$prefix/consumer/consumer"
"$prefix/consumer/consumer_c"

libdir=$(dirname "$(ls "$prefix"/usr/lib*/libqzutil.so)")
export PKG_CONFIG_PATH="$libdir/pkgconfig"
# shellcheck disable=SC2046
g++ -std=c++17 -Wall -Wextra -Werror tests/consumer/main.cpp $(pkg-config --cflags --libs qzutil) \
  -Wl,-rpath,"$libdir" -o "$prefix/consumer-pc"
"$prefix/consumer-pc"
# shellcheck disable=SC2046
gcc -std=c99 -Wall -Wextra -Werror -pedantic tests/consumer/main.c $(pkg-config --cflags --libs qzutil) \
  -Wl,-rpath,"$libdir" -o "$prefix/consumer-c-pc"
"$prefix/consumer-c-pc"
stage "done"
