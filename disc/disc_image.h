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

// Asked now and then while an image is read or written; returning false cancels the work.
using DiscKeepGoing = std::function<bool()>;
// Told how far the writing of an image has come; returning false cancels it.
using DiscProgress = std::function<bool(std::uint64_t bytesDone, std::uint64_t bytesTotal)>;

struct DiscReadResult {
    bool ok = false;
    std::string error;  // why the image could not be read, when !ok
    std::vector<DiscExtent> extents;  // every extent of every regular file, in block order
};

// Reads the directory tree of the image file. Names are the Rock Ridge names when the image has them, else
// the Joliet names (as UTF-8), else the ISO 9660 names without their version. A file of several extents
// gives one entry per extent. An extent that runs past the end of the image is an error.
DiscReadResult ReadDiscImage(const std::string& imagePath, const DiscKeepGoing& keepGoing = {});

// The same for an image held in memory.
DiscReadResult ReadDiscImageBytes(std::string_view image);

struct DiscRebuildResult {
    bool ok = false;
    std::string error;
    // The position in the order of the first path the image does not hold, when that is why it failed.
    std::optional<std::size_t> missingIndex;
    // The DiscDrop families found in the source and not allowed to be dropped, when that is why it failed.
    unsigned refused = kDropNone;
    // What the new image leaves out of the source because `drops` allowed it, one text each.
    std::vector<std::string> dropped;
};

// Writes a new image at outputPath holding the files, names and content of the source image, with the
// data of the files named by `order` ("/FOLDER/NAME", the leading slash optional) first, in that order,
// then every other file in the order of the source image. A path named twice keeps its first place. With
// ignoreMissing, paths the image lacks are passed over; otherwise the first one fails the rebuild before
// anything is written. The output appears only when complete; the source is never written.
// The source's system area (its first 16 blocks) is copied byte for byte. Structures the engine cannot
// carry (see FindForeignStructures) fail the rebuild before anything is written, naming them, unless
// `drops` holds their family: then the new image is written without them (partition tables and maps are
// cleared from the copied system area).
DiscRebuildResult RebuildDiscImage(const std::string& sourcePath, const std::vector<std::string>& order,
                                   bool ignoreMissing, const std::string& outputPath,
                                   const DiscProgress& progress = {}, unsigned drops = kDropNone);
