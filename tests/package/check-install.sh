#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what lands there:
# programs, launcher, metainfo, icons, man pages, changelog, copyright file
# and the manual.
#   check-install.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1
source=$2
prefix=$(mktemp -d /tmp/qst-install-XXXXXX)
trap 'rm -rf "$prefix"' EXIT
fail=0
check() { if "$@"; then :; else echo "FAILED: $*" >&2; fail=1; fi; }

cmake --install "$build" --prefix "$prefix" >/dev/null

for program in quorastelline-config qst qst-devsim; do
    check test -x "$prefix/bin/$program"
done
desktop=$prefix/share/applications/com.tarven.QuorastellineConfig.desktop
metainfo=$prefix/share/metainfo/com.tarven.QuorastellineConfig.metainfo.xml
check test -f "$desktop"
check test -f "$metainfo"
for size in 16 22 24 32 48 64 128 256; do
    icon=$prefix/share/icons/hicolor/${size}x${size}/apps/quorastelline-config.png
    check test -f "$icon"
    check grep -q "PNG image data, $size x $size" <(file "$icon")
done
# Manual pages and changelog compressed as Debian does (gzip -9n: no name
# or time stamp in the header), the copyright file in Debian's format.
doc=$prefix/share/doc/quorastelline-config
for page in quorastelline-config qst qst-devsim; do
    check grep -q '^\.TH ' <(zcat "$prefix/share/man/man1/$page.1.gz")
done
for compressed in "$prefix"/share/man/man1/*.1.gz "$doc/changelog.gz"; do
    header=$(file "$compressed")
    check grep -q 'max compression' <<<"$header"
    check test -z "$(grep -E 'was "|last modified' <<<"$header")"
done
check grep -q '^quorastelline-config (' <(zcat "$doc/changelog.gz")
check grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' "$doc/copyright"

# The launcher starts the program where the installed manual is.
check grep -qx "Path=$prefix/share/doc/quorastelline-config" "$desktop"
check grep -qx "Exec=quorastelline-config %f" "$desktop"
check desktop-file-validate "$desktop"
check appstreamcli validate --no-net "$metainfo"

manual=$prefix/share/doc/quorastelline-config/Quorastelline_Manual.pdf
check test -s "$manual"
if [ -s "$manual" ]; then
    # The typesetter writes ellipses and quotes typographically.
    text=$(pdftotext -layout "$manual" - | sed 's/…/.../g; s/[‘’]/'"'"'/g; s/[“”]/"/g' | tr -s ' \n' ' ')
    while IFS= read -r item; do
        [ -z "$item" ] && continue
        grep -qF -- "$item" <<<"$text" || { echo "FAILED: the manual does not name \"$item\"" >&2; fail=1; }
    done <"$source/tests/package/manual-items.txt"
fi

schema=$prefix/share/quorastelline-config/quorastelline-config.schema.json
check cmp -s "$schema" "$source/docs/quorastelline-config.schema.json"
check python3 -c 'import json, sys; json.load(open(sys.argv[1]))' "$schema"

module=$prefix/share/quorastelline-config/ansible/library/quorastelline_config.py
check cmp -s "$module" "$source/ansible/library/quorastelline_config.py"
check test -x "$module"

check "$prefix/bin/qst" --help >/dev/null
check "$prefix/bin/qst-devsim" --help >/dev/null
[ $fail -eq 0 ] && echo "install layout: all checks passed"
exit $fail
