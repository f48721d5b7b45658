#!/usr/bin/env bash
# Regenerates the ABI baseline abi/libqzutil.abi from the library built from
# this tree (a RelWithDebInfo build, see tools/abi_lib.sh) and tells how it
# differs from the old one. Commit the new file together with the interface
# change it records.
#
# Usage: tools/update_abi_baseline.sh   (QZ_ABI_BUILD_DIR=dir picks the build)
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/abi_lib.sh

abi_need_tools
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

dir=$(abi_build_dir)
lib=$(abi_build "$dir")
mkdir -p "$(dirname "$abi_baseline")"
abi_dump "$dir" "$lib" "$work/new.abi"

if [ ! -f "$abi_baseline" ]; then
  cp "$work/new.abi" "$abi_baseline"
  echo "wrote the first baseline $abi_baseline ($(abi_soname "$abi_baseline"))"
  exit 0
fi

abi_classify "$abi_baseline" "$work/new.abi"
old_soname=$(abi_soname "$abi_baseline")
new_soname=$(abi_soname "$work/new.abi")
cp "$work/new.abi" "$abi_baseline"
echo "wrote $abi_baseline ($new_soname): $abi_verdict"
if [ "$abi_verdict" = changed ] && [ "$old_soname" = "$new_soname" ]; then
  if tag=$(abi_release_tag "$new_soname"); then
    cat <<MSG
FAIL: the interface changed other than by additions, and $tag was released
with $new_soname: raise the major version in CMakeLists.txt (a new SONAME) and
run this again. tools/check_abi.sh fails until then.
MSG
    exit 1
  fi
  echo "NOTE: incompatible, but no version of $new_soname has been released (tagged) yet"
fi
