#!/usr/bin/env bash
# Installs what is missing, builds the whole suite with AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs it: every test case is a ctest test,
# run in parallel (window tests on one Xvfb server of the run's own).
#   QST_TEST_JOBS   how many tests run at once (default 8: most of them wait
#                   on a device link rather than use a processor)
#   QST_FUZZ_SECONDS how long each fuzz target runs afterwards (default 20;
#                   0 skips them; tools/fuzz.sh runs them for longer)
#   QST_RANDOM_NODES how many random nodes per protocol and port the node
#                   editor's byte test opens (default 4; each is a dialog)
# Further arguments go to ctest (for example -R NAME).
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/ensure-packages.sh
ensure_packages "${QST_BUILD_PACKAGES[@]}" "${QST_TEST_PACKAGES[@]}"

build=build-test
# CI treats compiler warnings as errors.
werror=OFF
[ -n "${CI:-}" ] && werror=ON
cmake -S . -B "$build" -DQST_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug -DQST_WERROR=$werror >/dev/null
cmake --build "$build" -j"$(nproc)"
# The optimised tree that the package test packs, where that test can run
# (it installs the package: root or sudo).
if [ "$(id -u)" -eq 0 ] || sudo -n true 2>/dev/null; then
    echo "Building the package tree (optimised, $build/package-build)"
    bash tests/package/build-tree.sh "$PWD" "$PWD/$build/package-build"
fi
cd "$build"
ctest --output-on-failure -j"${QST_TEST_JOBS:-8}" "$@"
cd ..
# Everything that reads bytes from outside (files, device replies, node
# bytes in the report) is fuzzed for a short while on every run, so that a
# regression shows here rather than in the field.
fuzz_seconds=${QST_FUZZ_SECONDS:-20}
if [ "$fuzz_seconds" -gt 0 ]; then
    bash tools/fuzz.sh "$fuzz_seconds"
fi
