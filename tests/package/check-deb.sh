#!/usr/bin/env bash
# Makes the Debian package from the optimised tree (package/build-tree.sh,
# which tools/test.sh has normally run already), installs it with apt, runs
# the installed tools, and removes it again.
#   check-deb.sh SOURCE_DIR WORK_DIR
# Exits 77 (skipped) where packages cannot be installed (not root, no sudo).
set -euo pipefail
source=$1
work=$2
sudo=()
if [ "$(id -u)" -ne 0 ]; then
    if sudo -n true 2>/dev/null; then sudo=(sudo -n); else echo "not root and no sudo: skipped"; exit 77; fi
fi

bash "$source/tests/package/build-tree.sh" "$source" "$work"
(cd "$work" && rm -f ./*.deb && cpack -G DEB >/dev/null)
deb=$(ls "$work"/quorastelline-config_*.deb)
echo "built $(basename "$deb")"
dpkg-deb --field "$deb" Depends

# Another package operation on the machine holds the lock for a while at
# most: wait for it rather than fail.
apt=(env DEBIAN_FRONTEND=noninteractive apt-get -y -q -o DPkg::Lock::Timeout=300)
cleanup() { "${sudo[@]}" "${apt[@]}" remove quorastelline-config >/dev/null 2>&1 || true; }
trap cleanup EXIT
"${sudo[@]}" "${apt[@]}" install --no-install-recommends "$deb" >/dev/null
/usr/bin/qst --help | grep -q '^Usage: qst COMMAND'
/usr/bin/qst-devsim --help | grep -q '^Usage: qst-devsim'
test -s /usr/share/doc/quorastelline-config/Quorastelline_Manual.pdf
test -f /usr/share/applications/com.tarven.QuorastellineConfig.desktop
test -s /usr/share/quorastelline-config/quorastelline-config.schema.json
echo "package: installed with apt and the installed tools run"
