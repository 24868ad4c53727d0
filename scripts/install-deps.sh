#!/usr/bin/env bash
# Installs the Debian/Ubuntu packages Quarrow needs to build, test and run, when any is missing.
set -euo pipefail

packages=(cmake ninja-build g++ pkg-config qt6-base-dev libgl-dev libgtest-dev fonts-dejavu-core fonts-dejavu-extra)
# Disc images: libisofs reads and writes them (libisofs6 comes with libisofs-dev); the tests build and
# check images with xorriso and genisoimage (which also gives isoinfo).
packages+=(libisofs-dev libisofs6 xorriso genisoimage)

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
