#include "disc/extent_listing.h"

#include <algorithm>
#include <cstdio>

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
    char fields[19];
    for (const DiscExtent& e : extents) {
        std::snprintf(fields, sizeof fields, "%08X|%08X|", static_cast<unsigned>(e.startLba),
                      static_cast<unsigned>(e.size));
        out.append(fields, 18);
        out += e.path;
        out += "\r\n";
    }
    return out;
}
