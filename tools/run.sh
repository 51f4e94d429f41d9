#!/usr/bin/env bash
# Installs what is missing, builds Tovi and runs it on your display.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh" --program

if [ -z "${DISPLAY:-}" ]; then
    echo "There is no display (DISPLAY is not set): start Tovi from a desktop session." >&2
    exit 1
fi
# Images and sounds are read from the working directory, and the preferences file is written there.
cd "$TOVI_ROOT/data"
exec "$TOVI_ROOT/build/tovi" "$@"
