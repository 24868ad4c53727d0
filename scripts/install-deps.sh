#!/usr/bin/env bash
# Installs the Debian/Ubuntu packages Quarrow needs, when any is missing. The role says for what:
#   run   build and start the program (scripts/run.sh)
#   test  also build and run its tests
#   all   also CI's checks of the desktop files and the package (the default)
set -euo pipefail
role=${1:-all}

# What building and starting the program needs; libisofs reads and writes disc images.
run_packages=(cmake ninja-build g++ pkg-config qt6-base-dev libgl-dev libisofs-dev libisofs6 fonts-dejavu-core
    fonts-dejavu-extra
    # quarrow-cli plot draws SVG pictures
    qt6-svg-dev)
packages=("${run_packages[@]}" libgtest-dev
    # the locale-aware baseline of the benchmarks is compiled from the sources in locales
    libicu-dev locales
    # the tests build and read disc images with the field's tools (isoinfo and isovfy come with
    # genisoimage; 7z is a second reader of edited images)
    xorriso genisoimage p7zip-full
    # the tests make read traces by watching those tools, and hold quarrow-cli inside a system call
    # (strace) to signal it or cut its listing short
    strace procps
    # the tests that run the program on an X server of their own
    xvfb xauth xdotool libxcb1-dev util-linux
    # the fuzz harnesses (libFuzzer comes with clang's runtime libraries)
    clang libclang-rt-dev)
case "$role" in
run) packages=("${run_packages[@]}") ;;
test) ;;
all) packages+=(python3 clang-format desktop-file-utils appstream dpkg-dev file dbus at-spi2-core python3-pyatspi lintian shared-mime-info) ;;
*) echo "usage: $0 [run|test|all]" >&2; exit 2 ;;
esac

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done
if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
