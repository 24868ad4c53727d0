#include "disc/extent_listing.h"

#include <algorithm>

#include "listing/listing_format.h"

void SortByBlock(std::vector<DiscExtent>& extents) {
    std::stable_sort(extents.begin(), extents.end(), [](const DiscExtent& a, const DiscExtent& b) {
        return a.startLba != b.startLba ? a.startLba < b.startLba : a.path < b.path;
    });
}

std::string FormatThreeColumnListing(const std::vector<DiscExtent>& extents) {
    std::string out;
    std::size_t bytes = 0;
    for (const DiscExtent& e : extents)
        bytes += 20 + e.path.size();
    out.reserve(bytes);
    // The line a Save of the three-column table writes with its three columns ticked.
    constexpr ColumnChoice kThreeColumns{.startLba = true, .fileSize = true, .fileName = true};
    for (const DiscExtent& e : extents) {
        ListingLine fields;
        fields.startLba = e.startLba;
        fields.fileSize = e.size;
        fields.name = e.path;
        AppendListingLine(out, ValuesOfFields(ListingLayout::ThreeColumns, fields, 0), kThreeColumns);
        EndLineWithCrLf(out);
    }
    return out;
}
