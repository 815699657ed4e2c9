#!/usr/bin/env bash
# Takes a picture of the main window showing a configuration file, for the
# README: ./tools/screenshot.sh [file.qst] [out.png]
# The program runs on its own virtual display, with a throw-away home folder
# so that the user's own window geometry is neither read nor written.
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/ensure-packages.sh
ensure_packages "${QST_BUILD_PACKAGES[@]}" xvfb xauth imagemagick x11-utils

config=$(realpath "${1:-docs/example.qst}")
out=$(realpath -m "${2:-docs/images/main-window.png}")
mkdir -p "$(dirname "$out")"

build=build-release
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 --target quorastelline-config >/dev/null

home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
cat >"$home/shoot.sh" <<'SHOT'
#!/usr/bin/env bash
set -euo pipefail
program=$1 config=$2 out=$3
"$program" "$config" &
pid=$!
title="TARVEN Quorastelline Configuration Utility"
for _ in $(seq 1 100); do
    xwininfo -name "$title" >/dev/null 2>&1 && break
    sleep 0.1
done
sleep 1.5   # let the window finish drawing
import -window "$title" "$out"
kill "$pid"
wait "$pid" 2>/dev/null || true
SHOT
chmod +x "$home/shoot.sh"
# Wide enough for the grids' columns; the program reads this as the
# geometry it was last closed with.
cat >"$home/.Quorastelline_Config" <<'GEOMETRY'
WindowPosition_X=0
WindowPosition_Y=0
WindowPosition_Width=1180
WindowPosition_Height=840
GEOMETRY
program=$(realpath "$build/quorastelline-config")
# Started in the throw-away folder, the program finds no manual of ours.
(cd "$home" && HOME="$home" xvfb-run -a -s '-screen 0 1280x900x24' ./shoot.sh "$program" "$config" "$out")
echo "$out"
