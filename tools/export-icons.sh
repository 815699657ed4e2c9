#!/usr/bin/env bash
# Renders the application icon (drawn by the program's own code) into
# resources/icons/<size>.png for the desktop's icon theme. Run it after the
# icon's drawing changes; the window tests check that the files still match.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD:-build}
cmake -S . -B "$build" >/dev/null
cmake --build "$build" -j"$(nproc)" --target qst-export-icons
mkdir -p resources/icons
ASAN_OPTIONS=detect_leaks=0 xvfb-run -a "$build/qst-export-icons" resources/icons
ls resources/icons
