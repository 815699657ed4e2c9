#!/usr/bin/env bash
# Installs what is missing, builds the optimised programs and the manual
# (in build-release, as tools/run.sh does) and makes the Debian package
# from them; prints the package's path.
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/ensure-packages.sh
ensure_packages "${QST_BUILD_PACKAGES[@]}" "${QST_PACKAGE_PACKAGES[@]}"

build=$(pwd)/build-release
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DQST_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)"
(cd "$build" && rm -f ./quorastelline-config_*.deb && cpack -G DEB >/dev/null)
ls "$build"/quorastelline-config_*.deb
