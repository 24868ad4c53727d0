// Scan's reading of a listing's first line and the layouts and columns that follow from it.
#pragma once

#include <cstdio>
#include <optional>

#include "listing/listing_format.h"

// What the first line of a file holds: commas and vertical bars counted together, and whether any comma
// was among them; and whether reading the file failed before the line ended.
struct ScanCount {
    int counter = 0;
    bool comma = false;
    bool readFailed = false;

    bool operator==(const ScanCount&) const = default;
};

// Reads the file from its start up to its first carriage return, line feed or end, whichever comes first,
// and counts that first line's commas and vertical bars.
ScanCount ScanFirstLine(std::FILE* file);

// What Scan concludes from a first line: which layouts a listing of that file can be loaded as, and which
// columns a sorted line of it carries. An empty optional leaves that part as it was before.
struct ScanDecision {
    std::optional<bool> threeColumns; // start|size|name
    std::optional<bool> fourColumns;  // start|size|lbapos|name
    std::optional<bool> fiveColumns;  // start|size|lbapos|digit|name
    std::optional<bool> fileList;     // NNNNNNN , name
    std::optional<ColumnChoice> columns;
    bool invalidFormat = false; // the line is no line of any layout

    bool operator==(const ScanDecision&) const = default;
};

// The decision for a first line with this count. A comma first makes the file list the only layout; the
// counter then decides on top of that: 2, 3 and 4 separators make the three-, four- and five-column
// layout the one listing layout, 1 decides nothing more, and 0 or 5 and more call the format invalid.
ScanDecision DecideScan(const ScanCount& count);

// Whether the decision makes `layout` loadable, not loadable, or leaves it as it was.
std::optional<bool> LoadableAs(const ScanDecision& decision, ListingLayout layout);

// The layout to read the file as: a listing layout before the file list when a first line with a comma in
// its name makes both loadable; none when the decision makes no layout loadable.
std::optional<ListingLayout> LayoutToLoad(const ScanDecision& decision);
