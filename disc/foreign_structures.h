// Structures an image may hold beside its ISO 9660 tree that the engine neither reads nor writes: a UDF
// file system, an Apple partition map or HFS+ volume, and partition tables in the system area (blocks
// 0-15). A rebuild copies the system area byte for byte, which keeps an MBR whole while its partitions
// start inside the system area (a partition over the whole image, as hybrid boot images have); the rest is
// lost or left pointing at moved data.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The families a rebuild may be asked to leave out, as bits.
enum DiscDrop : unsigned {
    kDropNone = 0,
    kDropUdf = 1,    // a UDF file system (its descriptors after block 16)
    kDropHybrid = 2, // Apple partition map, HFS+, GPT, an MBR partition that points into the image
};

struct ForeignStructure {
    DiscDrop family = kDropNone;
    std::string what; // "a UDF file system (NSR03 at block 19)", ...
};

// The bytes of the system area, and how many of an image's first bytes FindForeignStructures looks at.
constexpr std::size_t kSystemAreaBytes = 16 * 2048;
constexpr std::size_t kStructureHeadBytes = 80 * 2048;

// The structures found in `head`, an image's first bytes (up to kStructureHeadBytes; fewer when the
// image is shorter), in the order: UDF, then those of the system area.
std::vector<ForeignStructure> FindForeignStructures(std::string_view head);

// Clears from a system area (kSystemAreaBytes) the partition tables, Apple partition map and HFS+ volume
// header that FindForeignStructures reports as kDropHybrid; boot code and everything else stay.
void ClearHybridStructures(std::string& systemArea);
