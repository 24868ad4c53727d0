#include "listing/listing_rows.h"

#include <string>

char CountedByte(ListingLayout layout) {
    return layout == ListingLayout::FileList ? ',' : '|';
}

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

const char* LayoutName(ListingLayout layout) {
    switch (layout) {
    case ListingLayout::ThreeColumns:
        return "3-column listing";
    case ListingLayout::FourColumns:
        return "4-column listing";
    case ListingLayout::FiveColumns:
        return "5-column listing";
    case ListingLayout::FileList:
        return "file list";
    }
    return "listing";
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

} // namespace

ListingPass ReadListingRows(CLineReader& reader, ListingLayout layout, const ListingRowSink& addRow) {
    CFileLineSource source(reader);
    ListingPass pass = ReadListingRowsFrom(source, layout, addRow);
    // The whole file was read: an empty-name line with nothing but blank lines after it ends the data.
    pass.endLine = 0;
    pass.endText.clear();
    return pass;
}
