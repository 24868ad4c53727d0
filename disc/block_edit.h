// Block-exact edits of an ISO 9660 image, worked out as a plan before anything is written: the new data
// and where it goes, the blocks to zero, and the bytes of the directory records and volume descriptors to
// patch. Every other byte of the image stays as it was.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "disc/iso9660_volume.h"
#include "listing/failure.h"

// The bytes of a file to be written at `offset`, then zeros up to `paddedSize`: read from the file at
// sourcePath, or (sourcePath empty) from the unedited image at imageOffset.
struct EditData {
    std::uint64_t offset = 0;
    std::string sourcePath;
    std::uint64_t size = 0;
    std::uint64_t paddedSize = 0;
    std::uint64_t imageOffset = 0;
};

struct EditPatch {
    std::uint64_t offset = 0;
    std::string bytes;
};

struct EditZeros {
    std::uint64_t offset = 0;
    std::uint64_t size = 0;
};

struct BlockEditPlan {
    std::vector<EditData> data;
    std::vector<EditPatch> patches; // directory records and volume descriptors
    std::vector<EditZeros> zeros;   // blocks a file gave up
    std::uint64_t imageBytes = 0;   // the length of the edited image
    std::vector<std::string> lines; // one per file: "/PATH: 1234+56 -> 1234+60 (in place)"
};

struct ReplaceRequest {
    std::string path;       // "/FOLDER/NAME" as a listing of the image names it
    std::string sourcePath; // the new content
    std::uint64_t size = 0; // its length
};

enum class ReplacePlacement { Auto, AtEnd, AtBlock };

// Plans the replacement of files' content. Data that fits in a file's blocks keeps its start block (so
// does data that grows into free blocks right after it); larger data goes to the lowest free run that
// fits, else past the end of the volume, whose size then grows in every descriptor recording it. AtEnd
// forces the end; AtBlock puts the (one) file at `atBlock`, which must be free. Every record of the file's
// extent is patched: ISO 9660, Joliet and hard links. Refused, with nothing planned: a name the image
// lacks, a directory, a file of several extents or with an extended attribute record, a boot image that
// would move, and images whose bridge (UDF, HFS+, another tree) keeps records of its own.
CResult<BlockEditPlan> PlanReplace(const IsoVolume& volume, const std::vector<ReplaceRequest>& requests,
                                   ReplacePlacement placement, std::uint32_t atBlock = 0);

// One file of a layout: the start block a listing gives it.
struct PlaceRequest {
    std::string path;
    std::uint32_t startLba = 0;
    std::uint32_t size = 0; // as the listing gives it; must be the file's size
};

// Plans the moves that put every named file at its start block, its data read from the unedited image;
// files not named stay. Refused, naming the first conflict: a name the image lacks or given twice, a size
// other than the file's, a file of several extents, a boot image that would move, and a start that would
// put a file over another file (where that one will be), a directory, a descriptor, a path table or the
// system area. The blocks moved files leave are zeroed.
CResult<BlockEditPlan> PlanPlace(const IsoVolume& volume, const std::vector<PlaceRequest>& requests);
