#!/usr/bin/env bash
# Installs what is missing, builds Tovi with g++ and clang++, and runs every test of both builds: the plain
# g++ build, then the clang build under AddressSanitizer and UndefinedBehaviorSanitizer; then the Release
# builds of the program alone show that they run, and the g++ one becomes the Debian package, checked
# without installing it. The second build's tests run even when the first one's fail; the exit status is 0
# only when all passed.
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
echo "== the Debian package"
started=$SECONDS
if package=$("$TOVI_ROOT/tools/package.sh" "$TOVI_ROOT/build-release" | tail -n 1); then
    "$TOVI_ROOT/tests/package/check.sh" "$package" || failed=1
    echo "$(basename "$package"): $(stat -c %s "$package") bytes; packaged and checked in $((SECONDS - started)) s"
else
    failed=1
fi
exit $failed
