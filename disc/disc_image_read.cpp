// Reading an image's file extents from the directory tree libisofs loads.
#include <cstdlib>
#include <vector>

#include "disc/isofs.h"

#include "disc/disc_image.h"
#include "disc/extent_listing.h"
#include "disc/iso_import.h"

namespace {

constexpr std::uint64_t kBlockSize = 2048;

// Appends the extents of one file, or says why one of them cannot be right.
bool AddFileExtents(IsoFile* file, const std::string& path, std::uint64_t imageBlocks,
                    std::vector<DiscExtent>& out, std::string& error) {
    int count = 0;
    iso_file_section* sections = nullptr;
    const int ret = iso_file_get_old_image_sections(file, &count, &sections, 0);
    if (ret < 0) {
        error = "cannot read the extents of " + path + ": " + CIsoImport::EngineReason(ret);
        return false;
    }
    bool fits = true;
    for (int i = 0; i < count && fits; ++i) {
        const iso_file_section& s = sections[i];
        const std::uint64_t blocks = (std::uint64_t{s.size} + kBlockSize - 1) / kBlockSize;
        // An empty file may name the block just past the end of the image; it reads nothing there.
        if (std::uint64_t{s.block} + blocks > imageBlocks && (s.size > 0 || s.block > imageBlocks)) {
            error = "the extent of " + path + " at block " + std::to_string(s.block) + " (" +
                    std::to_string(s.size) + " bytes) lies past the end of the image (" +
                    std::to_string(imageBlocks) + " blocks): the image is truncated or damaged";
            fits = false;
        } else {
            out.push_back({s.block, s.size, path});
        }
    }
    std::free(sections);
    return fits;
}

DiscReadResult ReadExtents(CIsoImport& import) {
    DiscReadResult result;
    if (!import.Load()) {
        result.error = import.Error();
        return result;
    }
    const bool walked = import.ForEachFile([&](IsoFile* file, const std::string& path) {
        return AddFileExtents(file, path, import.BlockCount(), result.extents, result.error);
    });
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
