// The report of `xorriso -find / -type f -exec report_lba --`: a "Report layout:" header, then one line per
// extent, "File data lba: XT , STARTLBA , BLOCKS , FILESIZE , 'PATH'", the path quoted shell-style.
#pragma once

#include <string_view>
#include <vector>

#include "disc/disc_extent.h"
#include "listing/failure.h"

// Reads the report. The size on each line is the whole file's, so a file of several extents (xt 0, 1, ...
// in turn) gets full blocks in each extent and the rest in its last. Blank lines and the header are passed
// over; any other line that is not a well-formed extent line fails the read, named by its number.
CResult<std::vector<DiscExtent>> ReadReportLba(std::string_view report);
