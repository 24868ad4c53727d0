#include "listing/listing_format.h"

#include <cinttypes>
#include <climits>
#include <cstdio>
#include <random>
#include <string>

#include <gtest/gtest.h>

using namespace std::string_literals;
using namespace std::string_view_literals;

namespace {

std::array<std::string_view, CellCount> Views(const RowCells& cells) {
    std::array<std::string_view, CellCount> views;
    for (int i = 0; i < CellCount; ++i)
        views[i] = cells[i];
    return views;
}

std::string LineOfCells(const RowCells& cells, const ColumnChoice& choice) {
    std::string out;
    AppendListingLine(out, ValuesOfCells(Views(cells), choice), choice);
    return out;
}

// The file-list line Filelist Save forms from a row's StartLba and FileName cells.
void AppendFileListLineOfCells(std::string& out, std::string_view startLba, std::string_view name) {
    std::array<std::string_view, CellCount> cells{};
    cells[CellStartLba] = startLba;
    cells[CellFileName] = name;
    AppendFileListLine(out, ValuesOfCells(cells, FieldColumns(ListingLayout::FileList)));
}

std::string Hex8(std::uint32_t value) {
    char text[9];
    std::snprintf(text, sizeof text, "%08" PRIX32, value);
    return text;
}

// A name of `length` random bytes, any of 0x00 to 0xFF.
std::string RandomName(std::mt19937& random, std::size_t length) {
    std::uniform_int_distribution<int> byte(0, 255);
    std::string name;
    for (std::size_t i = 0; i < length; ++i)
        name.push_back(static_cast<char>(byte(random)));
    return name;
}

const ColumnChoice kThreeColumnChoice{.startLba = true, .fileSize = true, .fileName = true};
const ColumnChoice kFourColumnChoice{.startLba = true, .fileSize = true, .fileName = true, .lbaPos = true};
const ColumnChoice kFiveColumnChoice{
    .startLba = true, .fileSize = true, .fileName = true, .lbaPos = true, .column6 = true};

} // namespace

TEST(ParseHex8, ReadsEightDigitsMostSignificantFirst) {
    struct Case {
        std::string_view text;
        std::uint32_t value;
    };
    const Case cases[] = {
        {"0000001A", 0x1Au},
        {"0000001a", 0x1Au},
        {"00000800", 0x800u},
        {"FFFFFFFF", 0xFFFFFFFFu},
        {"ffffffff", 0xFFFFFFFFu},
        {"80000000", 0x80000000u},
        {"12345678", 0x12345678u},
        {"aBcDeF09", 0xABCDEF09u},
        {"123456789ABC", 0x12345678u}, // only the first eight count
        {"1A", 0x1A000000u},           // missing positions are zero digits, not a shorter number
        {"", 0u},
        {"1G00001A", 0x1000001Au}, // a non-digit counts as 0 in its own position
        {"zz:@ g/`", 0u},
        {" 000001A", 0x000001Au},
        {"\0\xff"
         "000001"sv,
         0x000001u},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseHex8(c.text), c.value) << "text: " << c.text;
}

TEST(FormRowCells, CellsOfSplitLines) {
    struct Case {
        const char* what;
        ListingLayout layout;
        std::string line;
        long long index;
        RowCells cells; // Number, StartLba, FileSize, FileName, LbaPos, Column6
    };
    using L = ListingLayout;
    const Case cases[] = {
        {"three columns",
         L::ThreeColumns,
         "0000001A|00000800|BOOT.BIN",
         0,
         {"0000", "26", "2048", "BOOT.BIN", "", ""}},
        {"lowercase hex", L::ThreeColumns, "0000001a|0000080a|X", 1, {"0001", "26", "2058", "X", "", ""}},
        {"top bit set",
         L::ThreeColumns,
         "FFFFFFFF|80000000|X",
         2,
         {"0002", "4294967295", "2147483648", "X", "", ""}},
        {"separators not examined",
         L::ThreeColumns,
         "0000001A 00000800xBOOT.BIN",
         0,
         {"0000", "26", "2048", "BOOT.BIN", "", ""}},
        {"name keeps spaces, bars and commas",
         L::ThreeColumns,
         "00000000|00000000|  A|B,C  ",
         0,
         {"0000", "0", "0", "  A|B,C  ", "", ""}},
        {"line of the name offset",
         L::ThreeColumns,
         "0000001A|00000800|",
         0,
         {"0000", "26", "2048", "", "", ""}},
        {"line ending inside a field",
         L::ThreeColumns,
         "0000001A|12",
         0,
         {"0000", "26", "301989888", "", "", ""}},
        {"line ending before the first separator",
         L::ThreeColumns,
         "1A",
         0,
         {"0000", "436207616", "0", "", "", ""}},
        {"empty line", L::ThreeColumns, "", 0, {"0000", "0", "0", "", "", ""}},
        {"non-hex characters",
         L::ThreeColumns,
         "1G00001A|0000080Z|N",
         0,
         {"0000", "268435482", "2048", "N", "", ""}},
        {"four columns",
         L::FourColumns,
         "0000001A|00000800|000000FF|DIR/FILE.DAT",
         3,
         {"0003", "26", "2048", "DIR/FILE.DAT", "255", ""}},
        {"four columns, name offset only",
         L::FourColumns,
         "0000001A|00000800|000000FF|",
         0,
         {"0000", "26", "2048", "", "255", ""}},
        {"five columns, lowercase digit",
         L::FiveColumns,
         "0000001A|00000800|000000FF|c|A.BIN",
         0,
         {"0000", "26", "2048", "A.BIN", "255", "12"}},
        {"five columns, uppercase digit",
         L::FiveColumns,
         "0000001A|00000800|000000FF|C|A.BIN",
         0,
         {"0000", "26", "2048", "A.BIN", "255", "12"}},
        {"five columns, digit F",
         L::FiveColumns,
         "00000000|00000000|00000000|F|A",
         0,
         {"0000", "0", "0", "A", "0", "15"}},
        {"five columns, non-hex digit",
         L::FiveColumns,
         "00000000|00000000|00000000|x|A",
         0,
         {"0000", "0", "0", "A", "0", "0"}},
        {"five columns, line ends before the digit",
         L::FiveColumns,
         "00000000|00000000|00000001|",
         0,
         {"0000", "0", "0", "", "1", "0"}},
        {"file list", L::FileList, "0000012 , TRACK01.BIN", 0, {"0000", "12", "", "TRACK01.BIN", "", ""}},
        {"file list, negative", L::FileList, "-000005 , X", 0, {"0000", "-5", "", "X", "", ""}},
        {"file list, digits stop early", L::FileList, "  12abc , X", 0, {"0000", "12", "", "X", "", ""}},
        {"file list, only the seven characters count",
         L::FileList,
         "12345678 , X",
         0,
         {"0000", "1234567", "", " X", "", ""}},
        {"file list, short line", L::FileList, "42", 0, {"0000", "42", "", "", "", ""}},
        {"index of five digits",
         L::ThreeColumns,
         "00000000|00000000|A",
         10000,
         {"10000", "0", "0", "A", "", ""}},
        {"index of four digits",
         L::ThreeColumns,
         "00000000|00000000|A",
         9999,
         {"9999", "0", "0", "A", "", ""}},
        {"index beyond 32 bits",
         L::FileList,
         "0000000 , A",
         12345678901LL,
         {"12345678901", "0", "", "A", "", ""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(FormRowCells(c.layout, SplitLine(c.layout, c.line), c.index), c.cells);
        for (int column = 0; column < CellCount; ++column)
            EXPECT_EQ(
                FormRowCell(c.layout, SplitLine(c.layout, c.line), c.index, static_cast<CellColumn>(column)),
                c.cells[static_cast<std::size_t>(column)])
                << column;
    }
}

TEST(SplitLine, ShortLinesHaveAnEmptyNameInEveryLayout) {
    for (ListingLayout layout : {ListingLayout::ThreeColumns, ListingLayout::FourColumns,
                                 ListingLayout::FiveColumns, ListingLayout::FileList}) {
        const std::string full(static_cast<std::size_t>(NameOffset(layout)) + 1, '0');
        for (std::size_t length = 0; length < full.size(); ++length)
            EXPECT_TRUE(SplitLine(layout, std::string_view(full).substr(0, length)).name.empty())
                << "layout " << static_cast<int>(layout) << ", length " << length;
        EXPECT_EQ(SplitLine(layout, full).name, "0");
    }
}

TEST(SplitLine, NameIsAViewOfTheLineOfAnyLength) {
    const std::string name(100000, 'n');
    const std::string line = "00000001|00000002|" + name;
    const ListingLine fields = SplitLine(ListingLayout::ThreeColumns, line);
    EXPECT_EQ(fields.name.data(), line.data() + 18);
    EXPECT_EQ(fields.name.size(), name.size());
    EXPECT_EQ(FormRowCells(ListingLayout::ThreeColumns, fields, 0)[CellFileName], name);
}

TEST(AppendListingLine, TickedPartsInTheirFixedOrder) {
    const RowCells boot{"0003", "26", "2048", "BOOT.BIN", "255", "12"};
    const RowCells empty{"", "", "", "", "", ""};
    struct Case {
        const char* what;
        RowCells cells;
        ColumnChoice choice;
        std::string line;
    };
    const Case cases[] = {
        {"three-column preset", boot, kThreeColumnChoice, "0000001A|00000800|BOOT.BIN\n"},
        {"four-column preset", boot, kFourColumnChoice, "0000001A|00000800|000000FF|BOOT.BIN\n"},
        {"five-column preset, two-digit Column6", boot, kFiveColumnChoice,
         "0000001A|00000800|000000FF|12|BOOT.BIN\n"},
        {"all six, name last",
         boot,
         {.number = true,
          .startLba = true,
          .fileSize = true,
          .fileName = true,
          .lbaPos = true,
          .column6 = true},
         "00000003|0000001A|00000800|000000FF|12|BOOT.BIN\n"},
        {"start and name only", boot, {.startLba = true, .fileName = true}, "0000001A|BOOT.BIN\n"},
        {"nothing ticked", boot, {}, "\n"},
        {"number only", boot, {.number = true}, "00000003|\n"},
        {"empty cells ticked",
         empty,
         {.number = true,
          .startLba = true,
          .fileSize = true,
          .fileName = true,
          .lbaPos = true,
          .column6 = true},
         "00000000|00000000|00000000|00000000|0|\n"},
        {"empty Column6 ticked", empty, {.column6 = true}, "0|\n"},
        {"minus one",
         {"0", "-1", "-2147483648", "", "2147483647", "-3"},
         kFiveColumnChoice,
         "FFFFFFFF|80000000|7FFFFFFF|-3|\n"},
        {"unsigned values from 80000000 up",
         {"0", "4294967295", "2147483648", "", "2600468480", "15"},
         kFiveColumnChoice,
         "FFFFFFFF|80000000|9B000000|15|\n"},
        {"negative number keeps its sign within the width",
         {"-5", "", "", "", "", ""},
         {.number = true},
         "-0000005|\n"},
        {"number wider than eight", {"123456789", "", "", "", "", ""}, {.number = true}, "123456789|\n"},
        {"percent sign in a name",
         {"0", "0", "0", "100%s%d%n.TXT", "", ""},
         {.fileName = true},
         "100%s%d%n.TXT\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(LineOfCells(c.cells, c.choice), c.line);
    }
}

TEST(AppendListingLine, AppendsAfterWhatIsAlreadyThere) {
    std::string out = "first\n";
    const RowCells cells{"0000", "1", "2", "A", "", ""};
    AppendListingLine(out, ValuesOfCells(Views(cells), kThreeColumnChoice), kThreeColumnChoice);
    AppendListingLine(out, ValuesOfCells(Views(cells), {.fileName = true}), {.fileName = true});
    EXPECT_EQ(out, "first\n00000001|00000002|A\nA\n");
}

TEST(AppendListingLine, LongNamesAreWrittenWhole) {
    const std::string name(300, 'L');
    const RowCells cells{"0000", "0", "0", name, "", ""};
    EXPECT_EQ(LineOfCells(cells, {.fileName = true}), name + "\n");
}

// Load then save must give back every field of every line, whatever 32-bit values and name bytes it holds.
TEST(ListingRoundTrip, EveryValueAndNameByteSurvivesLoadAndSave) {
    std::mt19937 random(20240611u);
    std::uniform_int_distribution<std::uint32_t> any32(0u, UINT32_MAX);
    std::uniform_int_distribution<std::size_t> nameLength(0, 40);
    const std::uint32_t edges[] = {0u, 1u, 0x7FFFFFFFu, 0x80000000u, 0x80000001u, 0xFFFFFFFEu, 0xFFFFFFFFu};
    const char digits[] = "0123456789ABCDEF";

    for (int i = 0; i < 20000; ++i) {
        const bool edge = i < 7 * 7;
        const std::uint32_t start = edge ? edges[i % 7] : any32(random);
        const std::uint32_t size = edge ? edges[i / 7] : any32(random);
        const std::uint32_t pos = any32(random);
        const char digit = digits[any32(random) % 16];
        // The name may not be empty: a line without a name ends the data and is never saved.
        const std::string name = "N" + RandomName(random, nameLength(random));

        const std::string three = Hex8(start) + "|" + Hex8(size) + "|" + name;
        const std::string four = Hex8(start) + "|" + Hex8(size) + "|" + Hex8(pos) + "|" + name;
        const std::string five = Hex8(start) + "|" + Hex8(size) + "|" + Hex8(pos) + "|" + digit + "|" + name;
        struct Layout {
            ListingLayout layout;
            const std::string& line;
            const ColumnChoice& choice;
        };
        for (const Layout& l : {Layout{ListingLayout::ThreeColumns, three, kThreeColumnChoice},
                                Layout{ListingLayout::FourColumns, four, kFourColumnChoice},
                                Layout{ListingLayout::FiveColumns, five, kFiveColumnChoice}}) {
            // Column6 of 10 to 15 is written in decimal, so only 0 to 9 read back in the same layout.
            if (l.layout == ListingLayout::FiveColumns && digit >= 'A')
                continue;
            const RowCells cells = FormRowCells(l.layout, SplitLine(l.layout, l.line), i);
            ListingLine valid;
            ASSERT_TRUE(SplitValidLine(l.layout, l.line, valid)) << l.line;
            ASSERT_EQ(FormRowCells(l.layout, valid, i), cells);
            ASSERT_EQ(LineOfCells(cells, l.choice), l.line + "\n")
                << "start " << Hex8(start) << " size " << Hex8(size) << " pos " << Hex8(pos);
        }
    }
}

TEST(ListingRoundTrip, AllByteValuesInOneName) {
    std::string name;
    for (int b = 0; b < 256; ++b)
        name.push_back(static_cast<char>(b));
    const std::string line = "00000001|00000002|" + name;
    const RowCells cells =
        FormRowCells(ListingLayout::ThreeColumns, SplitLine(ListingLayout::ThreeColumns, line), 0);
    EXPECT_EQ(cells[CellFileName].size(), 256u);
    EXPECT_EQ(LineOfCells(cells, kThreeColumnChoice), line + "\n");
}

TEST(AppendFileListLine, SevenDigitsCommaAndName) {
    struct Case {
        std::string_view startLba;
        std::string_view name;
        std::string line;
    };
    const Case cases[] = {
        {"12", "TRACK01.BIN", "0000012 , TRACK01.BIN\n"},
        {"26", "BOOT.BIN", "0000026 , BOOT.BIN\n"},
        {"", "X", "0000000 , X\n"},
        {"-5", "X", "-000005 , X\n"},
        {"12345678", "X", "12345678 , X\n"},
        {"-2147483648", "X", "-2147483648 , X\n"},
        {"2600468480", "X", "2600468480 , X\n"}, // a listing's unsigned start block, saved as a file list
        {"7", "", "0000007 , \n"},
        {"1", "50% off", "0000001 , 50% off\n"},
        {"1", "A\0B"sv, "0000001 , A\0B\n"s},
    };
    for (const Case& c : cases) {
        std::string out = "x";
        AppendFileListLineOfCells(out, c.startLba, c.name);
        EXPECT_EQ(out, "x" + c.line) << "start " << c.startLba;
    }
}

TEST(FileListRoundTrip, LoadAndSaveGiveTheLineBack) {
    for (const std::string line :
         {"0000012 , TRACK01.BIN", "-000005 , X", "9999999 ,  spaced name ", "0000000 , a|b,c"}) {
        const RowCells cells =
            FormRowCells(ListingLayout::FileList, SplitLine(ListingLayout::FileList, line), 0);
        std::string out;
        AppendFileListLineOfCells(out, cells[CellStartLba], cells[CellFileName]);
        EXPECT_EQ(out, line + "\n");
    }
}

TEST(FileListRoundTrip, AnEightDigitNumberDoesNotReadBackAsWritten) {
    std::string out;
    AppendFileListLineOfCells(out, "12345678", "X");
    out.pop_back();
    const RowCells cells = FormRowCells(ListingLayout::FileList, SplitLine(ListingLayout::FileList, out), 0);
    EXPECT_EQ(cells[CellStartLba], "1234567");
    EXPECT_EQ(cells[CellFileName], " X");
}

// Lines formed in place, CR LF included, are the appended lines byte for byte, and exactly as long as their
// sizes say: a sort places its output lines by those sizes before it forms them.
void ExpectInPlaceLinesSame(const ListingLineValues& values) {
    for (int boxes = 0; boxes < 64; ++boxes) {
        ColumnChoice choice;
        for (int column = 0; column < CellCount; ++column)
            choice.Set(static_cast<CellColumn>(column), (boxes >> column & 1) != 0);
        std::string appended;
        AppendListingLine(appended, values, choice);
        EndLineWithCrLf(appended);
        std::string inPlace(ListingLineSizeCrLf(values, choice), '\0');
        EXPECT_EQ(FormListingLineCrLf(inPlace.data(), values, choice), inPlace.data() + inPlace.size());
        EXPECT_EQ(inPlace, appended) << values.number << " " << values.column6 << " " << boxes;
    }
    std::string appended;
    AppendFileListLine(appended, values);
    EndLineWithCrLf(appended);
    std::string inPlace(FileListLineSizeCrLf(values), '\0');
    EXPECT_EQ(FormFileListLineCrLf(inPlace.data(), values), inPlace.data() + inPlace.size());
    EXPECT_EQ(inPlace, appended) << values.startLba;
}

// The values taken straight from a line's fields must form the bytes the cell texts give, in every layout,
// for every choice of columns, for edge values and row numbers, and for a file list's negative numbers.
TEST(ValuesOfFields, FormTheSameBytesAsTheCells) {
    const ListingLayout layouts[] = {ListingLayout::ThreeColumns, ListingLayout::FourColumns,
                                     ListingLayout::FiveColumns, ListingLayout::FileList};
    const ListingLine fields[] = {
        {0, 0, 0, 0, ""},
        {0x1A, 0x800, 0x7FFFFFFF, 9, "Name-\xe9\xc3\xa9 x.BIN"},
        {0x80000000u, 0xFFFFFFFFu, 0x80000001u, 15, "|bar|"},
        {0xFFFFFFFFu, 1, 0xFFFFFFFEu, 10, "a"},
    };
    const long long indexes[] = {0, 7, 99999, 123456789, 2147483647LL, 2147483648LL, 99999999999LL};
    for (ListingLayout layout : layouts) {
        for (const ListingLine& line : fields) {
            for (long long index : indexes) {
                const RowCells cells = FormRowCells(layout, line, index);
                const ListingLineValues values = ValuesOfFields(layout, line, index);
                for (int boxes = 0; boxes < 64; ++boxes) {
                    ColumnChoice choice;
                    for (int column = 0; column < CellCount; ++column)
                        choice.Set(static_cast<CellColumn>(column), (boxes >> column & 1) != 0);
                    std::string fast = "before\n";
                    AppendListingLine(fast, values, choice);
                    EXPECT_EQ(fast, "before\n" + LineOfCells(cells, choice))
                        << static_cast<int>(layout) << " " << line.startLba << " " << index << " " << boxes;
                }
                ExpectInPlaceLinesSame(values);
                std::string fileList;
                AppendFileListLine(fileList, values);
                std::string reference;
                AppendFileListLineOfCells(reference, cells[CellStartLba], cells[CellFileName]);
                EXPECT_EQ(fileList, reference) << static_cast<int>(layout) << " " << line.startLba;
            }
        }
    }
    // Values only cells give: negative numbers and wide ones.
    for (std::int32_t number : {-1, -9999999, INT32_MIN, 100000000})
        for (std::int32_t column6 : {-7, 123456})
            for (std::int64_t startLba : {std::int64_t{-1}, std::int64_t{INT32_MIN}, std::int64_t{12345678}})
                ExpectInPlaceLinesSame(
                    {.number = number, .startLba = startLba, .column6 = column6, .name = "x"});
}

// Each column's box is its own: ticking one column by its index sets that box alone, and the boxes a
// layout's fields fill are the ones that write its lines back.
TEST(ColumnChoice, EachColumnIndexHasItsOwnBox) {
    const ColumnChoice single[CellCount] = {{.number = true},   {.startLba = true}, {.fileSize = true},
                                            {.fileName = true}, {.lbaPos = true},   {.column6 = true}};
    for (int column = 0; column < CellCount; ++column) {
        SCOPED_TRACE(kColumnNames[column]);
        ColumnChoice choice;
        choice.Set(static_cast<CellColumn>(column));
        EXPECT_EQ(choice, single[column]);
        for (int other = 0; other < CellCount; ++other)
            EXPECT_EQ(choice.Has(static_cast<CellColumn>(other)), other == column);
        choice.Set(static_cast<CellColumn>(column), false);
        EXPECT_EQ(choice, ColumnChoice{});
    }
    EXPECT_EQ(FieldColumns(ListingLayout::FileList), (ColumnChoice{.startLba = true, .fileName = true}));
    EXPECT_EQ(FieldColumns(ListingLayout::ThreeColumns), kThreeColumnChoice);
    EXPECT_EQ(FieldColumns(ListingLayout::FourColumns), kFourColumnChoice);
    EXPECT_EQ(FieldColumns(ListingLayout::FiveColumns), kFiveColumnChoice);
}
