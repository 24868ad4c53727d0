// The structures of an ISO 9660 image read block by block: the volume descriptors, path tables and every
// directory record of the ISO 9660 and Joliet trees with the byte offset where it lies, the Rock Ridge
// continuation areas, the El Torito catalog and boot images, and the partitions of a hybrid system area.
// What the block editor needs to know which blocks are in use and which records to patch. Damaged or
// hostile input gives an error, never a read out of bounds or an endless walk.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "disc/image_source.h"
#include "listing/failure.h"

constexpr std::uint32_t kIsoBlock = 2048;

// A run of blocks some structure of the image uses.
struct IsoRun {
    std::uint32_t start = 0;
    std::uint32_t count = 0;
};

struct IsoDescriptor {
    std::uint32_t block = 0;
    std::uint8_t type = 0; // 0 boot record, 1 primary, 2 supplementary, 3 partition, 255 terminator
    bool joliet = false;
    bool udf = false;         // a block of the UDF volume recognition sequence after the terminator
    bool sessionCopy = false; // the descriptors of the session an image for overwritable media holds at 32
    std::uint32_t volumeBlocks = 0; // the volume space size a primary or supplementary descriptor records
};

struct IsoRecord {
    std::uint64_t offset = 0; // of the record in the image; the root's lies in its descriptor
    std::uint32_t extent = 0;
    std::uint32_t size = 0;
    std::uint8_t attributeBlocks = 0; // extended attribute record before the data
    std::uint8_t flags = 0;
    bool joliet = false;
    bool directory = false;
    bool multiExtent = false; // one of several records of a file over 4 GiB
    std::string path;         // "/A/B/NAME": Rock Ridge, Joliet (UTF-8) or ISO 9660 name without version

    // The blocks the record's data occupy, its extended attribute record included.
    std::uint32_t Blocks() const {
        return attributeBlocks +
               static_cast<std::uint32_t>((std::uint64_t{size} + kIsoBlock - 1) / kIsoBlock);
    }
};

struct IsoVolume {
    std::uint64_t imageBytes = 0;
    std::uint32_t blockCount = 0; // the volume space size of the primary descriptor
    std::vector<IsoDescriptor> descriptors;
    std::vector<IsoRun> pathTables;
    std::vector<IsoRun> reserved; // the blocks before a session at 32, rewritten when a session is added
    std::vector<IsoRun> continuationAreas;
    std::vector<IsoRun> bootCatalog;
    std::vector<IsoRun> bootImages;
    std::vector<IsoRun> partitions; // what an MBR or GPT in the system area points at inside the image
    std::vector<IsoRecord> records; // every directory and file of both trees, roots first; no . and ..
    bool rockRidge = false;
    bool hasJoliet = false;
    bool udfBridge = false;
    bool hfsBridge = false;
    bool gpt = false;       // the system area holds a GPT, whose backup header lies at the image's end
    bool otherTree = false; // a supplementary tree that is not Joliet (ISO 9660:1999), not read

    // The tree whose names a listing of the image uses: Rock Ridge or plain ISO 9660, else Joliet.
    bool NamesFromJoliet() const { return hasJoliet && !rockRidge; }
};

// Which directory trees to read: all of them (what an edit needs, as it must patch every record), or only
// the one a listing of the image names its files from (enough to say where each file lies).
enum class IsoTrees { All, Naming };

CResult<IsoVolume> ReadIsoVolume(const CImageSource& source, IsoTrees trees = IsoTrees::All);
