#!/usr/bin/env bash
# Fuzz smoke: builds the libFuzzer targets with Clang (ASan + UBSan) and runs
# each for about 20 seconds from its committed seeds, two at a time; any
# finding fails the stage and leaves the input under build-fuzz/findings/.
set -euo pipefail
source .ci/lib.sh

need_packages clang-14 libclang-rt-14-dev

stage "fuzz targets: build"
# -O1 with line tables: quick to build, fast enough to fuzz, readable stacks.
cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -gline-tables-only" \
  -DQZUTIL_BUILD_FUZZERS=ON -DQZUTIL_BUILD_TESTS=OFF -DQZUTIL_BUILD_EXAMPLES=OFF \
  -DQZUTIL_BUILD_BENCH=OFF -DQZUTIL_WERROR=ON
cmake --build build-fuzz -j"$jobs"

stage "fuzz targets: 20 s each"
seconds=${QZ_FUZZ_SECONDS:-20}
mkdir -p build-fuzz/findings
run() {
  local t=$1 work
  work=$(mktemp -d)  # new inputs go here; the committed seeds stay as they are
  if build-fuzz/fuzz/fuzz_"$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=1024 \
    -artifact_prefix=build-fuzz/findings/"$t"- "$work" fuzz/corpus/"$t" >build-fuzz/fuzz-"$t".log 2>&1; then
    echo "   $t: $(grep -E '^#[0-9]+.*DONE' build-fuzz/fuzz-"$t".log | tail -1)"
  else
    echo "   $t: FAILED"; tail -40 build-fuzz/fuzz-"$t".log; return 1
  fi
  rm -rf "$work"
}
targets=(text names colour_text colour_maps linetype memory translate matrix geometry profile)
status=0
for ((i = 0; i < ${#targets[@]}; i += 2)); do
  run "${targets[i]}" & first=$!
  second=""
  if ((i + 1 < ${#targets[@]})); then run "${targets[i + 1]}" & second=$!; fi
  wait "$first" || status=1
  if [ -n "$second" ]; then wait "$second" || status=1; fi
done
[ "$status" -eq 0 ] || { echo "fuzz findings in build-fuzz/findings/"; exit 1; }
stage "done"
