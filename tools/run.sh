#!/usr/bin/env bash
# Installs what is missing, builds an optimised program and starts it.
# Arguments are passed to the program (a configuration file to open).
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/ensure-packages.sh
ensure_packages "${QST_BUILD_PACKAGES[@]}"

build=build-release
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j"$(nproc)" --target quorastelline-config
exec "$build/quorastelline-config" "$@"
