// The three-column listing made from a disc image's extents: "%08X|%08X|/PATH/NAME" and CR LF per extent.
#pragma once

#include <string>
#include <vector>

#include "disc/disc_extent.h"

// Puts extents in block order; extents that start at the same block (empty files) in path order.
void SortByBlock(std::vector<DiscExtent>& extents);

// The listing's bytes, one line per extent in the given order.
std::string FormatThreeColumnListing(const std::vector<DiscExtent>& extents);

// What a report of the field's tools reads into: the extents in block order, or the first line that could
// not be read and why.
struct DiscReportResult {
    bool ok = false;
    long long errorLine = 0;  // 1-based
    std::string error;
    std::vector<DiscExtent> extents;
};
