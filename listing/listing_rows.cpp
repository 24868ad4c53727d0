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

namespace {

// CLineReader's lines, each a view of the one line buffer until the next is read.
class CFileLineSource {
public:
    explicit CFileLineSource(CLineReader& reader) : m_reader(reader) {}
    bool ReadLine(std::string_view& line) {
        const bool read = m_reader.ReadLine(m_line);
        line = m_line;
        return read;
    }

private:
    CLineReader& m_reader;
    std::string m_line;
};

}  // namespace

long long ReadListingRows(CLineReader& reader, ListingLayout layout, long long expected,
                          const ListingRowSink& addRow) {
    CFileLineSource source(reader);
    return ReadListingRowsFrom(source, layout, expected, addRow);
}
