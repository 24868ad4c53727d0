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
// down), the count itself for a file list; 0 for a count that is not positive (a failed count). Every line
// of the layout holds that many of the byte, so a file that has not changed since the count holds no more
// rows than this; a name holding the byte makes it more. It sizes the table and the progress bar only.
long long ExpectedLines(ListingLayout layout, long long count);

// "3-column listing", "4-column listing", "5-column listing" or "file list".
const char* LayoutName(ListingLayout layout);

// How a line pass ended.
struct ListingPass {
    long long rows = 0;    // lines handed on as rows
    bool stopped = false;  // the sink asked to stop
    long long badLine = 0; // the 1-based number of the first line that is not a line of the layout; 0 if none
    std::string badText;   // the start of that line, at most kBadTextKept bytes
    // Of a pass over part of a file: the 1-based number of a line with valid fields and an empty name after
    // which the part held only blank lines, and its text. It ends the data when nothing but blank lines
    // follows in the rest of the file; otherwise it is a bad line. 0 when there is none.
    long long endLine = 0;
    std::string endText;

    static constexpr std::size_t kBadTextKept = 1024;

    bool Failed() const { return badLine != 0; }
};

// The start of a line kept for a message: at most ListingPass::kBadTextKept bytes, not ending inside a UTF-8
// sequence that the cut split.
inline std::string_view KeptStart(std::string_view line) {
    if (line.size() <= ListingPass::kBadTextKept)
        return line;
    std::size_t end = ListingPass::kBadTextKept;
    for (int back = 0; back < 3 && (static_cast<unsigned char>(line[end]) & 0xC0) == 0x80; ++back)
        --end;
    return line.substr(0, end);
}

// Called with each line's fields and its 0-based row index; returns false to stop the pass at once.
using ListingRowSink = std::function<bool(const ListingLine& fields, long long index)>;

// Reads lines from `reader` to its end and hands each row's fields to `addRow`, in file order:
// - blank lines (empty, or a carriage return alone) are skipped anywhere and make no row;
// - a line whose fixed fields are valid (SplitValidLine) and whose name is not empty is a row;
// - a line with valid fields and an empty name ends the data when only blank lines follow it;
// - any other line, and an empty-name line followed by more data, is bad: the pass stops there with its
//   number (blank lines counted) and text, and the rows handed on before it are to be thrown away.
ListingPass ReadListingRows(CLineReader& reader, ListingLayout layout, const ListingRowSink& addRow);

// The same pass over any line source with `bool ReadLine(std::string_view&)` and any sink callable as
// addRow above; the window's pass over a file is this one over CLineReader's lines. Line numbers start
// after `linesBefore`, and row indexes at `rowsBefore`, for a pass over the later part of a file. An
// empty-name line followed by nothing but blank lines is left in endLine: a caller that has read the
// whole file takes it as the end of the data, one that read a part decides with the parts that follow.
template <class LineSource, class Sink>
ListingPass ReadListingRowsFrom(LineSource& source, ListingLayout layout, Sink&& addRow,
                                long long linesBefore = 0, long long rowsBefore = 0) {
    ListingPass pass;
    std::string_view line;
    long long number = linesBefore;
    ListingLine fields;
    const auto fail = [&pass](long long lineNumber, std::string_view text) {
        pass.badLine = lineNumber;
        pass.badText.assign(KeptStart(text));
        return pass;
    };
    while (source.ReadLine(line)) {
        ++number;
        if (line.empty() || (line.size() == 1 && line[0] == '\r'))
            continue;
        if (pass.endLine != 0)
            return fail(pass.endLine, pass.endText);
        if (!SplitValidLine(layout, line, fields))
            return fail(number, line);
        if (fields.name.empty()) {
            pass.endLine = number;
            pass.endText.assign(KeptStart(line));
            continue;
        }
        if (!addRow(fields, rowsBefore + pass.rows)) {
            pass.stopped = true;
            return pass;
        }
        ++pass.rows;
    }
    return pass;
}
