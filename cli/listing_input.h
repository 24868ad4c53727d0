// A listing named on the command line, read whole and placed in its layout by Scan's rules or by the
// user's --layout, then read line by line by the window's line pass.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <QString>

#include "cli/cli_io.h"
#include "listing/listing_format.h"
#include "listing/listing_rows.h"

class QCommandLineParser;

struct ListingInput {
    QString path; // as given; "-" for stdin
    CInputBytes content;
    ListingLayout layout = ListingLayout::ThreeColumns;
    // The boxes Scan ticks for this listing's first line; none when Scan would tick none.
    std::optional<ColumnChoice> scanBoxes;

    std::string_view Bytes() const { return content.View(); }

    // The name to show in messages: the path, or <stdin>.
    QString ShownName() const;
};

// The --layout option every listing command takes.
void AddLayoutOption(QCommandLineParser& parser);

// Reads the listing at `path` and decides its layout: the --layout value when set (3, 4, 5 or filelist),
// otherwise the loader Scan enables for the first line that is not blank (the listing loader when that
// line enables one, else the file list loader). A failure for a file that cannot be read, an empty file or
// one of blank lines only, an unknown --layout, and a first line Scan cannot place.
CResult<ListingInput> ReadListing(const QString& path, const QCommandLineParser& parser);

// The rows the window's line pass makes of the listing: each line's fields, in file order, with the name
// in input.Bytes(), valid as long as the input is. For a line that is not a line of the layout, the failure
// "not a <layout> line: <text>" at that line.
CResult<std::vector<ListingLine>> ReadListingLines(const ListingInput& input);

// The 1-based line number of the row at 0-based `row` of ReadListingLines: blank lines make no row, so the
// two can differ.
long long LineNumberOfRow(const ListingInput& input, std::size_t row);
// The 1-based line number of every row of ReadListingLines, in one pass.
std::vector<long long> LineNumbersOfRows(const ListingInput& input);

// Byte texts kept one after the other in one buffer, for the names and cells of a million lines without
// a million allocations.
class CTextStore {
public:
    void Reserve(std::size_t bytes, std::size_t texts);
    void Add(std::string_view text);
    std::size_t GetCount() const { return m_ends.size(); }
    std::string_view At(std::size_t i) const {
        const std::size_t begin = i == 0 ? 0 : m_ends[i - 1];
        return std::string_view(m_bytes).substr(begin, m_ends[i] - begin);
    }

private:
    std::string m_bytes;
    std::vector<std::size_t> m_ends;
};
