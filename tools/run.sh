#!/usr/bin/env bash
# Installs what is missing, builds Tovi and runs it on your display. Without a display that answers, it
# runs a short scripted tour on a virtual X server instead and saves its screenshots in build/tour/.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh" --program

# What tools/tour.py drives the program with: Xvfb, xdotool, xwininfo and xdpyinfo, xwd, Python.
TOUR_PACKAGES=(xvfb xdotool x11-utils x11-apps python3)

display_answers() {
    [ -n "${DISPLAY:-}" ] || return 1
    install_missing x11-utils
    xdpyinfo >/dev/null 2>&1
}

if display_answers; then
    # Images and sounds are read from the working directory, and the preferences file is written there.
    cd "$TOVI_ROOT/data"
    exec "$TOVI_ROOT/build/tovi" "$@"
fi

if [ -n "${DISPLAY:-}" ]; then
    echo "The display $DISPLAY does not answer."
else
    echo "There is no display (DISPLAY is not set)."
fi
echo "Running a short tour of Tovi on a virtual X server instead; it takes about half a minute."
[ $# -eq 0 ] || echo "(The arguments $* are for a real display and are not used.)"
install_missing "${TOUR_PACKAGES[@]}"
exec python3 "$TOVI_ROOT/tools/tour.py" --program "$TOVI_ROOT/build/tovi" --out "$TOVI_ROOT/build/tour"
