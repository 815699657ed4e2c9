#!/usr/bin/env bash
# Takes a picture of the node edit dialog for one node of a configuration
# file, for the README: ./tools/node-dialog-screenshot.sh [file.qst] [node] [out.png]
# (default docs/example.qst, node 4, docs/images/node-dialog.png). The
# program runs on its own virtual display with a throw-away home folder, and
# the dialog is opened by a double click on the node's row of the nodes grid.
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/ensure-packages.sh
ensure_packages "${QST_BUILD_PACKAGES[@]}" xvfb xauth imagemagick x11-utils xdotool

config=$(realpath "${1:-docs/example.qst}")
node=${2:-4}
out=$(realpath -m "${3:-docs/images/node-dialog.png}")
case "$node" in [1-6]) ;; *) echo "node must be 1 to 6" >&2; exit 2 ;; esac
mkdir -p "$(dirname "$out")"

build=build-release
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 --target quorastelline-config >/dev/null

home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
cat >"$home/shoot.sh" <<'SHOT'
#!/usr/bin/env bash
set -euo pipefail
program=$1 config=$2 node=$3 out=$4
"$program" "$config" &
pid=$!
trap 'kill "$pid" 2>/dev/null || true' EXIT
wait_for() {
    for _ in $(seq 1 100); do
        xwininfo -name "$1" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    echo "no window \"$1\"" >&2
    return 1
}
wait_for "TARVEN Quorastelline Configuration Utility"
sleep 1.5   # let the window finish drawing
window=$(xdotool search --name "TARVEN Quorastelline Configuration Utility" | head -1)
# The window is laid out as the geometry below makes it: the nodes grid's
# "Protocol" cells start at (480, 74) and its rows are 25 pixels apart.
xdotool mousemove --window "$window" 520 $((86 + 25 * (node - 1))) click --repeat 2 --delay 100 1
wait_for "Edit Node"
sleep 1
import -window "Edit Node" "$out"
SHOT
chmod +x "$home/shoot.sh"
cat >"$home/.Quorastelline_Config" <<'GEOMETRY'
WindowPosition_X=0
WindowPosition_Y=0
WindowPosition_Width=1180
WindowPosition_Height=840
GEOMETRY
program=$(realpath "$build/quorastelline-config")
(cd "$home" && HOME="$home" xvfb-run -a -s '-screen 0 1280x900x24' ./shoot.sh "$program" "$config" "$node" "$out")
echo "$out"
