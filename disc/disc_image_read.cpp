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
    const CResult<void> walked = import.ForEachFile(
        [&](IsoFile* file, const std::string& path) { return import.AddFileExtents(file, path, extents); });
    if (!walked)
        return walked.Error();
    SortByBlock(extents);
    return extents;
}

} // namespace

CResult<std::vector<DiscExtent>> ReadDiscImage(const std::string& imagePath, const DiscKeepGoing& keepGoing) {
    CIsoImport import(imagePath, keepGoing);
    return ReadExtents(import);
}

CResult<std::vector<DiscExtent>> ReadDiscImageBytes(std::string_view image) {
    CIsoImport import(image);
    return ReadExtents(import);
}
