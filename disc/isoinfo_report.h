// The report of `isoinfo -l -i IMG` (with or without -R or -J): for each folder a "Directory listing of
// /DIR/" header, then one line per directory record, "MODE LINKS UID GID SIZE MON DAY YEAR [ LBA FLAGS]
// NAME". A file of several extents has one record, and so one line, per extent.
#pragma once

#include <string_view>
#include <vector>

#include "disc/disc_extent.h"
#include "listing/failure.h"

// Reads the report into the extents of its regular files; folders (with "." and "..") and links are passed
// over. A name shown without Rock Ridge attributes (mode "----------") loses its ";N" version and the dot
// before it, as the image's readers show it. Any line that is not a header, a record or blank fails the
// read, named by its number.
CResult<std::vector<DiscExtent>> ReadIsoinfoReport(std::string_view report);
