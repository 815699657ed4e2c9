#!/usr/bin/env bash
# Takes the picture of a previewed report page shown in the README:
# the window tests' Print Preview case, run under Xvfb, grabs the preview
# window before closing it.
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/ensure-packages.sh
ensure_packages "${QST_BUILD_PACKAGES[@]}" "${QST_TEST_PACKAGES[@]}"

build=build-test
out=${1:-docs/images/report-preview.png}
mkdir -p "$(dirname "$out")"
cmake -S . -B "$build" -DQST_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$build" -j2 --target test_gui
QST_PREVIEW_PNG="$(realpath "$out")" ASAN_OPTIONS=detect_leaks=0 \
    xvfb-run -a -s '-screen 0 1600x1200x24' \
    "$build/tests/test_gui" --gtest_filter='PrintCommands.PreviewOpensModalOverTheWindowAndCloses'
echo "wrote $out"
