#!/usr/bin/env bash
# Compares the shared library built from this tree with the ABI baseline in
# abi/. Fails (status 1) when
#   - an exported function or variable was removed, or a signature or a type
#     that the interface uses changed, and the baseline was not regenerated;
#   - the library's SONAME is not the one the baseline records (a new SONAME
#     comes with a new baseline, in the same change);
#   - the baseline itself changes the ABI of a released version of the same
#     SONAME (the newest tag v<major>.* that HEAD contains) other than by
#     additions, so that a break after a release always comes with a new
#     SONAME.
# Additions are reported and pass. Status 2: the check could not run.
#
# Usage: tools/check_abi.sh   (QZ_ABI_BUILD_DIR=dir picks the build to read)
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/abi_lib.sh

abi_need_tools
[ -f "$abi_baseline" ] || abi_die "no baseline $abi_baseline: run tools/update_abi_baseline.sh"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

dir=$(abi_build_dir)
lib=$(abi_build "$dir")
echo "== ABI of $lib (build directory $dir) against $abi_baseline"
abi_dump "$dir" "$lib" "$work/current.abi"

failed=0
base_soname=$(abi_soname "$abi_baseline")
soname=$(abi_soname "$work/current.abi")
echo "SONAME: built $soname, baseline $base_soname"
if [ "$soname" != "$base_soname" ]; then
  echo "FAIL: the SONAME changed without a new baseline; run tools/update_abi_baseline.sh"
  failed=1
fi

abi_classify "$abi_baseline" "$work/current.abi"
case $abi_verdict in
  same) echo "ABI: identical to the baseline" ;;
  added) echo "ABI: additions only (listed above); they join the baseline when it is regenerated" ;;
  changed)
    cat <<MSG
FAIL: the ABI changed against $abi_baseline (see above): something was
removed, or a signature or a type of the interface changed.
If the change is intended, regenerate the baseline with
tools/update_abi_baseline.sh and commit it with the change; once a version
of $base_soname has been released (tagged v<major>.*), also raise the major
version in CMakeLists.txt so that the SONAME changes.
MSG
    failed=1
    ;;
esac

# The baseline against the newest release of the same SONAME.
if tag=$(abi_release_tag "$base_soname"); then
  if git cat-file -e "$tag:$abi_baseline" 2>/dev/null; then
    git show "$tag:$abi_baseline" >"$work/released.abi"
    echo "== $abi_baseline against release $tag"
    abi_classify "$work/released.abi" "$abi_baseline"
    if [ "$abi_verdict" = changed ]; then
      echo "FAIL: the baseline breaks the ABI of release $tag ($base_soname): raise the major version"
      failed=1
    else
      echo "ABI: the baseline keeps the ABI of release $tag"
    fi
  else
    echo "ABI: release $tag predates the baseline; nothing to compare"
  fi
else
  echo "ABI: no release of $base_soname tagged yet (v${base_soname##*.so.}.*); the baseline may still change"
fi

exit $failed
