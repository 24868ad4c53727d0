#!/usr/bin/env bash
# Installs the Debian/Ubuntu packages Quarrow needs to build, test and run, when any is missing.
set -euo pipefail

# xorriso and genisoimage build and read the disc images of the tests; locales holds the sources localedef
# compiles the locale-aware baseline of the benchmarks from.
packages=(cmake ninja-build g++ qt6-base-dev libicu-dev locales libgl-dev libgtest-dev fonts-dejavu-core
    fonts-dejavu-extra xorriso genisoimage
    # the tests that run the program on an X server of their own
    xvfb xauth xdotool libxcb1-dev pkg-config util-linux
    # the fuzz harnesses (libFuzzer comes with clang's runtime libraries)
    clang libclang-rt-dev)
# Disc images: libisofs reads and writes them (libisofs6 comes with libisofs-dev); isoinfo comes with
# genisoimage.
packages+=(libisofs-dev libisofs6)

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
