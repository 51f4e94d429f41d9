#!/usr/bin/env bash
# Builds Tovi's Debian package with CMake's CPack and prints its path: a Release build configured for /usr,
# with the program in /usr/games as Debian's games are, in build-release/ (or the folder given), then
# cpack there, which writes tovi_<version>_<arch>.deb into that folder. Needs the program's build
# dependencies and dpkg-dev (dpkg-shlibdeps works out the package's Depends).
#   tools/package.sh [FOLDER]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
folder=$(realpath -m "${1:-$root/build-release}")

options=(-DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr -DCMAKE_INSTALL_BINDIR=games)
# A new folder builds the program alone; an existing one keeps its generator and parts.
if [ ! -f "$folder/CMakeCache.txt" ]; then
    options+=(-DTOVI_BUILD_TESTS=OFF)
    ! command -v ninja >/dev/null || options+=(-G Ninja)
fi
cmake -S "$root" -B "$folder" "${options[@]}" >/dev/null
cmake --build "$folder"
# The time of the last commit stamps the package's files, so the same commit gives the same package.
if epoch=$(git -C "$root" log -1 --format=%ct 2>/dev/null); then
    export SOURCE_DATE_EPOCH=$epoch
fi
(cd "$folder" && cpack -G DEB) >"$folder/cpack.log" 2>&1 || { cat "$folder/cpack.log" >&2; exit 1; }
sed -n 's/^CPack: - package: \(.*\) generated\.$/\1/p' "$folder/cpack.log"
