#!/usr/bin/env bash
# Installs whatever a Debian 12 machine is missing for Tovi, then builds it, with warnings as errors.
#   tools/setup.sh --program  the program
#   tools/setup.sh --tests    the program and the tests, with g++ and with clang++ (sanitized, with fuzzers);
#                             and the program alone in Release with each, as a packager builds it (the g++
#                             one for /usr, as its Debian package installs it)
# Sourced by tools/run.sh and tools/test.sh; safe to run again: installed packages are skipped quickly.
set -euo pipefail

TOVI_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

PROGRAM_PACKAGES=(g++ cmake ninja-build pkg-config freeglut3-dev libglu1-mesa-dev libsdl2-dev
    libgl1-mesa-dri libx11-dev libxi-dev libgl-dev)
TEST_PACKAGES=(clang libclang-rt-14-dev libgtest-dev libfreetype-dev fonts-dejavu-core libegl-dev libegl-mesa0
    libbenchmark-dev xvfb xdotool x11-utils x11-apps x11-xserver-utils python3 openbox
    xscreensaver weston xwayland)
# What builds the Debian package (dpkg-shlibdeps) and checks it.
PACKAGE_PACKAGES=(dpkg-dev lintian appstream desktop-file-utils)

install_missing() {
    local missing=() package
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
            missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq "${missing[@]}" >/dev/null
}

# build FOLDER C-COMPILER C++-COMPILER BUILD-TYPE TESTS(ON/OFF/AUTO) [CMAKE-OPTION...]: configures and
# builds everything the configuration holds.
build() {
    local folder=$1 ccompiler=$2 compiler=$3 type=$4 tests=$5
    shift 5
    cmake -S "$TOVI_ROOT" -B "$TOVI_ROOT/$folder" -G Ninja -DCMAKE_C_COMPILER="$ccompiler" \
        -DCMAKE_CXX_COMPILER="$compiler" -DCMAKE_BUILD_TYPE="$type" -DTOVI_BUILD_TESTS="$tests" \
        -DTOVI_WERROR=ON "$@" >/dev/null
    cmake --build "$TOVI_ROOT/$folder"
}

if [ "${1:-}" = "--tests" ]; then
    install_missing "${PROGRAM_PACKAGES[@]}" "${TEST_PACKAGES[@]}" "${PACKAGE_PACKAGES[@]}"
    build build gcc g++ RelWithDebInfo ON
    # The clang build is the sanitized one: its tests run under AddressSanitizer and UndefinedBehaviorSanitizer.
    build build-clang clang clang++ RelWithDebInfo ON -DTOVI_FUZZ=ON -DTOVI_SANITIZE=ON
    # A packager's Release build, as on a machine with only the program's own dependencies: the tests'
    # packages are hidden from the default configure, which then builds the program alone.
    packager=(-DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON
        -DCMAKE_DISABLE_FIND_PACKAGE_Freetype=ON -DCMAKE_DISABLE_FIND_PACKAGE_Python3=ON)
    build build-release gcc g++ Release AUTO "${packager[@]}" -DCMAKE_INSTALL_PREFIX=/usr \
        -DCMAKE_INSTALL_BINDIR=games
    build build-release-clang clang clang++ Release AUTO "${packager[@]}"
else
    install_missing "${PROGRAM_PACKAGES[@]}"
    build build gcc g++ RelWithDebInfo OFF
fi
