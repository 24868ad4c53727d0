// Reading the file extents of an ISO 9660 disc image, and writing a copy of an image whose file data lie in
// a chosen order. The engine behind both is libisofs; nothing outside this folder sees it.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "disc/disc_extent.h"
#include "disc/foreign_structures.h"
#include "listing/failure.h"

// Asked now and then while an image is read or written; returning false cancels the work.
using DiscKeepGoing = std::function<bool()>;
// Told how far the writing of an image has come; returning false cancels it.
using DiscProgress = std::function<bool(std::uint64_t bytesDone, std::uint64_t bytesTotal)>;

// Reads every extent of every regular file of the image file, in block order. Names are the Rock Ridge names
// when the image has them, else the Joliet names (as UTF-8), else the ISO 9660 names without their version. A
// file of several extents gives one entry per extent. An extent that runs past the end of the image is an
// error.
CResult<std::vector<DiscExtent>> ReadDiscImage(const std::string& imagePath,
                                               const DiscKeepGoing& keepGoing = {});

// The same for an image held in memory.
CResult<std::vector<DiscExtent>> ReadDiscImageBytes(std::string_view image);

// What a rebuild that was written leaves out of the source because `drops` allowed it, one text each.
struct DiscRebuild {
    std::vector<std::string> dropped;
};

// Writes a new image at outputPath holding the files, names and content of the source image, with the
// data of the files named by `order` ("/FOLDER/NAME", the leading slash optional) first, in that order,
// then every other file in the order of the source image. A path named twice keeps its first place. With
// ignoreMissing, paths the image lacks are passed over; otherwise the first one fails the rebuild before
// anything is written, the failure's line then giving its 1-based place in `order`. The output appears
// only when complete; the source is never written.
// The source's system area (its first 16 blocks) is copied byte for byte. Structures the engine cannot
// carry (see FindForeignStructures) fail the rebuild before anything is written, naming them, unless
// `drops` holds their family: then the new image is written without them (partition tables and maps are
// cleared from the copied system area). Such a refusal has the refused DiscDrop families as its code.
CResult<DiscRebuild> RebuildDiscImage(const std::string& sourcePath, const std::vector<std::string>& order,
                                      bool ignoreMissing, const std::string& outputPath,
                                      const DiscProgress& progress = {}, unsigned drops = kDropNone);
