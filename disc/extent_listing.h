// The three-column listing made from a disc image's extents: "%08X|%08X|/PATH/NAME" and CR LF per extent.
#pragma once

#include <string>
#include <vector>

#include "disc/disc_extent.h"

// Puts extents in block order; extents that start at the same block (empty files) in path order.
void SortByBlock(std::vector<DiscExtent>& extents);

// The listing's bytes, one line per extent in the given order.
std::string FormatThreeColumnListing(const std::vector<DiscExtent>& extents);
