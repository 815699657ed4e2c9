#!/usr/bin/env bash
# Takes a picture of the Find dialog after a scan of 127.0.0. with three
# simulated devices on port 23, for the manual:
#   ./tools/find-screenshot.sh [out.png]   (default docs/images/find-devices.png)
# Everything runs on a virtual display with a throw-away home folder, inside
# a network namespace of its own that has only the loopback interface, so no
# keystroke can make the program reach another host. Needs root (port 23 and
# the namespace).
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/ensure-packages.sh
ensure_packages "${QST_BUILD_PACKAGES[@]}" xvfb xauth imagemagick x11-utils xdotool

out=$(realpath -m "${1:-docs/images/find-devices.png}")
mkdir -p "$(dirname "$out")"
build=build-release
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 --target quorastelline-config qst-devsim >/dev/null

home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
cat >"$home/shoot.sh" <<'SHOT'
#!/usr/bin/env bash
set -euo pipefail
program=$1 simulator=$2 out=$3
"$simulator" --listen 127.0.0.2 --listen 127.0.0.3 --listen 127.0.0.4 --port 23 --ignore-stdin \
    --id "Quorastelline QS-6 v2.14 (simulated)" >/dev/null &
sim=$!
"$program" &
pid=$!
trap 'kill "$pid" "$sim" 2>/dev/null || true' EXIT
wait_for() {
    for _ in $(seq 1 100); do
        xwininfo -name "$1" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    echo "no window \"$1\"" >&2
    return 1
}
wait_for "TARVEN Quorastelline Configuration Utility"
sleep 1.5
window=$(xdotool search --name "TARVEN Quorastelline Configuration Utility" | head -1)
xdotool windowfocus --sync "$window" key --delay 200 alt+d f
wait_for "Find/List Quorastelline Devices"
sleep 0.5
dialog=$(xdotool search --name "Find/List Quorastelline Devices" | head -1)
# Focus order: Scan, the subnet field, Cancel; the dialog opens on Scan.
xdotool windowfocus --sync "$dialog" key Tab ctrl+a BackSpace
xdotool type --delay 50 "127.0.0."
xdotool key shift+Tab space
sleep 3
import -window "Find/List Quorastelline Devices" "$out"
SHOT
chmod +x "$home/shoot.sh"
program=$(realpath "$build/quorastelline-config")
simulator=$(realpath "$build/qst-devsim")
(cd "$home" && HOME="$home" unshare --net bash -c \
    'ip link set lo up && xvfb-run -a -s "-screen 0 1280x900x24" ./shoot.sh "$@"' shoot "$program" "$simulator" "$out")
echo "$out"
