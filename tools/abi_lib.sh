# Shared by tools/update_abi_baseline.sh and tools/check_abi.sh: where the
# baseline lives, which build is read, and how the ABI is written out.
# shellcheck shell=bash
# shellcheck disable=SC2034  # the variables are read by the scripts that source this

abi_baseline=abi/libqzutil.abi
abi_suppressions=abi/suppressions.ini

# Options of every abidw run. The public headers decide which types belong to
# the interface; locations and paths are left out so that the file depends on
# the code alone, not on where it was built; type ids are hashes so that a
# new type does not renumber the rest of the file.
abi_dw_options=(--headers-dir "" --drop-private-types --exported-interfaces-only
  --drop-undefined-syms --no-elf-needed --no-show-locs --no-comp-dir-path --no-corpus-path
  --type-id-style hash)

abi_die() {
  echo "abi: $*" >&2
  exit 2
}

abi_need_tools() {
  if ! command -v abidw >/dev/null || ! command -v abidiff >/dev/null; then
    abi_die "abidw and abidiff are needed (Debian package abigail-tools)"
  fi
}

# abi_build_dir: prints the build directory to read. QZ_ABI_BUILD_DIR wins;
# otherwise the default build/ when it is a RelWithDebInfo build without
# sanitizers (as CI's first stage makes it), else build-abi/, a build of the
# library alone.
abi_build_dir() {
  if [ -n "${QZ_ABI_BUILD_DIR:-}" ]; then
    echo "$QZ_ABI_BUILD_DIR"
  elif grep -qx 'CMAKE_BUILD_TYPE:STRING=RelWithDebInfo' build/CMakeCache.txt 2>/dev/null &&
    ! grep -qx 'QZUTIL_SANITIZE:BOOL=ON' build/CMakeCache.txt; then
    echo build
  else
    echo build-abi
  fi
}

# abi_build DIR: configures DIR when it has no cache yet, then brings the
# shared library up to date. Prints the library's path.
abi_build() {
  local dir=$1
  if [ ! -f "$dir/CMakeCache.txt" ]; then
    cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQZUTIL_BUILD_TESTS=OFF \
      -DQZUTIL_BUILD_EXAMPLES=OFF -DQZUTIL_BUILD_BENCH=OFF >&2 || abi_die "cannot configure $dir"
  fi
  cmake --build "$dir" --target qzutil -j"${jobs:-2}" >&2 || abi_die "the library does not build in $dir"
  # The link chain libqzutil.so -> SONAME -> file names the current build,
  # whatever older versions lie beside it.
  local lib
  lib=$(readlink -f "$dir/qzutil/libqzutil.so")
  [ -f "$lib" ] || abi_die "no shared library under $dir/qzutil"
  echo "$lib"
}

# abi_dump DIR LIB OUT: writes the ABI of LIB, as seen through the public
# headers that DIR installs, to OUT.
abi_dump() {
  local dir=$1 lib=$2 out=$3 stage
  stage=$(mktemp -d)
  cmake --install "$dir" --component development --prefix "$stage" >/dev/null ||
    abi_die "cannot stage the public headers of $dir"
  local options=("${abi_dw_options[@]}")
  options[1]="$stage/include"
  abidw "${options[@]}" --out-file "$out" "$lib" || abi_die "abidw failed on $lib"
  # Source names relative to the checkout, so that the file does not depend on
  # where the tree lies (abidiff does not compare them).
  local root
  root=$(pwd -P)
  sed -i "s|path='$root/|path='|g" "$out"
  rm -rf "$stage"
}

# abi_release_tag SONAME: prints the newest tag v<major>.* that HEAD
# contains, for the major version that SONAME carries; fails when there is
# none (or no git).
abi_release_tag() {
  git rev-parse --git-dir >/dev/null 2>&1 &&
    git describe --tags --abbrev=0 --match "v${1##*.so.}.*" HEAD 2>/dev/null
}

# abi_soname FILE: the SONAME recorded in an abidw file.
abi_soname() {
  sed -n "s/^<abi-corpus [^>]*soname='\([^']*\)'.*/\1/p" "$1" | head -n 1
}

# abi_compare OLD NEW [ABIDIFF OPTION...]: abidiff with the project's
# suppressions; prints the report and returns abidiff's status (bit 4: a
# change, bit 8: an incompatible one; 1 and 2 are failures of the tool).
abi_compare() {
  local old=$1 new=$2
  shift 2
  abidiff --suppressions "$abi_suppressions" --no-show-locs --show-bytes "$@" "$old" "$new"
}

# abi_classify OLD NEW: prints abidiff's full report and sets abi_verdict to
# "same", "added" (new functions, variables or symbols only) or "changed"
# (anything removed, or any type or signature changed: abidiff rates a grown
# record as a plain change, not an incompatible one, so every change but an
# addition counts).
abi_classify() {
  local status
  set +e
  abi_compare "$1" "$2"
  status=$?
  abi_compare "$1" "$2" --no-added-syms >/dev/null
  local strict=$?
  set -e
  if [ $((status & 3)) -ne 0 ] || [ $((strict & 3)) -ne 0 ]; then
    abi_die "abidiff failed comparing $1 with $2"
  elif [ "$strict" -ne 0 ]; then
    abi_verdict=changed
  elif [ "$status" -ne 0 ]; then
    abi_verdict=added
  else
    abi_verdict=same
  fi
}
