// Reading an image's file extents from the directory tree libisofs loads.
#include <vector>

#include "disc/isofs.h"

#include "disc/disc_image.h"
#include "disc/extent_listing.h"
#include "disc/iso_import.h"

namespace {

CResult<std::vector<DiscExtent>> ReadExtents(CIsoImport& import) {
    if (!import.Load())
        return Failure{import.Error()};
    std::vector<DiscExtent> extents;
    std::string error;
    const bool walked = import.ForEachFile(
        [&](IsoFile* file, const std::string& path) {
            return import.AddFileExtents(file, path, extents, error);
        },
        error);
    if (!walked)
        return Failure{error.empty() ? "cannot list a folder of the image" : error};
    SortByBlock(extents);
    return extents;
}

}  // namespace

CResult<std::vector<DiscExtent>> ReadDiscImage(const std::string& imagePath, const DiscKeepGoing& keepGoing) {
    CIsoImport import(imagePath, keepGoing);
    return ReadExtents(import);
}

CResult<std::vector<DiscExtent>> ReadDiscImageBytes(std::string_view image) {
    CIsoImport import(image);
    return ReadExtents(import);
}
