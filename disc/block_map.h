// Which blocks of an ISO 9660 image are in use, and by what: the system area, volume descriptors, path
// tables, directories, Rock Ridge continuation areas, the El Torito catalog and boot images, partitions of
// a hybrid system area and the extents of files. Every other block of the volume is free.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "disc/iso9660_volume.h"

enum class BlockUseKind {
    SystemArea,
    VolumeDescriptor,
    PathTable,
    Directory,
    ContinuationArea,
    BootCatalog,
    BootImage,
    Partition,
    File,
};

struct BlockUse {
    std::uint32_t start = 0;
    std::uint32_t count = 0;
    BlockUseKind kind = BlockUseKind::File;
    std::string what;            // a descriptor's name, a directory's or file's path
    bool joliet = false;         // a directory of the Joliet tree
    std::uint32_t size = 0;      // a file's size in bytes
    std::uint32_t dataStart = 0; // a file's first data block, past its extended attribute record
};

class CBlockMap {
public:
    explicit CBlockMap(const IsoVolume& volume);

    // Everything that uses `block`, in the order of the structures above; empty when it is free.
    std::vector<const BlockUse*> Holders(std::uint32_t block) const;
    // Whether no block of the run is used (blocks past the volume are free).
    bool IsFree(std::uint32_t start, std::uint32_t count) const;
    // The lowest start of `count` free blocks inside the volume, none when no run is long enough.
    std::optional<std::uint32_t> LowestFreeRun(std::uint32_t count) const;
    // Marks a run as used by a file, so later searches pass over it.
    void Reserve(std::uint32_t start, std::uint32_t count, const std::string& path);
    const std::vector<BlockUse>& Uses() const { return m_uses; }
    // The first block after the volume's structures (system area, descriptors, path tables, directories,
    // continuation areas, boot catalog): where file data can start.
    std::uint32_t FirstDataBlock() const;
    std::uint32_t VolumeBlocks() const { return m_nVolumeBlocks; }

private:
    void Add(BlockUse use);
    void Index();

    std::vector<BlockUse> m_uses;
    // Merged used runs in block order, for the free space searches.
    std::vector<IsoRun> m_used;
    // The uses sorted by start, and the largest end among the first i, for the holder search.
    std::vector<std::size_t> m_byStart;
    std::vector<std::uint64_t> m_maxEnd;
    std::uint32_t m_nVolumeBlocks = 0;
};

// The name `which` gives a use: "primary volume descriptor", "directory /DATA (Joliet)", "boot catalog".
std::string DescribeUse(const BlockUse& use);
// The kind column of which --csv: "file", "directory", "volume descriptor", ...
const char* UseKindName(BlockUseKind kind);
