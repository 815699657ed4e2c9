#!/bin/sh
# Runs a window test program on the X server that the ctest fixture started
# (tests/support/xvfb-display.sh): QST_DISPLAY_STATE names the file that
# says which display it is. Without QST_DISPLAY_STATE (listing the tests at
# build time, or a machine without Xvfb) the program runs as it is.
if [ -n "${QST_DISPLAY_STATE:-}" ]; then
    if ! read -r display pid <"$QST_DISPLAY_STATE"; then
        echo "on-display.sh: no X server recorded in $QST_DISPLAY_STATE" >&2
        exit 1
    fi
    DISPLAY=$display
    export DISPLAY
fi
exec "$@"
