#!/usr/bin/env bash
# The shared object's ABI against the baseline in abi/ (tools/check_abi.sh):
# an incompatible change fails unless the baseline (and, after a release, the
# SONAME) changed with it; additions are reported. Reads the RelWithDebInfo
# build of the first stage, so it costs one abidw and one abidiff run.
set -euo pipefail
source .ci/lib.sh

need_packages abigail-tools cmake g++ make

stage "ABI against abi/libqzutil.abi"
bash tools/check_abi.sh
stage "done"
