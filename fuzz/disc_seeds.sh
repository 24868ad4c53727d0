#!/usr/bin/env bash
# Makes the seed inputs of the disc fuzzers in the given folder: small images (Rock Ridge with Joliet, plain
# ISO 9660, and that one with a folder loop) and the reports xorriso and isoinfo give of them.
set -euo pipefail
out=$1
mkdir -p "$out/image" "$out/reports" "$out/trace"
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
# Traces: strace watching isoinfo extract a file, a block list, and blkparse output with its summary.
# Where ptrace is refused, a log of the same shape stands in.
strace -e trace=openat,lseek,read,pread64 -o "$out/trace/strace.txt" \
    isoinfo -R -i "$out/image/rr-joliet.iso" -x /D/a >/dev/null 2>&1 ||
    printf 'openat(AT_FDCWD, "image.iso", O_RDONLY) = 3\nlseek(3, 32768, SEEK_SET) = 32768\nread(3, "\\1CD001"..., 2048) = 2048\npread64(3, "a"..., 2048, 51200) = 2048\n+++ exited with 0 +++\n' >"$out/trace/strace.txt"
printf '# block list\n16\n0x17 2\n30 1 # comment\n' >"$out/trace/lba.txt"
printf '  8,0    1        1     0.000000000  4162  Q   R 128 + 8 [isoinfo]\n  8,0    1        2     0.000001000  4162  D   R 128 + 8 [isoinfo]\n  8,0    1        3     0.000002000  4162  D  WS 9 + 8 [jbd2]\n\nCPU1 (8,0):\n Reads Queued:           1,        4KiB\nTotal (8,0):\nEvents (8,0): 3 entries\n' >"$out/trace/blkparse.txt"
