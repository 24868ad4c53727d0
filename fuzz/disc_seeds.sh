#!/usr/bin/env bash
# Makes the seed inputs of the disc fuzzers in the given folder: two small images (Rock Ridge with Joliet,
# and plain ISO 9660) and the reports xorriso and isoinfo give of them.
set -euo pipefail
out=$1
mkdir -p "$out/image" "$out/reports"
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
mkdir -p "$tree/D/E"
printf 'a' >"$tree/D/a"
printf 'bb' >"$tree/D/E/it's b"
: >"$tree/empty"
genisoimage -quiet -R -J -o "$out/image/rr-joliet.iso" "$tree"
genisoimage -quiet -o "$out/image/plain.iso" "$tree"
# A boot image and its catalog, and the session layout xorriso writes for a file.
printf 'boot' >"$tree/boot.img"
xorriso -report_about SORRY -as mkisofs -quiet -R -J -b boot.img -no-emul-boot -o "$out/image/boot.iso" "$tree" \
    2>/dev/null
xorriso -report_about SORRY -indev "$out/image/rr-joliet.iso" -find / -type f -exec report_lba -- \
    >"$out/reports/report-lba.txt" 2>/dev/null
isoinfo -l -R -i "$out/image/rr-joliet.iso" >"$out/reports/isoinfo-rr.txt"
isoinfo -l -i "$out/image/plain.iso" >"$out/reports/isoinfo-plain.txt"
