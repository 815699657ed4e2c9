#!/usr/bin/env bash
# Takes a picture of the compare dialog for the README and the manual:
#   ./tools/compare-screenshot.sh [first.qst] [other.qst|other.json] [out.png]
# The window opens the first file (default docs/example.qst) and File >
# Compare with File... compares it with the other (default: the example
# with a few values changed, made through qst export and import); the
# picture goes to docs/images/compare-dialog.png by default. The program
# runs on its own virtual display, with openbox so that keys reach it, and a
# throw-away home folder.
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/screenshot-common.sh
screenshot_packages xdotool openbox python3

first=$(realpath "${1:-docs/example.qst}")
out=$(realpath -m "${3:-docs/images/compare-dialog.png}")
mkdir -p "$(dirname "$out")"

screenshot_build quorastelline-config qst

home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
if [ -n "${2:-}" ]; then
    other=$(realpath "$2")
else
    # The example after a site visit: other data age, gateway, notes, a
    # node's speed and a slave's ID.
    other="$home/after-visit.qst"
    "$build/qst" export "$first" -o "$home/example.json"
    python3 - "$home/example.json" "$home/after-visit.json" <<'EDIT'
import json, sys
doc = json.load(open(sys.argv[1]))
doc["general"]["dataAgeSecs"] = 75
doc["ip"]["gateway"] = "192.168.1.1"
doc["notes"] = "Substation 4 north, after the site visit."
doc["nodes"][2]["port"]["baud"] = 19200
doc["nodes"][3]["slaves"][0]["id"] = 8
json.dump(doc, open(sys.argv[2], "w"), indent=2)
EDIT
    "$build/qst" import "$home/after-visit.json" -o "$other"
fi

cat >"$home/shoot.sh" <<'SHOT'
#!/usr/bin/env bash
set -euo pipefail
program=$1 first=$2 other=$3 out=$4
openbox --sm-disable >/dev/null 2>&1 &
sleep 1
"$program" "$first" &
pid=$!
trap 'kill "$pid" 2>/dev/null || true' EXIT
. "$QST_SCREENSHOT_COMMON"
title="TARVEN Quorastelline Configuration Utility"
wait_for_window "$title"
sleep 1.5   # let the window finish drawing
window=$(xdotool search --name "$title" | head -1)
xdotool windowactivate --sync "$window"
xdotool key alt+f
sleep 0.5
# Open, Save, Save as, Close, then Compare with File...
xdotool key Down Down Down Down Return
wait_for_window "Choose a file to compare with"
sleep 0.5
xdotool key ctrl+l
xdotool type --delay 20 "$other"
xdotool key Return
wait_for_window "Compare with $(basename "$other")"
sleep 1
import -window "Compare with $(basename "$other")" "$out"
SHOT
chmod +x "$home/shoot.sh"
cat >"$home/.Quorastelline_Config" <<'GEOMETRY'
WindowPosition_X=0
WindowPosition_Y=0
WindowPosition_Width=1180
WindowPosition_Height=840
GEOMETRY
program=$(realpath "$build/quorastelline-config")
(cd "$home" && HOME="$home" xvfb-run -a -s '-screen 0 1280x900x24' ./shoot.sh "$program" "$first" "$other" "$out")
echo "$out"
