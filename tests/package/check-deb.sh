#!/usr/bin/env bash
# Makes the Debian package from the optimised tree (package/build-tree.sh,
# which tools/test.sh has normally run already), checks it with lintian,
# installs it with apt, runs the installed tools, and removes it again.
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

# Debian's package checker: any error or warning fails. Overrides, each with
# a comment saying why, would go in usr/share/lintian/overrides/ in the package.
command -v lintian >/dev/null || { echo "FAILED: lintian is not installed (tools/ensure-packages.sh)" >&2; exit 1; }
if report=$(lintian --fail-on error,warning "$deb" 2>&1); then lintian=0; else lintian=$?; fi
grep -v '^running with root privileges' <<<"$report" || true
[ $lintian -eq 0 ] || { echo "FAILED: lintian reports errors or warnings (exit status $lintian)" >&2; exit 1; }
echo "lintian: no errors, no warnings"

# The changelog's latest entry is this version.
changelog=$(mktemp)
dpkg-deb --fsys-tarfile "$deb" | tar -xOf - ./usr/share/doc/quorastelline-config/changelog.gz | zcat >"$changelog"
version=$(dpkg-parsechangelog -l "$changelog" -S Version)
rm -f "$changelog"
if [ "$version" != "$(dpkg-deb --field "$deb" Version)" ]; then
    echo "FAILED: the changelog's latest entry is $version, the package $(dpkg-deb --field "$deb" Version)" >&2
    exit 1
fi

# Another package operation on the machine holds the lock for a while at
# most: wait for it rather than fail.
apt=(env DEBIAN_FRONTEND=noninteractive apt-get -y -q -o DPkg::Lock::Timeout=300)
cleanup() { "${sudo[@]}" "${apt[@]}" remove quorastelline-config >/dev/null 2>&1 || true; }
trap cleanup EXIT
"${sudo[@]}" "${apt[@]}" install --no-install-recommends "$deb" >/dev/null
/usr/bin/qst --help | grep -q '^Usage: qst COMMAND'
/usr/bin/qst-devsim --help | grep -q '^Usage: qst-devsim'
test -s /usr/share/doc/quorastelline-config/Quorastelline_Manual.pdf
grep -qx Path=/usr/share/doc/quorastelline-config /usr/share/applications/com.tarven.QuorastellineConfig.desktop
test -s /usr/share/quorastelline-config/quorastelline-config.schema.json
test -x /usr/share/quorastelline-config/ansible/library/quorastelline_config.py
echo "package: installed with apt and the installed tools run"
