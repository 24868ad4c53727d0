// The report of `xorriso -find / -type f -exec report_lba --`: a "Report layout:" header, then one line per
// extent, "File data lba: XT , STARTLBA , BLOCKS , FILESIZE , 'PATH'", the path quoted shell-style.
#pragma once

#include <string_view>

#include "disc/extent_listing.h"

// Reads the report. Blank lines and the header are passed over; any other line that is not a well-formed
// extent line fails the read, named by its number.
DiscReportResult ReadReportLba(std::string_view report);
