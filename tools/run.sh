#!/usr/bin/env bash
# Installs what is missing, builds an optimised program and the device
# simulator, starts the simulator on loopback in the background, says where
# to reach it, and starts the program. The simulator stops with the program.
# Arguments are passed to the program (a configuration file to open).
set -euo pipefail
# A file named relative to where the command was given.
arguments=()
for argument in "$@"; do
    if [ -e "$argument" ]; then arguments+=("$(realpath "$argument")"); else arguments+=("$argument"); fi
done
cd "$(dirname "$0")/.."
. tools/ensure-packages.sh
ensure_packages "${QST_BUILD_PACKAGES[@]}"

build=$(pwd)/build-release
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DQST_BUILD_TESTS=OFF >/dev/null
# The programs, qst, the simulator and the manual.
cmake --build "$build" -j"$(nproc)"

banner=$(mktemp)
simulator=
feed=

stop_simulator() {
    if [ -n "$feed" ]; then
        exec {feed}>&-
        feed=
    fi
    if [ -n "$simulator" ]; then
        kill "$simulator" 2>/dev/null || true
        wait "$simulator" 2>/dev/null || true
        simulator=
    fi
}
trap 'stop_simulator; rm -f "$banner"' EXIT
trap 'exit 130' INT TERM

# Starts the simulator on 127.0.0.1:$1 (0: a free port) and a
# pseudo-terminal; true once it is ready. Its standard input is a pipe that
# only this script holds, so it ends with the script however the script ends.
start_simulator() {
    : >"$banner"
    exec {feed}> >(exec "$build/qst-devsim" --listen 127.0.0.1 --port "$1" --pty >"$banner" 2>&1)
    simulator=$!
    for _ in $(seq 100); do
        grep -q '^ready$' "$banner" && return 0
        kill -0 "$simulator" 2>/dev/null || break
        sleep 0.1
    done
    stop_simulator
    return 1
}

# A fixed port is easy to type again next time; when it is taken, any port.
if start_simulator 2323 || start_simulator 0; then
    read -r _ address port < <(grep '^tcp ' "$banner")
    pty=$(sed -n 's/^pty //p' "$banner")
    echo
    echo "Device simulator (qst-devsim) running until the program closes. In the window:"
    echo "  IP Address: $address   Port: $port"
    [ -z "$pty" ] || echo "  or Serial Port: $pty   (any Baud)"
    echo "then Get ID, Read, Write, Set clock or Reboot."
    echo
else
    echo "The device simulator did not start:" >&2
    cat "$banner" >&2
fi

# The program runs in the build folder, where Help finds the manual; it
# does not hold the simulator's input open.
cd "$build"
status=0
if [ -n "$feed" ]; then
    ./quorastelline-config "${arguments[@]}" {feed}>&- || status=$?
else
    ./quorastelline-config "${arguments[@]}" || status=$?
fi
exit "$status"
