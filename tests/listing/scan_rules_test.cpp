#include "listing/scan_rules.h"

#include <climits>
#include <ostream>
#include <string>

#include <gtest/gtest.h>

#include "listing/temp_file.h"

void PrintTo(const ScanCount& count, std::ostream* os) {
    *os << "{counter " << count.counter << ", comma " << count.comma << "}";
}

void PrintTo(const ScanDecision& d, std::ostream* os) {
    const auto layout = [os](const char* name, const std::optional<bool>& loadable) {
        *os << name << (loadable ? (*loadable ? "+ " : "- ") : "= ");
    };
    layout("three", d.threeColumns);
    layout("four", d.fourColumns);
    layout("five", d.fiveColumns);
    layout("fileList", d.fileList);
    if (d.columns) {
        const ColumnChoice& b = *d.columns;
        *os << "columns " << b.number << b.startLba << b.fileSize << b.fileName << b.lbaPos << b.column6
            << " ";
    } else {
        *os << "columns unchanged ";
    }
    *os << (d.invalidFormat ? "invalid" : "valid");
}

TEST(ScanFirstLine, CountsBarsAndCommasOfTheFirstLine) {
    struct Case {
        const char* what;
        std::string content;
        ScanCount count;
    };
    const Case cases[] = {
        {"three columns, CR LF", "0000001A|00000800|BOOT.BIN\r\n00000000|00000000|X\r\n", {2, false}},
        {"four columns, bare LF", "0000001A|00000800|000000FF|A\n||||||\n", {3, false}},
        {"five columns", "0000001A|00000800|000000FF|c|A\r\n", {4, false}},
        {"no line end at all", "0000001A|00000800|BOOT.BIN", {2, false}},
        {"file list", "0000012 , X\r\n0000013 , Y\r\n", {1, true}},
        {"comma in a three-column name", "0000001A|00000800|A,B.TXT\r\n", {3, true}},
        {"lone CR ends the first line", "a|b\rc|d|e\n", {1, false}},
        {"LF ends the first line", "a|b\nc|d|e\r\n", {1, false}},
        {"neither bar nor comma", "hello world\r\n|||", {0, false}},
        {"empty first line", "\r\n||", {0, false}},
        {"bars and NUL bytes", std::string("|\0|\0|", 5), {3, false}},
        {"many bars", std::string(1000, '|'), {1000, false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FilePtr file = MakeTempFile(c.content);
        ASSERT_TRUE(file);
        EXPECT_EQ(ScanFirstLine(file.get()), c.count);
    }
}

TEST(ScanFirstLine, FirstLineLongerThanAReadBlock) {
    const std::string middle(300000, 'n');
    FilePtr file = MakeTempFile("|" + middle + "," + middle + "|\n|||||");
    ASSERT_TRUE(file);
    EXPECT_EQ(ScanFirstLine(file.get()), (ScanCount{3, true}));
}

TEST(ScanFirstLine, ReadsFromTheStartWhereverTheFileStands) {
    FilePtr file = MakeTempFile("a|b|c\nd|e\n");
    ASSERT_TRUE(file);
    std::fseek(file.get(), 7, SEEK_SET);
    EXPECT_EQ(ScanFirstLine(file.get()), (ScanCount{2, false}));
}

TEST(DecideScan, LayoutsAndColumnsForEachCount) {
    const ColumnChoice fileList{.startLba = true, .fileName = true};
    const ColumnChoice three{.startLba = true, .fileSize = true, .fileName = true};
    const ColumnChoice four{.startLba = true, .fileSize = true, .fileName = true, .lbaPos = true};
    const ColumnChoice five{
        .startLba = true, .fileSize = true, .fileName = true, .lbaPos = true, .column6 = true};
    const std::nullopt_t same = std::nullopt;
    using enum ListingLayout;

    struct Case {
        ScanCount count;
        ScanDecision decision; // three, four, five, fileList, columns, invalid
        std::optional<ListingLayout> layout;
    };
    const Case cases[] = {
        {{0, false}, {same, same, same, same, same, true}, same},
        {{1, false}, {same, same, same, same, same, false}, same},
        {{2, false}, {true, false, false, same, three, false}, ThreeColumns},
        {{3, false}, {false, true, false, same, four, false}, FourColumns},
        {{4, false}, {false, false, true, same, five, false}, FiveColumns},
        {{5, false}, {same, same, same, same, same, true}, same},
        {{6, false}, {same, same, same, same, same, true}, same},
        {{INT_MAX, false}, {same, same, same, same, same, true}, same},
        {{-1, false}, {same, same, same, same, same, true}, same},
        // A comma first makes the file list the layout, and the counter acts on top of it; a listing
        // layout it makes loadable is read before the file list.
        {{1, true}, {false, false, false, true, fileList, false}, FileList},
        {{2, true}, {true, false, false, true, three, false}, ThreeColumns},
        {{3, true}, {false, true, false, true, four, false}, FourColumns},
        {{4, true}, {false, false, true, true, five, false}, FiveColumns},
        // Invalid however loadable the file list was made.
        {{5, true}, {false, false, false, true, fileList, true}, same},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.count));
        const ScanDecision decision = DecideScan(c.count);
        EXPECT_EQ(decision, c.decision);
        EXPECT_EQ(LayoutToLoad(decision), c.layout);
        EXPECT_EQ(LoadableAs(decision, ThreeColumns), decision.threeColumns);
        EXPECT_EQ(LoadableAs(decision, FourColumns), decision.fourColumns);
        EXPECT_EQ(LoadableAs(decision, FiveColumns), decision.fiveColumns);
        EXPECT_EQ(LoadableAs(decision, FileList), decision.fileList);
    }
}

TEST(DecideScan, FromTheFirstLineOfAFile) {
    // A comma in a three-column name: file-list decision, then the four-column one of three separators.
    FilePtr file = MakeTempFile("0000001A|00000800|A,B.TXT\r\n");
    ASSERT_TRUE(file);
    const ScanDecision decision = DecideScan(ScanFirstLine(file.get()));
    EXPECT_EQ(decision.threeColumns, false);
    EXPECT_EQ(decision.fourColumns, true);
    EXPECT_EQ(decision.fiveColumns, false);
    EXPECT_EQ(decision.fileList, true);
    EXPECT_EQ(decision.columns,
              (ColumnChoice{.startLba = true, .fileSize = true, .fileName = true, .lbaPos = true}));
    EXPECT_FALSE(decision.invalidFormat);
    EXPECT_EQ(LayoutToLoad(decision), ListingLayout::FourColumns);
}
