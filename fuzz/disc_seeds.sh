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

# The folder loop: /D/E points back at /D. The engine's message about it fills its whole message buffer.
loop="$out/image/folder-loop.iso"
cp "$out/image/plain.iso" "$loop"
block_of() { isoinfo -l -i "$loop" | sed -n "s/^d.*\[ *\([0-9]*\) 02\]  $1 *\$/\1/p" | head -1; }
d=$(block_of D)
mapfile -t bytes < <(od -An -v -tu1 -w1 -j $((d * 2048)) -N 2048 "$loop")
at=0
while [ "${bytes[at]}" -gt 0 ]; do
    if [ "${bytes[at + 32]}" -eq 1 ] && [ "${bytes[at + 33]}" -eq 69 ]; then  # the record named E
        le=$(printf '\\x%02x' $((d & 255)) $((d >> 8 & 255)) $((d >> 16 & 255)) $((d >> 24 & 255)))
        be=$(printf '\\x%02x' $((d >> 24 & 255)) $((d >> 16 & 255)) $((d >> 8 & 255)) $((d & 255)))
        printf "$le$be" | dd of="$loop" bs=1 seek=$((d * 2048 + at + 2)) conv=notrunc status=none
        break
    fi
    at=$((at + bytes[at]))
done
