#!/usr/bin/env bash
# Installs what is missing, builds the whole suite with AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs it (window tests under Xvfb).
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/ensure-packages.sh
ensure_packages "${QST_BUILD_PACKAGES[@]}" "${QST_TEST_PACKAGES[@]}"

build=build-test
cmake -S . -B "$build" -DQST_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$build" -j"$(nproc)"
cd "$build"
ctest --output-on-failure
