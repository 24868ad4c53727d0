#include "listing/scan_rules.h"

#include <climits>
#include <ostream>
#include <string>

#include <gtest/gtest.h>

#include "listing/temp_file.h"
#include "res/resource.h"

void PrintTo(const ScanCount& count, std::ostream* os) {
    *os << "{counter " << count.counter << ", comma " << count.comma << "}";
}

void PrintTo(const ScanDecision& d, std::ostream* os) {
    const auto button = [os](const char* name, const std::optional<bool>& enable) {
        *os << name << (enable ? (*enable ? "+ " : "- ") : "= ");
    };
    button("load3", d.load3);
    button("load4", d.load4);
    button("load5", d.load5);
    button("filelistLoad", d.filelistLoad);
    button("filelistSave", d.filelistSave);
    button("save", d.save);
    if (d.boxes) {
        const ColumnChoice& b = *d.boxes;
        *os << "boxes " << b.number << b.startLba << b.fileSize << b.fileName << b.lbaPos << b.column6 << " ";
    } else {
        *os << "boxes unchanged ";
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

TEST(DecideScan, SetUpForEachCount) {
    const ColumnChoice fileList{.startLba = true, .fileName = true};
    const ColumnChoice three{.startLba = true, .fileSize = true, .fileName = true};
    const ColumnChoice four{.startLba = true, .fileSize = true, .fileName = true, .lbaPos = true};
    const ColumnChoice five{
        .startLba = true, .fileSize = true, .fileName = true, .lbaPos = true, .column6 = true};
    const std::nullopt_t same = std::nullopt;

    struct Case {
        ScanCount count;
        ScanDecision decision; // load3, load4, load5, filelistLoad, filelistSave, save, boxes, invalid
    };
    const Case cases[] = {
        {{0, false}, {same, same, same, same, same, same, same, true}},
        {{1, false}, {same, same, same, same, same, same, same, false}},
        {{2, false}, {true, false, false, same, same, true, three, false}},
        {{3, false}, {false, true, false, same, same, true, four, false}},
        {{4, false}, {false, false, true, same, same, true, five, false}},
        {{5, false}, {same, same, same, same, same, same, same, true}},
        {{6, false}, {same, same, same, same, same, same, same, true}},
        {{INT_MAX, false}, {same, same, same, same, same, same, same, true}},
        {{-1, false}, {same, same, same, same, same, same, same, true}},
        // A comma first gives the file-list set-up, and the counter acts on top of it.
        {{1, true}, {false, false, false, true, true, false, fileList, false}},
        {{2, true}, {true, false, false, true, true, true, three, false}},
        {{3, true}, {false, true, false, true, true, true, four, false}},
        {{4, true}, {false, false, true, true, true, true, five, false}},
        {{5, true}, {false, false, false, true, true, false, fileList, true}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.count));
        EXPECT_EQ(DecideScan(c.count), c.decision);
    }
}

TEST(DecideScan, FromTheFirstLineOfAFile) {
    // A comma in a three-column name: file-list set-up, then the four-column set-up of three separators.
    FilePtr file = MakeTempFile("0000001A|00000800|A,B.TXT\r\n");
    ASSERT_TRUE(file);
    const ScanDecision decision = DecideScan(ScanFirstLine(file.get()));
    EXPECT_EQ(decision.load3, false);
    EXPECT_EQ(decision.load4, true);
    EXPECT_EQ(decision.load5, false);
    EXPECT_EQ(decision.filelistLoad, true);
    EXPECT_EQ(decision.filelistSave, true);
    EXPECT_EQ(decision.save, true);
    EXPECT_EQ(decision.boxes,
              (ColumnChoice{.startLba = true, .fileSize = true, .fileName = true, .lbaPos = true}));
    EXPECT_FALSE(decision.invalidFormat);
}

TEST(ButtonChanges, PairsEachButtonWithItsControl) {
    ScanDecision decision;
    decision.load3 = true;
    decision.load4 = false;
    decision.filelistSave = true;
    decision.save = false;
    const auto changes = ButtonChanges(decision);
    const ScanButtonChange expected[] = {
        {IDC_LOAD_3COL, true},         {IDC_LOAD_4COL, false},
        {IDC_LOAD_5COL, std::nullopt}, {IDC_FILELIST_LOAD, std::nullopt},
        {IDC_FILELIST_SAVE, true},     {IDC_SAVE, false},
    };
    ASSERT_EQ(changes.size(), std::size(expected));
    for (std::size_t i = 0; i < changes.size(); ++i) {
        EXPECT_EQ(changes[i].controlId, expected[i].controlId) << i;
        EXPECT_EQ(changes[i].enable, expected[i].enable) << "control " << expected[i].controlId;
    }
}
