# Installs the Debian packages named as arguments that are not installed
# yet (sourced by the run and test commands).
ensure_packages() {
    local missing=()
    local package
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
            missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    echo "Installing: ${missing[*]}" >&2
    "${sudo[@]}" apt-get update -q
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
}

# What building the program needs.
QST_BUILD_PACKAGES=(cmake make g++ libwxgtk3.2-dev nlohmann-json3-dev ruby-asciidoctor-pdf)
# What making the Debian package needs on top (cpack finds the package's
# dependencies with dpkg-shlibdeps, which looks at the programs with file).
QST_PACKAGE_PACKAGES=(dpkg-dev file)
# What the test suite needs on top.
QST_TEST_PACKAGES=(libgtest-dev python3-jsonschema xvfb xauth openbox x11-utils desktop-file-utils appstream poppler-utils file dpkg-dev lintian ansible-core)
# What building and running the fuzz targets needs on top (tools/fuzz.sh):
# clang, and its runtime libraries, which include libFuzzer.
QST_FUZZ_PACKAGES=(clang libclang-rt-14-dev)
