#include "listing/listing_format.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <climits>
#include <cstring>

#include "base/text_field.h"

namespace {

constexpr int kHexFieldWidth = 8;
constexpr int kFileListNumberWidth = 7;

// Digit values by byte, looked up because three fields of every line of a large listing pass through here.
// A byte that is no hexadecimal digit has the value kNotHex, whose low four bits are 0.
constexpr std::uint8_t kNotHex = 0x10;
constexpr std::array<std::uint8_t, 256> kHexValues = [] {
    std::array<std::uint8_t, 256> values{};
    values.fill(kNotHex);
    for (int c = '0'; c <= '9'; ++c)
        values[c] = static_cast<std::uint8_t>(c - '0');
    for (int c = 'A'; c <= 'F'; ++c)
        values[c] = static_cast<std::uint8_t>(c - 'A' + 10);
    for (int c = 'a'; c <= 'f'; ++c)
        values[c] = static_cast<std::uint8_t>(c - 'a' + 10);
    return values;
}();

// Writes `value` in decimal as printf's "%0<width>lld" does: the sign first, then zeros up to `width`
// characters in all, then the digits; a longer number is written whole. Returns the end of the text.
// `text` must hold max(width, 20) characters.
char* FormatPaddedDecimal(char* text, long long value, int width) {
    char digits[20];
    // The magnitude of LLONG_MIN does not fit a long long, so the digits come from the unsigned value.
    const bool negative = value < 0;
    const unsigned long long magnitude =
        negative ? 0ULL - static_cast<unsigned long long>(value) : static_cast<unsigned long long>(value);
    const auto [end, ec] = std::to_chars(digits, digits + sizeof digits, magnitude);
    (void)ec; // 20 digits hold every 64-bit magnitude
    const int digitCount = static_cast<int>(end - digits);
    char* out = text;
    if (negative)
        *out++ = '-';
    for (int zeros = width - digitCount - (negative ? 1 : 0); zeros > 0; --zeros)
        *out++ = '0';
    return std::copy(digits, end, out);
}

// The widths used here are at most 8, so 24 bytes hold any result.
constexpr std::size_t kDecimalTextSize = 24;

void AppendPaddedDecimal(std::string& out, long long value, int width) {
    char text[kDecimalTextSize];
    out.append(text, FormatPaddedDecimal(text, value, width));
}

// Writes the eight uppercase hexadecimal digits of `value` ("%08X") at `text` and returns the end.
char* FormatHex8(char* text, std::uint32_t value) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    for (int i = kHexFieldWidth - 1; i >= 0; --i) {
        text[i] = kDigits[value & 0xFu];
        value >>= 4;
    }
    return text + kHexFieldWidth;
}

// Writes a 32-bit value in decimal at `text`, which has room for 12 bytes, and returns the end. The fields
// of the listing layouts are unsigned (FFFFFFFF is 4294967295); the number of a file list is read by atoi's
// rules and stored as a signed value, so it is written back signed ("%d").
constexpr std::size_t kDecimalSize = 12; // every 32-bit value, with a sign
char* FormatDecimal(char* text, std::uint32_t value, bool bSigned) {
    if (bSigned)
        return std::to_chars(text, text + kDecimalSize, static_cast<std::int32_t>(value)).ptr;
    return std::to_chars(text, text + kDecimalSize, value).ptr;
}

// Sets cell to the 32-bit value in decimal. Written in place: a temporary string costs a second copy for
// each of the cells of a million rows.
void AssignDecimal(std::string& cell, std::uint32_t value, bool bSigned = false) {
    char text[kDecimalSize];
    cell.assign(text, FormatDecimal(text, value, bSigned));
}

// Reads eight hexadecimal digits at `text` into `value`; false when one of them is no hexadecimal digit.
// The eight bytes are checked and converted side by side, as the eight byte lanes of one 64-bit word: the
// fields of every line of a large listing pass through here.
bool ReadHex8(const char* text, std::uint32_t& value) {
    if constexpr (std::endian::native != std::endian::little) {
        std::uint32_t digits = 0;
        std::uint32_t seen = 0;
        for (int i = 0; i < kHexFieldWidth; ++i) {
            const std::uint32_t digit = kHexValues[static_cast<unsigned char>(text[i])];
            digits = (digits << 4) | (digit & 0xFu);
            seen |= digit;
        }
        value = digits;
        return (seen & kNotHex) == 0;
    }
    std::uint64_t lanes = 0;
    std::memcpy(&lanes, text, sizeof lanes); // the first character in the lowest lane
    constexpr std::uint64_t kOnes = 0x0101010101010101u;
    constexpr std::uint64_t kHigh = kOnes * 0x80;
    if ((lanes & kHigh) != 0)
        return false; // a byte from 0x80 up
    // With every byte below 0x80, adding a constant to each lane carries into no other lane; the lane's
    // top bit then tells whether its byte reached a bound.
    const auto atLeast = [](std::uint64_t v, std::uint64_t low) {
        return (v + kOnes * (0x80 - low)) & kHigh;
    };
    const auto above = [](std::uint64_t v, std::uint64_t high) {
        return (v + kOnes * (0x7F - high)) & kHigh;
    };
    const std::uint64_t digit = atLeast(lanes, '0') & ~above(lanes, '9');
    const std::uint64_t lower = lanes | (kOnes * 0x20); // A to F become a to f; nothing else does
    const std::uint64_t letter = atLeast(lower, 'a') & ~above(lower, 'f');
    if ((digit | letter) != kHigh)
        return false;
    // Each lane's value: its low four bits, and 9 more for a letter (A is 0x41).
    const std::uint64_t nibbles = (lanes & (kOnes * 0x0F)) + (letter >> 7) * 9;
    // Pairs of lanes into bytes, bytes into 16-bit halves, halves into the value; the first lane is the
    // most significant digit.
    const std::uint64_t bytes =
        ((nibbles & 0x000F000F000F000Fu) << 4) | ((nibbles >> 8) & 0x000F000F000F000Fu);
    const std::uint64_t halves = ((bytes & 0x000000FF000000FFu) << 8) | ((bytes >> 16) & 0x000000FF000000FFu);
    value = static_cast<std::uint32_t>(((halves & 0xFFFFu) << 16) | ((halves >> 32) & 0xFFFFu));
    return true;
}

} // namespace

int NameOffset(ListingLayout layout) {
    switch (layout) {
    case ListingLayout::ThreeColumns:
        return 18;
    case ListingLayout::FourColumns:
        return 27;
    case ListingLayout::FiveColumns:
        return 29;
    case ListingLayout::FileList:
        return 10;
    }
    return 0;
}

std::uint32_t HexDigitValue(char c) {
    return kHexValues[static_cast<unsigned char>(c)] & 0xFu;
}

std::uint32_t ParseHex8(std::string_view eightChars) {
    std::uint32_t value = 0;
    if (eightChars.size() >= kHexFieldWidth) { // the usual whole field: no bounds to check
        for (std::size_t i = 0; i < kHexFieldWidth; ++i)
            value = (value << 4) | (kHexValues[static_cast<unsigned char>(eightChars[i])] & 0xFu);
        return value;
    }
    for (std::size_t i = 0; i < kHexFieldWidth; ++i)
        value = (value << 4) | (i < eightChars.size() ? HexDigitValue(eightChars[i]) : 0u);
    return value;
}

ListingLine SplitLine(ListingLayout layout, std::string_view line) {
    ListingLine fields;
    const auto nameOffset = static_cast<std::size_t>(NameOffset(layout));
    if (line.size() > nameOffset)
        fields.name = line.substr(nameOffset);

    if (layout == ListingLayout::FileList) {
        fields.startLba = static_cast<std::uint32_t>(Atoi(Field(line, 0, kFileListNumberWidth)));
        return fields;
    }
    fields.startLba = ParseHex8(Field(line, 0, kHexFieldWidth));
    fields.fileSize = ParseHex8(Field(line, 9, kHexFieldWidth));
    if (layout == ListingLayout::FourColumns || layout == ListingLayout::FiveColumns)
        fields.lbaPos = ParseHex8(Field(line, 18, kHexFieldWidth));
    if (layout == ListingLayout::FiveColumns)
        fields.digit = line.size() > 27 ? HexDigitValue(line[27]) : 0;
    return fields;
}

bool SplitValidLine(ListingLayout layout, std::string_view line, ListingLine& fields) {
    const auto nameOffset = static_cast<std::size_t>(NameOffset(layout));
    if (line.size() < nameOffset)
        return false;
    const char* text = line.data();
    fields = ListingLine{};
    fields.name = line.substr(nameOffset);
    if (layout == ListingLayout::FileList) {
        std::uint32_t number = 0;
        for (int i = 0; i < kFileListNumberWidth; ++i) {
            const auto digit = static_cast<std::uint32_t>(static_cast<unsigned char>(text[i]) - '0');
            if (digit > 9)
                return false;
            number = number * 10 + digit;
        }
        fields.startLba = number;
        return text[7] == ' ' && text[8] == ',' && text[9] == ' ';
    }
    bool valid = text[8] == '|' && text[17] == '|' && ReadHex8(text, fields.startLba) &&
                 ReadHex8(text + 9, fields.fileSize);
    if (layout == ListingLayout::FourColumns || layout == ListingLayout::FiveColumns)
        valid = valid && text[26] == '|' && ReadHex8(text + 18, fields.lbaPos);
    if (layout == ListingLayout::FiveColumns) {
        fields.digit = kHexValues[static_cast<unsigned char>(text[27])];
        valid = valid && fields.digit != kNotHex && text[28] == '|';
    }
    return valid;
}

void FormRowCellViews(ListingLayout layout, const ListingLine& fields, long long index, RowCellViews& out) {
    char* at = out.numbers;
    const auto decimal = [&at](std::uint32_t value, bool bSigned = false) {
        char* const end = FormatDecimal(at, value, bSigned);
        const std::string_view text(at, static_cast<std::size_t>(end - at));
        at = end;
        return text;
    };
    out.cells = {};
    char* number = at;
    at = FormatPaddedDecimal(at, index, 4);
    out.cells[CellNumber] = std::string_view(number, static_cast<std::size_t>(at - number));
    out.cells[CellStartLba] = decimal(fields.startLba, layout == ListingLayout::FileList);
    out.cells[CellFileName] = fields.name;
    switch (layout) {
    case ListingLayout::FiveColumns:
        out.cells[CellColumn6] = decimal(fields.digit);
        [[fallthrough]];
    case ListingLayout::FourColumns:
        out.cells[CellLbaPos] = decimal(fields.lbaPos);
        [[fallthrough]];
    case ListingLayout::ThreeColumns:
        out.cells[CellFileSize] = decimal(fields.fileSize);
        break;
    case ListingLayout::FileList:
        break;
    }
}

RowCells FormRowCells(ListingLayout layout, const ListingLine& fields, long long index) {
    RowCellViews views;
    FormRowCellViews(layout, fields, index, views);
    RowCells cells;
    for (std::size_t c = 0; c < cells.size(); ++c)
        cells[c].assign(views.cells[c]);
    return cells;
}

std::string FormRowCell(ListingLayout layout, const ListingLine& fields, long long index, CellColumn column) {
    std::string cell;
    if (column == CellNumber) {
        char number[kDecimalTextSize];
        cell.assign(number, FormatPaddedDecimal(number, index, 4));
        return cell;
    }
    if (column < 0 || column >= CellCount)
        return cell;
    if (!FieldColumns(layout).Has(column))
        return cell; // a column the layout lacks is empty
    switch (column) {
    case CellStartLba:
        AssignDecimal(cell, fields.startLba, layout == ListingLayout::FileList);
        break;
    case CellFileName:
        cell.assign(fields.name);
        break;
    case CellFileSize:
        AssignDecimal(cell, fields.fileSize);
        break;
    case CellLbaPos:
        AssignDecimal(cell, fields.lbaPos);
        break;
    case CellColumn6:
        AssignDecimal(cell, fields.digit);
        break;
    default:
        break;
    }
    return cell;
}

namespace {

// The box of each column, in column order.
constexpr std::array<bool ColumnChoice::*, CellCount> kColumnBoxes = {
    &ColumnChoice::number,   &ColumnChoice::startLba, &ColumnChoice::fileSize,
    &ColumnChoice::fileName, &ColumnChoice::lbaPos,   &ColumnChoice::column6};

} // namespace

bool ColumnChoice::Has(CellColumn column) const {
    return this->*kColumnBoxes[column];
}

void ColumnChoice::Set(CellColumn column, bool ticked) {
    this->*kColumnBoxes[column] = ticked;
}

ListingLineValues ValuesOfCells(const std::array<std::string_view, CellCount>& cells,
                                const ColumnChoice& read) {
    // The address and size cells hold unsigned decimals up to 4294967295, read whole; their low 32 bits
    // restore the hexadecimal field that was read. A negative text gives its 32-bit two's complement, so
    // -1 also goes to FFFFFFFF.
    ListingLineValues values;
    if (read.number)
        values.number = Atoi(cells[CellNumber]);
    if (read.startLba)
        values.startLba = AtoiWide(cells[CellStartLba]);
    if (read.fileSize)
        values.fileSize = static_cast<std::uint32_t>(AtoiWide(cells[CellFileSize]));
    if (read.lbaPos)
        values.lbaPos = static_cast<std::uint32_t>(AtoiWide(cells[CellLbaPos]));
    if (read.column6)
        values.column6 = Atoi(cells[CellColumn6]);
    if (read.fileName)
        values.name = cells[CellFileName];
    return values;
}

ListingLineValues ValuesOfFields(ListingLayout layout, const ListingLine& fields, long long index) {
    // Each value is the one ValuesOfCells reads back from the cell text FormRowCells forms: a cell the layout
    // lacks is empty and reads as 0, the row number is clamped to 32 bits as atoi reads it, and a file
    // list's number is shown signed, a listing's start block unsigned.
    const ColumnChoice has = FieldColumns(layout);
    ListingLineValues values;
    values.number = static_cast<std::int32_t>(std::clamp<long long>(index, INT32_MIN, INT32_MAX));
    values.startLba = layout == ListingLayout::FileList ? static_cast<std::int32_t>(fields.startLba)
                                                        : static_cast<std::int64_t>(fields.startLba);
    values.fileSize = has.fileSize ? fields.fileSize : 0;
    values.lbaPos = has.lbaPos ? fields.lbaPos : 0;
    values.column6 = has.column6 ? static_cast<std::int32_t>(fields.digit) : 0;
    values.name = fields.name;
    return values;
}

namespace {

// The bytes FormatPaddedDecimal writes for value at width.
std::size_t PaddedDecimalSize(long long value, int width) {
    const bool negative = value < 0;
    unsigned long long magnitude =
        negative ? 0ULL - static_cast<unsigned long long>(value) : static_cast<unsigned long long>(value);
    std::size_t digitCount = 1;
    while (magnitude >= 10) {
        magnitude /= 10;
        ++digitCount;
    }
    return std::max<std::size_t>(static_cast<std::size_t>(width), digitCount + (negative ? 1 : 0));
}

// Writes the part of a listing line before its name at `at` and returns the end.
char* FormLineHead(char* at, const ListingLineValues& values, const ColumnChoice& choice) {
    if (choice.number) {
        at = FormatPaddedDecimal(at, values.number, 8);
        *at++ = '|';
    }
    const auto hexPart = [&at](std::uint32_t value) {
        at = FormatHex8(at, value);
        *at++ = '|';
    };
    if (choice.startLba)
        hexPart(static_cast<std::uint32_t>(values.startLba));
    if (choice.fileSize)
        hexPart(values.fileSize);
    if (choice.lbaPos)
        hexPart(values.lbaPos);
    if (choice.column6) {
        at = FormatPaddedDecimal(at, values.column6, 0);
        *at++ = '|';
    }
    return at;
}

// Writes the line's end with CR LF, as a text-mode stream writes "\n", and returns the end.
char* FormCrLf(char* at) {
    *at++ = '\r';
    *at++ = '\n';
    return at;
}

} // namespace

void AppendListingLine(std::string& out, const ListingLineValues& values, const ColumnChoice& choice) {
    // The parts before the name are formed in a buffer of their own and appended in one piece: a save
    // forms a million lines, and each append checks the string's room again.
    char head[2 * kDecimalTextSize + 3 * (kHexFieldWidth + 1) + 2];
    out.append(head, FormLineHead(head, values, choice));
    if (choice.fileName)
        out.append(values.name);
    out.push_back('\n');
}

std::size_t ListingLineSizeCrLf(const ListingLineValues& values, const ColumnChoice& choice) {
    std::size_t size = 2;
    if (choice.number)
        size += PaddedDecimalSize(values.number, 8) + 1;
    size += (kHexFieldWidth + 1) * (choice.startLba + choice.fileSize + choice.lbaPos);
    if (choice.column6)
        size += PaddedDecimalSize(values.column6, 0) + 1;
    if (choice.fileName)
        size += values.name.size();
    return size;
}

char* FormListingLineCrLf(char* at, const ListingLineValues& values, const ColumnChoice& choice) {
    at = FormLineHead(at, values, choice);
    if (choice.fileName)
        at = std::copy(values.name.begin(), values.name.end(), at);
    return FormCrLf(at);
}

std::size_t FileListLineSizeCrLf(const ListingLineValues& values) {
    return PaddedDecimalSize(values.startLba, kFileListNumberWidth) + 3 + values.name.size() + 2;
}

char* FormFileListLineCrLf(char* at, const ListingLineValues& values) {
    at = FormatPaddedDecimal(at, values.startLba, kFileListNumberWidth);
    at = std::copy_n(" , ", 3, at);
    at = std::copy(values.name.begin(), values.name.end(), at);
    return FormCrLf(at);
}

void AppendFileListLine(std::string& out, const ListingLineValues& values) {
    AppendPaddedDecimal(out, values.startLba, kFileListNumberWidth);
    out.append(" , ");
    out.append(values.name);
    out.push_back('\n');
}
