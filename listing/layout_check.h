// The layout check of a listing: which files share blocks on the disc, and which blocks between files go
// unused.
//
// A file covers the blocks StartLba to StartLba + ceil(FileSize / block size) - 1; a file of size 0
// covers none and takes no part in overlaps or gaps. Values are unsigned 32-bit, so the last block of a
// file near the top of the range may lie past 2^32 - 1; blocks are counted in 64 bits.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

// One file of the listing: its start block and its size in bytes.
struct LayoutFile {
    std::uint32_t startLba = 0;
    std::uint32_t fileSize = 0;
};

// Two files sharing blocks: `first` starts no later than `second` (indexes into the files), and they share
// the blocks firstShared to lastShared.
struct LayoutOverlap {
    std::size_t first = 0;
    std::size_t second = 0;
    std::uint64_t firstShared = 0;
    std::uint64_t lastShared = 0;

    bool operator==(const LayoutOverlap&) const = default;
};

// Two files with the same extent, the same start block and the same size: hard links, or deduplicated
// files. `first` is the earlier of them in the listing's block order (indexes into the files).
struct LayoutShared {
    std::size_t first = 0;
    std::size_t second = 0;

    bool operator==(const LayoutShared&) const = default;
};

// Unused blocks firstBlock to lastBlock between the file `before` (the one reaching farthest up to there)
// and the file `after`, the next to start.
struct LayoutGap {
    std::size_t before = 0;
    std::size_t after = 0;
    std::uint64_t firstBlock = 0;
    std::uint64_t lastBlock = 0;

    bool operator==(const LayoutGap&) const = default;
};

struct LayoutReport {
    // In the order of the later file's start block. Each file that shares a block with a file starting no
    // later than it is reported once, with the earlier file that reaches farthest; a pile of files on the
    // same blocks is therefore reported file by file, not pair by pair.
    // A file whose extent equals an earlier one's is shared with it, not an overlap; it takes no further
    // part in overlaps and gaps, which the earlier file already stands for.
    std::vector<LayoutOverlap> overlaps;
    std::vector<LayoutShared> shared; // in block order, each later file with the first of its extent
    std::vector<LayoutGap> gaps;      // in block order
    std::size_t files = 0;            // all files, those of size 0 included
    std::size_t filesWithBlocks = 0;
    std::uint64_t firstBlock = 0; // of the files with blocks; 0 when there are none
    std::uint64_t lastBlock = 0;
    std::uint64_t blocksUsed = 0; // blocks covered by at least one file
    std::uint64_t gapBlocks = 0;  // blocks in gaps
};

// Checks the files' layout for a block size above 0.
LayoutReport CheckLayout(std::span<const LayoutFile> files, std::uint32_t blockSize);
