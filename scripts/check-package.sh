#!/usr/bin/env bash
# Builds the Debian package and checks it as a user's machine would see it: the desktop entry and the
# metainfo validate, the package unpacks (dpkg -x) into a scratch root with the expected files, and the
# unpacked program starts under Xvfb, shows its window, offers every control to assistive technology with
# a name and a role, and ends with status 0 when its window is closed.
# Usage: scripts/check-package.sh [BUILD_FOLDER]   (default build, the folder scripts/test.sh builds; a
# folder that does not exist yet is set up for the program alone)
set -euo pipefail
cd "$(dirname "$0")/.."
top=$PWD
build=${1:-build}

if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUARROW_TESTS=OFF -DQUARROW_BENCH=OFF
fi
cmake --build "$build" --target quarrow quarrow-cli quarrow_man_pages
desktop=$(ls "$build"/*.desktop)
id=$(basename "$desktop" .desktop)

echo "-- validating $id.desktop and $id.metainfo.xml"
desktop-file-validate "$desktop"
appstreamcli validate --no-net --pedantic "$build/$id.metainfo.xml"

echo "-- checking the file type of listings"
if grep -q '^MimeType=.*text/plain' "$desktop"; then
    echo "the desktop entry offers the program for every text file" >&2
    exit 1
fi
grep -q '^MimeType=text/x-quarrow-listing;$' "$desktop"
xmllint --noout desktop/quarrow-listing.xml 2>/dev/null || python3 -c 'import sys, xml.dom.minidom; xml.dom.minidom.parse(sys.argv[1])' desktop/quarrow-listing.xml
for glob in '*.LBA.TXT' 'LBA*.TXT'; do
    grep -qF "pattern=\"$glob\"" desktop/quarrow-listing.xml
done

echo "-- building the package"
rm -f "$build"/quarrow_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/quarrow_*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
echo "-- lintian (no errors)"
lintian --fail-on error "$deb" || { echo "lintian reports errors" >&2; exit 1; }
for needed in libqt6widgets6 libqt6gui6 libqt6core6 libstdc++6 qt6-qpa-plugins fonts-dejavu-core; do
    grep -q "$needed" <<<"$depends" || { echo "the package does not depend on $needed" >&2; exit 1; }
done

root=$(mktemp -d)
xvfb_pid=""
app_pid=""
cleanup() {
    [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$root"
}
trap cleanup EXIT
dpkg -x "$deb" "$root"

echo "-- checking the file list"
expected=(
    usr/bin/quarrow usr/bin/quarrow-cli
    "usr/share/applications/$id.desktop" "usr/share/metainfo/$id.metainfo.xml"
    usr/share/man/man1/quarrow.1.gz usr/share/man/man1/quarrow-cli.1.gz
    "usr/share/icons/hicolor/scalable/apps/$id.svg"
    "usr/share/mime/packages/$id.xml" usr/share/doc/quarrow/copyright usr/share/doc/quarrow/changelog.gz
)
for size in 16 24 32 48 64 128 256; do
    expected+=("usr/share/icons/hicolor/${size}x${size}/apps/$id.png")
done
for doc in user-guide.html README.md docs/main-window.png docs/ripple.png docs/read-trace.png docs/layout-map.png; do
    expected+=("usr/share/doc/quarrow/$doc")
done
if ! diff -u <(printf '%s\n' "${expected[@]}" | sort) <(cd "$root" && find . -type f | sed 's|^\./||' | sort); then
    echo "the package's files differ from the expected list (- expected, + packaged)" >&2
    exit 1
fi
for size in 16 24 32 48 64 128 256; do
    file "$root/usr/share/icons/hicolor/${size}x${size}/apps/$id.png" | grep -q "PNG image data, $size x $size"
done
file "$root/usr/bin/quarrow" | grep -q "ELF 64-bit.*executable"
"$root/usr/bin/quarrow" --version | grep -qx "quarrow [0-9.]*"
"$root/usr/bin/quarrow-cli" --version | grep -qx "quarrow-cli [0-9.]*"
man -l "$root/usr/share/man/man1/quarrow.1.gz" >/dev/null 2>&1 || zcat "$root/usr/share/man/man1/quarrow.1.gz" | grep -q '^\.TH QUARROW 1'

echo "-- the installed file type takes listing names and leaves other text files alone"
mkdir -p "$root/mime/packages"
cp "$root/usr/share/mime/packages/$id.xml" "$root/mime/packages/"
update-mime-database "$root/mime" >/dev/null
for glob in '*.LBA.TXT' 'LBA*.TXT'; do
    grep -qF ":text/x-quarrow-listing:$glob" "$root/mime/globs2" ||
        { echo "the listing type has no glob $glob" >&2; exit 1; }
done
grep -q 'text/plain' "$root/mime/globs2" && { echo "the package claims text/plain names" >&2; exit 1; }

echo "-- starting the unpacked program under Xvfb"
exec 5< <(Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp 2>/dev/null & echo "pid $!")
read -r _ xvfb_pid <&5
read -r display <&5
export DISPLAY=":$display"
unset WAYLAND_DISPLAY QT_QPA_PLATFORM
export XDG_RUNTIME_DIR="$root/runtime" HOME="$root/home" QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
mkdir -m 700 -p "$XDG_RUNTIME_DIR" "$HOME"
cd "$top/examples"
dbus-run-session -- bash -c '
    set -euo pipefail
    "$1" & app=$!
    window=$(timeout 30 xdotool search --sync --onlyvisible --name "^Quarrow$" | head -n 1)
    echo "window $window is up"
    timeout 60 /usr/bin/python3 "$2" || { kill $app; exit 1; }
    # Closed as a user closes it: Escape on the focused window.
    xdotool windowfocus --sync "$window" key Escape
    status=0
    timeout 30 tail --pid=$app -f /dev/null || { echo "the window did not close" >&2; kill $app; exit 1; }
    wait $app || status=$?
    echo "the program ended with status $status"
    exit $status
' check "$root/usr/bin/quarrow" "$top/scripts/check-accessibility.py"
echo "-- the package is good"
