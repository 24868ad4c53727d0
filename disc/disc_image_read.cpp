// Reading an image's file extents from the directory tree libisofs loads.
#include <vector>

#include "disc/isofs.h"

#include "disc/disc_image.h"
#include "disc/extent_listing.h"
#include "disc/iso_import.h"

namespace {

DiscReadResult ReadExtents(CIsoImport& import) {
    DiscReadResult result;
    if (!import.Load()) {
        result.error = import.Error();
        return result;
    }
    const bool walked = import.ForEachFile(
        [&](IsoFile* file, const std::string& path) {
            return import.AddFileExtents(file, path, result.extents, result.error);
        },
        result.error);
    if (!walked) {
        if (result.error.empty())
            result.error = "cannot list a folder of the image";
        result.extents.clear();
        return result;
    }
    SortByBlock(result.extents);
    result.ok = true;
    return result;
}

}  // namespace

DiscReadResult ReadDiscImage(const std::string& imagePath, const DiscKeepGoing& keepGoing) {
    CIsoImport import(imagePath, keepGoing);
    return ReadExtents(import);
}

DiscReadResult ReadDiscImageBytes(std::string_view image) {
    CIsoImport import(image);
    return ReadExtents(import);
}
