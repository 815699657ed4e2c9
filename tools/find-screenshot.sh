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
. tools/screenshot-common.sh
screenshot_packages xdotool

out=$(realpath -m "${1:-docs/images/find-devices.png}")
mkdir -p "$(dirname "$out")"
screenshot_build quorastelline-config qst-devsim

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
. "$QST_SCREENSHOT_COMMON"
wait_for_window "TARVEN Quorastelline Configuration Utility"
sleep 1.5
window=$(xdotool search --name "TARVEN Quorastelline Configuration Utility" | head -1)
xdotool windowfocus --sync "$window" key --delay 200 alt+d f
wait_for_window "Find/List Quorastelline Devices"
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
