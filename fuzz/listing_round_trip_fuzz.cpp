// A listing made of lines in one layout, with values and names from the input, is read by the load's line
// pass, turned into cells and written back: the output is the listing again, byte for byte (a five-column
// digit is written back in decimal), whatever 32-bit values it holds. Any line, well formed or not, splits
// without fault, its name is written back whole at the end of its line, and a line the pass takes as valid
// splits to the same fields as the plain split.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "listing/line_reader.h"
#include "listing/listing_format.h"
#include "listing/listing_rows.h"

namespace {

void AppendHex8(std::string& out, std::uint32_t value) {
    char text[9];
    std::snprintf(text, sizeof text, "%08X", value);
    out += text;
}

void CheckAnyLine(std::string_view line) {
    for (ListingLayout layout : {ListingLayout::ThreeColumns, ListingLayout::FourColumns,
                                 ListingLayout::FiveColumns, ListingLayout::FileList}) {
        const ListingLine fields = SplitLine(layout, line);
        const RowCells cells = FormRowCells(layout, fields, 0);
        ListingLine valid;
        if (SplitValidLine(layout, line, valid) && FormRowCells(layout, valid, 0) != cells)
            std::abort();
        std::string out;
        const ColumnChoice choice = FieldColumns(layout);
        AppendListingLine(
            out, ValuesOfCells({cells[0], cells[1], cells[2], cells[3], cells[4], cells[5]}, choice), choice);
        if (!out.ends_with(std::string(fields.name) + '\n'))
            std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CheckAnyLine(std::string_view(reinterpret_cast<const char*>(data), size));

    CFuzzInput in(data, size);
    const auto layout = static_cast<ListingLayout>(in.Byte() % 4);
    std::string listing;  // as read: CR LF line ends
    std::string expected; // as written: LF line ends
    while (!in.Empty()) {
        std::string name = in.Text(40);
        // A name holds no line feed, and a carriage return at its end would be taken for the line end.
        for (char& c : name) {
            if (c == '\n')
                c = '_';
        }
        if (name.empty() || name.back() == '\r')
            name.push_back('N');
        std::string line;
        std::string written;
        if (layout == ListingLayout::FileList) {
            const unsigned value = in.Word() % 10000000;
            char number[16];
            std::snprintf(number, sizeof number, "%07u", value);
            line = std::string(number) + " , " + name;
            written = line;
        } else {
            AppendHex8(line, in.Word());
            line += '|';
            AppendHex8(line, in.Word());
            line += '|';
            if (layout != ListingLayout::ThreeColumns) {
                AppendHex8(line, in.Word());
                line += '|';
            }
            written = line;
            if (layout == ListingLayout::FiveColumns) {
                const unsigned digit = in.Byte() % 16;
                line += "0123456789ABCDEF"[digit];
                line += '|';
                written += std::to_string(digit) + '|';
            }
            line += name;
            written += name;
        }
        listing += line + "\r\n";
        expected += written + "\n";
    }

    std::FILE* file = fmemopen(listing.data(), listing.size(), "rb");
    if (!file)
        return 0;
    CLineReader reader(file);
    std::string out;
    const ListingPass pass = ReadListingRows(reader, layout, [&](const ListingLine& fields, long long index) {
        const RowCells cells = FormRowCells(layout, fields, index);
        const std::array<std::string_view, CellCount> texts{cells[0], cells[1], cells[2],
                                                            cells[3], cells[4], cells[5]};
        if (layout == ListingLayout::FileList)
            AppendFileListLine(out, ValuesOfCells(texts, FieldColumns(layout)));
        else
            AppendListingLine(out, ValuesOfCells(texts, FieldColumns(layout)), FieldColumns(layout));
        return true;
    });
    if (reader.ReadFailed() || pass.Failed())
        std::abort();
    std::fclose(file);
    if (out != expected)
        std::abort();
    return 0;
}
