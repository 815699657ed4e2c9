#!/usr/bin/env bash
# Takes a picture of the main window showing a configuration file, for the
# README: ./tools/screenshot.sh [file.qst] [out.png]
# The program runs on its own virtual display, with a throw-away home folder
# so that the user's own window geometry is neither read nor written.
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/screenshot-common.sh
screenshot_packages

config=$(realpath "${1:-docs/example.qst}")
out=$(realpath -m "${2:-docs/images/main-window.png}")
mkdir -p "$(dirname "$out")"

screenshot_build quorastelline-config

home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
cat >"$home/shoot.sh" <<'SHOT'
#!/usr/bin/env bash
set -euo pipefail
program=$1 config=$2 out=$3
. "$QST_SCREENSHOT_COMMON"
"$program" "$config" &
pid=$!
title="TARVEN Quorastelline Configuration Utility"
wait_for_window "$title"
sleep 1.5   # let the window finish drawing
import -window "$title" "$out"
kill "$pid"
wait "$pid" 2>/dev/null || true
SHOT
chmod +x "$home/shoot.sh"
# No stored geometry: the picture shows the window at the size it opens with
# on a first start.
program=$(realpath "$build/quorastelline-config")
# Started in the throw-away folder, the program finds no manual of ours.
(cd "$home" && HOME="$home" xvfb-run -a -s '-screen 0 1280x900x24' ./shoot.sh "$program" "$config" "$out")
echo "$out"
