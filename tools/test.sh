#!/usr/bin/env bash
# Installs what is missing, builds Tovi with g++ and clang++, and runs every test of both builds: the plain
# g++ build, then the clang build under AddressSanitizer and UndefinedBehaviorSanitizer; then the Release
# builds of the program alone show that they run. The second build's tests run even when the first one's
# fail; the exit status is 0 only when all passed.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh" --tests

failed=0
for folder in build build-clang; do
    echo "== tests of $folder"
    (cd "$TOVI_ROOT/$folder" && ctest --output-on-failure -j2) || failed=1
done
for folder in build-release build-release-clang; do
    "$TOVI_ROOT/$folder/tovi" --version || failed=1
done
exit $failed
