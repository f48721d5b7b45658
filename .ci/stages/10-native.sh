#!/usr/bin/env bash
# The README's test command, formatting and clang-tidy.
set -euo pipefail
source .ci/lib.sh

need_packages cmake g++ make pkg-config binutils clang-tidy clang-format \
  libgtest-dev libgmock-dev libbenchmark-dev libtalloc-dev

stage "tests (the README's test command)"
# In a subshell: under set -e a failure inside an && list would not stop the
# script, but a failing subshell does.
(cmake -S . -B build -DQZUTIL_WERROR=ON && cmake --build build -j2 && ctest --test-dir build --output-on-failure)

stage "formatting"
# shellcheck disable=SC2046
clang-format --dry-run --Werror $(git ls-files '*.cpp' '*.h' '*.c')

stage "clang-tidy"
# One file per run, one run per core.
git ls-files 'qzutil/*.cpp' | grep -v /win32/ |
  xargs -P"$jobs" -n1 clang-tidy -p build --quiet --warnings-as-errors='*'
stage "done"
