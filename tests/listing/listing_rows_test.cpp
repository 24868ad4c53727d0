#include "listing/listing_rows.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "listing/temp_file.h"

namespace {

// The names handed on by the line pass over `content`, which expects `expected` lines; `stopAfter` rows
// are taken before the sink asks to stop.
std::vector<std::string> NamesRead(ListingLayout layout, std::string_view content, long long expected,
                                   long long stopAfter = -1) {
    FilePtr file = MakeTempFile(content);
    std::vector<std::string> names;
    if (!file)
        return names;
    CLineReader reader(file.get());
    const long long count = ReadListingRows(reader, layout, expected, [&](const ListingLine& fields, long long i) {
        EXPECT_EQ(i, static_cast<long long>(names.size()));
        if (static_cast<long long>(names.size()) == stopAfter)
            return false;
        names.emplace_back(fields.name);
        return true;
    });
    EXPECT_EQ(count, static_cast<long long>(names.size()));
    return names;
}

using Names = std::vector<std::string>;

}  // namespace

TEST(ListingRows, ExpectedLinesFromTheCountOfTheLayoutsByte) {
    EXPECT_EQ(CountedByte(ListingLayout::ThreeColumns), '|');
    EXPECT_EQ(CountedByte(ListingLayout::FiveColumns), '|');
    EXPECT_EQ(CountedByte(ListingLayout::FileList), ',');
    EXPECT_EQ(ExpectedLines(ListingLayout::ThreeColumns, 11), 5);
    EXPECT_EQ(ExpectedLines(ListingLayout::FourColumns, 11), 3);
    EXPECT_EQ(ExpectedLines(ListingLayout::FiveColumns, 11), 2);
    EXPECT_EQ(ExpectedLines(ListingLayout::FileList, 11), 11);
    EXPECT_EQ(ExpectedLines(ListingLayout::ThreeColumns, -1), 0) << "a failed count";
}

TEST(ListingRows, WhichLinesBecomeRows) {
    const std::string three = "0000001A|00000800|A\r\n0000001B|00000800|B\r\n0000001C|00000800|C\r\n";
    EXPECT_EQ(NamesRead(ListingLayout::ThreeColumns, three, 3), (Names{"A", "B", "C"}));
    EXPECT_EQ(NamesRead(ListingLayout::ThreeColumns, three, 2), (Names{"A", "B"})) << "the count decides";
    EXPECT_EQ(NamesRead(ListingLayout::ThreeColumns, three, 0), (Names{"A"})) << "the first line always";
    EXPECT_EQ(NamesRead(ListingLayout::ThreeColumns, three, 9), (Names{"A", "B", "C"})) << "the end ends it";
    EXPECT_EQ(NamesRead(ListingLayout::ThreeColumns, "0000001A|00000800|A\n0000001B|00000800|\nC-is-long-enough\n", 3),
              (Names{"A"}))
        << "a line without a name ends the pass";
    EXPECT_EQ(NamesRead(ListingLayout::FileList, "0000026 , X\n0000027 , Y", 2), (Names{"X", "Y"}));
    EXPECT_EQ(NamesRead(ListingLayout::ThreeColumns, three, 3, 1), (Names{"A"})) << "the sink stops it";
    EXPECT_EQ(NamesRead(ListingLayout::ThreeColumns, "", 1), Names{});
}
