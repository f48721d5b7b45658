#!/usr/bin/env bash
# The whole suite again under AddressSanitizer + UndefinedBehaviorSanitizer.
set -euo pipefail
source .ci/lib.sh

stage "tests under AddressSanitizer + UndefinedBehaviorSanitizer"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DQZUTIL_SANITIZE=ON -DQZUTIL_WERROR=ON \
  -DQZUTIL_BUILD_BENCH=OFF
cmake --build build-asan -j"$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure
stage "done"
