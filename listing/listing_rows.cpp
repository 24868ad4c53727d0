#include "listing/listing_rows.h"

#include <string>

char CountedByte(ListingLayout layout) { return layout == ListingLayout::FileList ? ',' : '|'; }

long long ExpectedLines(ListingLayout layout, long long count) {
    if (count <= 0)
        return 0;
    switch (layout) {
    case ListingLayout::ThreeColumns:
        return count / 2;
    case ListingLayout::FourColumns:
        return count / 3;
    case ListingLayout::FiveColumns:
        return count / 4;
    case ListingLayout::FileList:
        return count;
    }
    return 0;
}

long long ReadListingRows(CLineReader& reader, ListingLayout layout, long long expected,
                          const ListingRowSink& addRow) {
    std::string line;
    long long i = 0;
    do {
        if (!reader.ReadLine(line))
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
