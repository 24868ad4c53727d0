// The text layouts of listings and file lists: splitting a line into its fields, the six cell texts of a
// table row, and the lines written back from the table. Pure byte handling: a name is kept byte for byte.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/atoi.h"

enum class ListingLayout {
    ThreeColumns, // start|size|name
    FourColumns,  // start|size|lbapos|name
    FiveColumns,  // start|size|lbapos|digit|name
    FileList,     // NNNNNNN , name
};

// Offset at which the name starts in a line of the layout: 18, 27, 29 or 10.
int NameOffset(ListingLayout layout);

// Value of one hexadecimal digit; any other character counts as 0.
std::uint32_t HexDigitValue(char c);

// Eight hexadecimal digits, the first the most significant. Positions beyond the end of the text, and
// positions that hold a character other than 0-9, A-F or a-f, count as 0.
std::uint32_t ParseHex8(std::string_view eightChars);

// The fields of one line.
struct ListingLine {
    std::uint32_t startLba = 0; // file list: the number, as a signed value stored in 32 bits
    std::uint32_t fileSize = 0;
    std::uint32_t lbaPos = 0;
    std::uint32_t digit = 0; // five columns: 0 to 15
    std::string_view name;   // from the name offset to the end of the line; empty when the line is shorter
};

// Splits a line (line end already removed) by the fixed offsets of the layout. Nothing is validated.
ListingLine SplitLine(ListingLayout layout, std::string_view line);

// Splits a line as SplitLine does when its fixed fields stand where the layout puts them: each hexadecimal
// field exactly eight hexadecimal digits (the five-column digit: one), each followed by a vertical bar; for
// a file list, seven decimal digits and " , ". The name is the rest of the line, vertical bars included,
// and may be empty. Returns false for any other line; `fields` is then unspecified.
bool SplitValidLine(ListingLayout layout, std::string_view line, ListingLine& fields);

// The six cells of a table row in column order.
enum CellColumn { CellNumber, CellStartLba, CellFileSize, CellFileName, CellLbaPos, CellColumn6, CellCount };
using RowCells = std::array<std::string, CellCount>;

// The names of the six columns in column order: the table's headers and quarrow-cli's column names.
inline constexpr std::array<std::string_view, CellCount> kColumnNames = {"Number",   "StartLba", "FileSize",
                                                                         "FileName", "LbaPos",   "Column6"};

// The cell texts of the row made from a split line at 0-based position `index` in its file.
RowCells FormRowCells(ListingLayout layout, const ListingLine& fields, long long index);

// The cell texts of FormRowCells as views: of the line's name, and of the numbers formed into a buffer of
// its own, so that a load forms a million rows without allocating.
struct RowCellViews {
    std::array<std::string_view, CellCount> cells;
    char numbers[96];
};
void FormRowCellViews(ListingLayout layout, const ListingLine& fields, long long index, RowCellViews& out);

// The one cell text of `column` that FormRowCells gives, formed alone.
std::string FormRowCell(ListingLayout layout, const ListingLine& fields, long long index, CellColumn column);

// Which of the six columns a written listing line carries (the check boxes of the dialog).
struct ColumnChoice {
    bool number = false;
    bool startLba = false;
    bool fileSize = false;
    bool fileName = false;
    bool lbaPos = false;
    bool column6 = false;

    // Whether the box of a column is ticked; ticks or clears it.
    bool Has(CellColumn column) const;
    void Set(CellColumn column, bool ticked = true);

    bool operator==(const ColumnChoice&) const = default;
};

// The columns whose cells a line of the layout fills from its fields: StartLba and FileName always,
// FileSize in a listing, LbaPos in four and five columns, Column6 in five. These are also the columns that
// write a line of the layout back.
inline ColumnChoice FieldColumns(ListingLayout layout) {
    ColumnChoice columns{.startLba = true, .fileName = true};
    columns.fileSize = layout != ListingLayout::FileList;
    columns.lbaPos = layout == ListingLayout::FourColumns || layout == ListingLayout::FiveColumns;
    columns.column6 = layout == ListingLayout::FiveColumns;
    return columns;
}

// The values a written line is formed from: read from a row's cell texts by Save, or taken straight from a
// line's fields by quarrow-cli.
struct ListingLineValues {
    std::int32_t number = 0; // the row number
    // A file list's number is written whole, with its sign; a listing line keeps its low 32 bits.
    std::int64_t startLba = 0;
    std::uint32_t fileSize = 0;
    std::uint32_t lbaPos = 0;
    std::int32_t column6 = 0;
    std::string_view name;
};

// The values of those of a row's six cell texts that `read` chooses (the others stay 0): each number read by
// atoi's rules (an empty cell reads as 0), the address and size cells whole, so that 4294967295 and -1 both
// give FFFFFFFF. Reading only the cells a line writes saves parsing the others for each of a million rows.
ListingLineValues ValuesOfCells(const std::array<std::string_view, CellCount>& cells,
                                const ColumnChoice& read);

// The values ValuesOfCells reads from the cells FormRowCells gives for these fields at `index`, without
// forming a decimal text and reading it back.
ListingLineValues ValuesOfFields(ListingLayout layout, const ListingLine& fields, long long index);

// Appends one listing line, "\n" included: Number ("%08d"), StartLba, FileSize and LbaPos ("%08X"), Column6
// ("%d"), each followed by a vertical bar, then FileName, each only when chosen.
void AppendListingLine(std::string& out, const ListingLineValues& values, const ColumnChoice& choice);

// Appends one file-list line "%07lld , %s\n" of the StartLba value and the name.
void AppendFileListLine(std::string& out, const ListingLineValues& values);

// The same lines written in place, ending with CR LF as a saved file holds them: the size first, so that a
// caller can place many lines before forming them, then the line written at `at` (that many bytes), which
// returns the end.
std::size_t ListingLineSizeCrLf(const ListingLineValues& values, const ColumnChoice& choice);
char* FormListingLineCrLf(char* at, const ListingLineValues& values, const ColumnChoice& choice);
std::size_t FileListLineSizeCrLf(const ListingLineValues& values);
char* FormFileListLineCrLf(char* at, const ListingLineValues& values);

// Ends the line just appended (its "\n") with CR LF, as a text-mode stream writes it.
inline void EndLineWithCrLf(std::string& out) {
    out.back() = '\r';
    out.push_back('\n');
}
