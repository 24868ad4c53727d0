// The line pass that turns a listing file into table rows, shared by the window's loaders and quarrow-cli:
// how many lines a load expects, and which lines become rows.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "listing/line_reader.h"
#include "listing/listing_format.h"

// The byte whose count over the whole file sizes a load of the layout: the vertical bar for listings,
// the comma for file lists.
char CountedByte(ListingLayout layout);

// The lines a load expects from that count: count / 2, 3 or 4 for three, four and five columns (rounded
// down), the count itself for a file list; 0 for a count that is not positive (a failed count).
long long ExpectedLines(ListingLayout layout, long long count);

// Called with each line's fields and its 0-based index; returns false to stop the pass at once.
using ListingRowSink = std::function<bool(const ListingLine& fields, long long index)>;

// Reads lines from `reader` and hands each one's fields to `addRow`. The first line is always processed;
// the expected count decides how many follow. A line without a name (no byte past the name offset) ends
// the pass before it is handed on, and so does the end of the file, whatever the count promised.
// Returns the number of lines handed on; stops early, with the lines handed on so far, when addRow
// returns false.
long long ReadListingRows(CLineReader& reader, ListingLayout layout, long long expected,
                          const ListingRowSink& addRow);

// The same pass over any line source with `bool ReadLine(std::string_view&)` and any sink callable as
// addRow above; the window's pass over a file is this one over CLineReader's lines.
template <class LineSource, class Sink>
long long ReadListingRowsFrom(LineSource& source, ListingLayout layout, long long expected, Sink&& addRow) {
    std::string_view line;
    long long i = 0;
    do {
        if (!source.ReadLine(line))
            break;
        const ListingLine fields = SplitLine(layout, line);
        if (fields.name.empty())
            break;
        if (!addRow(fields, i))
            return i;
        ++i;
    } while (i < expected);
    return i;
}
