#!/usr/bin/env bash
# Checks Tovi's Debian package with Debian's own tools, without installing it: lintian, the desktop entry
# and AppStream validators, the Depends that dpkg-shlibdeps worked out, and the
# unpacked program, which answers --version and, on a private Xvfb, finds the images and the wind sound
# it loads at start in its own usr/share/tovi.
#   tests/package/check.sh build-release/tovi_1.0.0_amd64.deb
set -euo pipefail
deb=$(realpath "$1")
scratch=$(mktemp -d)
xvfb=
trap '[ -z "$xvfb" ] || kill "$xvfb"; rm -rf "$scratch"' EXIT
failed=0
fail() { echo "package check: $*" >&2; failed=1; }

# Errors and warnings fail; notes (I:) are listed.
lintian -I "$deb" 2>/dev/null >"$scratch/lintian" || true
cat "$scratch/lintian"
echo "lintian: $(grep -c '^E:' "$scratch/lintian") errors, $(grep -c '^W:' "$scratch/lintian") warnings," \
    "$(grep -c '^I:' "$scratch/lintian") notes"
grep -q '^[EW]:' "$scratch/lintian" && fail "lintian reports errors or warnings"

dpkg-deb -x "$deb" "$scratch/root"
root=$scratch/root/usr
desktop-file-validate "$root/share/applications/tovi.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$root"/share/metainfo/*.metainfo.xml || fail "appstreamcli validate"

depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for library in libglut3.12 libsdl2 libglu1 libopengl0 libglx0 libx11-6; do
    [[ $depends == *"$library"* ]] || fail "Depends lacks $library"
done
version=$("$root/games/tovi" --version) || true
[ "$version" = "Tovi $(dpkg-deb -f "$deb" Version)" ] || fail "usr/games/tovi --version answers \"$version\""

# The program finds its data in ../share/tovi beside its folder, else in /usr/share/tovi: only where no
# Tovi is installed does the run show that the package's own copy is found.
[ ! -e /usr/share/tovi ] || fail "/usr/share/tovi exists: a Tovi installed here hides the package's data"
Xvfb -displayfd 1 -screen 0 800x600x24 -nolisten tcp >"$scratch/display" 2>/dev/null &
xvfb=$!
for _ in $(seq 100); do [ -s "$scratch/display" ] && break; sleep 0.1; done
mkdir "$scratch/run"
status=0
(cd "$scratch/run" && SDL_AUDIODRIVER=dummy timeout 3 "$root/games/tovi" -display ":$(cat "$scratch/display")" \
    >/dev/null 2>"$scratch/stderr") || status=$?
# Still running when timeout ended it, and nothing on stderr: no image or sound went missing.
[ "$status" -eq 124 ] && [ ! -s "$scratch/stderr" ] ||
    fail "the unpacked program under Xvfb: status $status, stderr: $(cat "$scratch/stderr")"
exit $failed
