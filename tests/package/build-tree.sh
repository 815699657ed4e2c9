#!/usr/bin/env bash
# Builds (or brings up to date) the optimised tree that the Debian package
# is made from: the programs and the manual, no tests. Its prefix is the
# default /usr/local, as in any plain build folder: the package installs
# under /usr all the same.
#   build-tree.sh SOURCE_DIR WORK_DIR
# tools/test.sh runs it before ctest, so that the package test only packs;
# the package test runs it too, where it finds nothing left to do.
set -euo pipefail
source=$1
work=$2
cmake -S "$source" -B "$work" -DCMAKE_BUILD_TYPE=Release -DQST_BUILD_TESTS=OFF \
    -DCMAKE_INSTALL_PREFIX=/usr/local >/dev/null
cmake --build "$work" -j"$(nproc)" >/dev/null
