#!/usr/bin/env bash
# An X server for the window tests of one ctest run (a ctest fixture).
#   xvfb-display.sh start STATE [--window-manager]
#                                 starts Xvfb on a free display and, once it
#                                 takes clients, writes "DISPLAY PID" to STATE;
#                                 with --window-manager openbox runs on it too
#                                 (its process number follows on the line)
#   xvfb-display.sh stop STATE    stops the server that STATE names
# The server ends by itself after two hours, should a run be cut short
# before the stop.
set -euo pipefail
action=$1
state=$2
window_manager=${3:-}

stop() {
    [ -f "$state" ] || return 0
    local display pid wm
    read -r display pid wm <"$state" || true
    rm -f "$state" "$state.log" "$state.wm.log"
    if [ -n "${wm:-}" ] && tr '\0' ' ' <"/proc/$wm/cmdline" 2>/dev/null | grep -q openbox; then
        kill "$wm" 2>/dev/null || true
    fi
    [ -n "${pid:-}" ] || return 0
    # Only the server this script started: the number of one that ended
    # long ago may belong to another process by now.
    tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null | grep -q 'Xvfb -displayfd' || return 0
    kill "$pid" 2>/dev/null || return 0
    for _ in $(seq 100); do
        running "$pid" || return 0
        sleep 0.05
    done
    kill -KILL "$pid" 2>/dev/null || true
}

# A process that has ended but is not reaped yet (its parent was this
# script's, which has gone) counts as ended.
running() {
    local state
    state=$(sed 's/^.*) //' "/proc/$1/stat" 2>/dev/null | cut -d' ' -f1) || return 1
    [ -n "$state" ] && [ "$state" != Z ]
}

case $action in
start)
    stop  # one that an interrupted run left
    number=$(mktemp)
    trap 'rm -f "$number"' EXIT
    # With -displayfd the server takes the first free display number and
    # writes it once it is ready; the session of its own keeps it out of
    # the reach of whatever ends this script.
    setsid timeout 2h Xvfb -displayfd 3 -screen 0 1600x1200x24 -nolisten tcp \
        3>"$number" </dev/null >/dev/null 2>"$state.log" &
    pid=$!
    for _ in $(seq 200); do
        [ -s "$number" ] && break
        if ! kill -0 "$pid" 2>/dev/null; then
            echo "Xvfb did not start:" >&2
            cat "$state.log" >&2
            exit 1
        fi
        sleep 0.05
    done
    if [ ! -s "$number" ]; then
        kill "$pid" 2>/dev/null || true
        echo "Xvfb gave no display number within 10 s" >&2
        exit 1
    fi
    display=":$(head -n 1 "$number")"
    wm=""
    if [ "$window_manager" = --window-manager ]; then
        DISPLAY=$display setsid timeout 2h openbox --sm-disable </dev/null >/dev/null 2>"$state.wm.log" &
        wm=$!
        # Managing once it has announced itself on the root window.
        for _ in $(seq 200); do
            DISPLAY=$display xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
            sleep 0.05
        done
        if ! DISPLAY=$display xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; then
            echo "openbox did not take the display within 10 s:" >&2
            cat "$state.wm.log" >&2
            kill "$wm" "$pid" 2>/dev/null || true
            exit 1
        fi
    fi
    echo "$display $pid $wm" >"$state"
    echo "X server $display (process $pid)${wm:+, openbox (process $wm)}"
    ;;
stop)
    stop
    ;;
*)
    echo "usage: xvfb-display.sh start STATE [--window-manager] | stop STATE" >&2
    exit 2
    ;;
esac
