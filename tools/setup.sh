#!/usr/bin/env bash
# Installs whatever a Debian 12 machine is missing for Tovi, then builds it.
#   tools/setup.sh --program  the program
#   tools/setup.sh --tests    the program and the tests, with g++ and with clang++ (sanitized, with fuzzers)
# Sourced by tools/run.sh and tools/test.sh; safe to run again: installed packages are skipped quickly.
set -euo pipefail

TOVI_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

PROGRAM_PACKAGES=(g++ cmake ninja-build pkg-config freeglut3-dev libglu1-mesa-dev libsdl2-dev
    libgl1-mesa-dri libx11-dev libgl-dev)
TEST_PACKAGES=(clang libclang-rt-14-dev libgtest-dev libfreetype-dev fonts-dejavu-core libegl-dev libegl-mesa0
    libbenchmark-dev xvfb xdotool x11-utils x11-apps python3 xscreensaver)

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

# build FOLDER C-COMPILER C++-COMPILER TESTS(ON/OFF) TARGET [CMAKE-OPTION...]: configures and builds.
build() {
    local folder=$1 ccompiler=$2 compiler=$3 tests=$4 target=$5
    shift 5
    cmake -S "$TOVI_ROOT" -B "$TOVI_ROOT/$folder" -G Ninja -DCMAKE_C_COMPILER="$ccompiler" \
        -DCMAKE_CXX_COMPILER="$compiler" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DTOVI_BUILD_TESTS="$tests" "$@" >/dev/null
    cmake --build "$TOVI_ROOT/$folder" --target "$target"
}

if [ "${1:-}" = "--tests" ]; then
    install_missing "${PROGRAM_PACKAGES[@]}" "${TEST_PACKAGES[@]}"
    build build gcc g++ ON all
    # The clang build is the sanitized one: its tests run under AddressSanitizer and UndefinedBehaviorSanitizer.
    build build-clang clang clang++ ON all -DTOVI_FUZZ=ON -DTOVI_SANITIZE=ON
else
    install_missing "${PROGRAM_PACKAGES[@]}"
    build build gcc g++ OFF tovi
fi
