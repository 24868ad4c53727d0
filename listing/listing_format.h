// The text layouts of listings and file lists: splitting a line into its fields, the six cell texts of a
// table row, and the lines written back from the table. Pure byte handling: a name is kept byte for byte.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/atoi.h"

enum class ListingLayout {
    ThreeColumns,  // start|size|name
    FourColumns,   // start|size|lbapos|name
    FiveColumns,   // start|size|lbapos|digit|name
    FileList,      // NNNNNNN , name
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
    std::uint32_t startLba = 0;  // file list: the number, as a signed value stored in 32 bits
    std::uint32_t fileSize = 0;
    std::uint32_t lbaPos = 0;
    std::uint32_t digit = 0;  // five columns: 0 to 15
    std::string_view name;    // from the name offset to the end of the line; empty when the line is shorter
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

// Which of the six columns a sorted listing line carries (the check boxes of the dialog).
struct ColumnChoice {
    bool number = false;
    bool startLba = false;
    bool fileSize = false;
    bool fileName = false;
    bool lbaPos = false;
    bool column6 = false;

    bool operator==(const ColumnChoice&) const = default;
};

// Appends one sorted listing line, "\n" included, formed from a row's six cell texts: Number, StartLba,
// FileSize, LbaPos, Column6, FileName, each only when chosen.
void AppendSortedLine(std::string& out, const std::array<std::string_view, CellCount>& cells,
                      const ColumnChoice& choice);

// Appends the line AppendSortedLine forms from the cells FormRowCells gives for these fields at `index`,
// byte for byte, straight from the values: no decimal text is formed and read back.
void AppendSortedLineOfFields(std::string& out, ListingLayout layout, const ListingLine& fields,
                              long long index, const ColumnChoice& choice);

// Ends the line just appended (its "\n") with CR LF, as a text-mode stream writes it.
inline void EndLineWithCrLf(std::string& out) {
    out.back() = '\r';
    out.push_back('\n');
}

// Appends one file-list line "%07d , %s\n" formed from the StartLba and FileName texts.
void AppendFileListLine(std::string& out, std::string_view startLba, std::string_view fileName);

// Appends the line AppendFileListLine forms from the StartLba and FileName cells FormRowCells gives for
// these fields, straight from the values.
void AppendFileListLineOfFields(std::string& out, ListingLayout layout, const ListingLine& fields);
