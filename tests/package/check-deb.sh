#!/usr/bin/env bash
# Builds the Debian package from an optimised build, installs it with apt,
# runs the installed tools, and removes it again.
#   check-deb.sh SOURCE_DIR WORK_DIR
# Exits 77 (skipped) where packages cannot be installed (not root, no sudo).
set -euo pipefail
source=$1
work=$2
sudo=()
if [ "$(id -u)" -ne 0 ]; then
    if sudo -n true 2>/dev/null; then sudo=(sudo -n); else echo "not root and no sudo: skipped"; exit 77; fi
fi

cmake -S "$source" -B "$work" -DCMAKE_BUILD_TYPE=Release -DQST_BUILD_TESTS=OFF -DCMAKE_INSTALL_PREFIX=/usr >/dev/null
cmake --build "$work" -j"$(nproc)" >/dev/null
(cd "$work" && rm -f ./*.deb && cpack -G DEB >/dev/null)
deb=$(ls "$work"/quorastelline-config_*.deb)
echo "built $(basename "$deb")"
dpkg-deb --field "$deb" Depends

cleanup() { DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get remove -y -q quorastelline-config >/dev/null 2>&1 || true; }
trap cleanup EXIT
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q --no-install-recommends "$deb" >/dev/null
/usr/bin/qst --help | grep -q '^Usage: qst COMMAND'
/usr/bin/qst-devsim --help | grep -q '^Usage: qst-devsim'
test -s /usr/share/doc/quorastelline-config/Quorastelline_Manual.pdf
test -f /usr/share/applications/com.tarven.QuorastellineConfig.desktop
echo "package: installed with apt and the installed tools run"
