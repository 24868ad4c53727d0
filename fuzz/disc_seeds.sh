#!/usr/bin/env bash
# Makes the seed inputs of the disc fuzzers in the given folder: small images (Rock Ridge with Joliet, plain
# ISO 9660, and that one with a folder loop) and the reports xorriso and isoinfo give of them.
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
xorriso -report_about SORRY -indev "$out/image/rr-joliet.iso" -find / -type f -exec report_lba -- \
    >"$out/reports/report-lba.txt" 2>/dev/null
isoinfo -l -R -i "$out/image/rr-joliet.iso" >"$out/reports/isoinfo-rr.txt"
isoinfo -l -i "$out/image/plain.iso" >"$out/reports/isoinfo-plain.txt"

# The folder loop: /D/Exxxxxxxxxxxxxxx points back at /D. The engine's message about it
# names a path longer than its message buffer.
loop="$out/image/folder-loop.iso"
mkdir -p "$tree/loop/D/E$(printf 'x%.0s' {1..15})"
genisoimage -quiet -R -o "$loop" "$tree/loop"
d=$(isoinfo -l -i "$loop" | sed -n 's/^d.*\[ *\([0-9]*\) 02\]  D *$/\1/p' | head -1)
mapfile -t bytes < <(od -An -v -tu1 -w1 -j $((d * 2048)) -N 2048 "$loop")
at=0
while [ "${bytes[at]}" -gt 0 ]; do
    # The folder record whose ISO 9660 name starts with E.
    if [ $((bytes[at + 25] & 2)) -ne 0 ] && [ "${bytes[at + 33]}" -eq 69 ]; then
        le=$(printf '\\x%02x' $((d & 255)) $((d >> 8 & 255)) $((d >> 16 & 255)) $((d >> 24 & 255)))
        be=$(printf '\\x%02x' $((d >> 24 & 255)) $((d >> 16 & 255)) $((d >> 8 & 255)) $((d & 255)))
        printf "$le$be" | dd of="$loop" bs=1 seek=$((d * 2048 + at + 2)) conv=notrunc status=none
        break
    fi
    at=$((at + bytes[at]))
done
