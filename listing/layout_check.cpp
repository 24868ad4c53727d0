#include "listing/layout_check.h"

#include <algorithm>
#include <unordered_map>

namespace {

struct Extent {
    std::uint64_t first;
    std::uint64_t last;
    std::uint32_t size;
    std::size_t index;
};

} // namespace

LayoutReport CheckLayout(std::span<const LayoutFile> files, std::uint32_t blockSize) {
    LayoutReport report;
    report.files = files.size();
    std::vector<Extent> extents;
    extents.reserve(files.size());
    for (std::size_t i = 0; i < files.size(); ++i) {
        const std::uint64_t blocks = (std::uint64_t{files[i].fileSize} + blockSize - 1) / blockSize;
        if (blocks > 0)
            extents.push_back(
                {files[i].startLba, std::uint64_t{files[i].startLba} + blocks - 1, files[i].fileSize, i});
    }
    report.filesWithBlocks = extents.size();
    if (extents.empty())
        return report;

    // Listings are mostly in block order already, which the sort checks in one pass.
    const auto byStart = [](const Extent& a, const Extent& b) {
        return a.first != b.first ? a.first < b.first : a.index < b.index;
    };
    if (!std::is_sorted(extents.begin(), extents.end(), byStart))
        std::sort(extents.begin(), extents.end(), byStart);

    // One sweep in block order, keeping the file that reaches farthest so far: a file shares blocks with
    // some earlier-starting file exactly when it starts no later than that file's last block.
    // The sizes met among the files starting at the current block, with the first file of each.
    std::unordered_map<std::uint32_t, std::size_t> sizesHere;
    const Extent* reach = &extents.front();
    sizesHere.emplace(reach->size, reach->index);
    report.firstBlock = reach->first;
    report.blocksUsed = reach->last - reach->first + 1;
    for (auto it = extents.begin() + 1; it != extents.end(); ++it) {
        const Extent& file = *it;
        if (file.first != (it - 1)->first)
            sizesHere.clear();
        const auto [same, isNew] = sizesHere.emplace(file.size, file.index);
        if (!isNew) {
            report.shared.push_back({same->second, file.index});
            continue;
        }
        if (file.first <= reach->last) {
            report.overlaps.push_back(
                {reach->index, file.index, file.first, std::min(file.last, reach->last)});
            if (file.last > reach->last) {
                report.blocksUsed += file.last - reach->last;
                reach = &file;
            }
            continue;
        }
        if (file.first > reach->last + 1) {
            report.gaps.push_back({reach->index, file.index, reach->last + 1, file.first - 1});
            report.gapBlocks += file.first - 1 - reach->last;
        }
        report.blocksUsed += file.last - file.first + 1;
        reach = &file;
    }
    report.lastBlock = reach->last;
    return report;
}
