#!/usr/bin/env bash
# Takes a picture of the node edit dialog for one node of a configuration
# file, for the README:
#   ./tools/node-dialog-screenshot.sh [file.qst] [node] [out.png] [protocol]
# (default docs/example.qst, node 4, docs/images/node-dialog.png and
# "Analogue/Audio Master"). The program runs on its own virtual display with
# a throw-away home folder; the dialog is opened by a double click on the
# node's row of the nodes grid, and the protocol, unless it is "-", is chosen
# in the dialog's protocol list as a user would before the picture is taken.
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/screenshot-common.sh
screenshot_packages xdotool

config=$(realpath "${1:-docs/example.qst}")
node=${2:-4}
out=$(realpath -m "${3:-docs/images/node-dialog.png}")
protocol=${4:-Analogue/Audio Master}
case "$node" in [1-6]) ;; *) echo "node must be 1 to 6" >&2; exit 2 ;; esac
# The protocol list's items, in its order.
protocols=("Control" "IO Master" "UCE Master" "UCE Slave" "S2 Master" "S2 Slave" "Genisys Master"
           "Genisys Slave" "Host Master" "Host Slave" "NTP Client" "Analogue/Audio Master" "Null")
item=-1
for i in "${!protocols[@]}"; do
    [ "${protocols[$i]}" = "$protocol" ] && item=$i
done
if [ "$protocol" != "-" ] && [ "$item" -lt 0 ]; then
    echo "no protocol \"$protocol\"; one of: ${protocols[*]} (or - for the node's own)" >&2
    exit 2
fi
mkdir -p "$(dirname "$out")"

screenshot_build quorastelline-config

home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
cat >"$home/shoot.sh" <<'SHOT'
#!/usr/bin/env bash
set -euo pipefail
program=$1 config=$2 node=$3 out=$4 item=$5
"$program" "$config" &
pid=$!
trap 'kill "$pid" 2>/dev/null || true' EXIT
. "$QST_SCREENSHOT_COMMON"
wait_for_window "TARVEN Quorastelline Configuration Utility"
sleep 1.5   # let the window finish drawing
window=$(xdotool search --name "TARVEN Quorastelline Configuration Utility" | head -1)
# The window is laid out as the geometry below makes it: the nodes grid's
# "Protocol" cells start at (480, 74) and its rows are 25 pixels apart.
xdotool mousemove --window "$window" 520 $((86 + 25 * (node - 1))) click --repeat 2 --delay 100 1
wait_for_window "Edit Node"
sleep 1
if [ "$item" -ge 0 ]; then
    # The protocol list is the dialog's first control, at its top left: a
    # click opens it; Home goes to the first item and Down to the chosen one.
    dialog=$(xdotool search --name "Edit Node" | head -1)
    xdotool mousemove --window "$dialog" 80 42 click 1
    sleep 0.5
    xdotool key Home
    for _ in $(seq 1 "$item"); do xdotool key Down; done
    xdotool key Return
    sleep 1
fi
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
(cd "$home" && HOME="$home" xvfb-run -a -s '-screen 0 1280x900x24' ./shoot.sh "$program" "$config" "$node" "$out" "$item")
echo "$out"
