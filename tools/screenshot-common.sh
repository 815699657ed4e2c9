# Shared by the screenshot scripts (sourced): the packages they need, the
# optimised build, and a wait for a window on the virtual display, which the
# scripts run there source again through QST_SCREENSHOT_COMMON.
export QST_SCREENSHOT_COMMON="$(pwd)/tools/screenshot-common.sh"

# Installs what taking pictures needs, plus any further packages given.
screenshot_packages() {
    . tools/ensure-packages.sh
    ensure_packages "${QST_BUILD_PACKAGES[@]}" xvfb xauth imagemagick x11-utils "$@"
}

# Builds the given targets into build-release.
screenshot_build() {
    build=build-release
    cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$build" -j2 --target "$@" >/dev/null
}

# Waits up to ten seconds for a window with this title.
wait_for_window() {
    for _ in $(seq 1 100); do
        xwininfo -name "$1" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    echo "no window \"$1\"" >&2
    return 1
}
