#include "model/width_record.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace {

QByteArray Record(const std::vector<int>& ints) {
    QByteArray bytes;
    for (int v : ints) {
        const auto u = static_cast<unsigned>(v);
        for (int shift = 0; shift < 32; shift += 8)
            bytes.append(static_cast<char>((u >> shift) & 0xFF));
    }
    return bytes;
}

TEST(WidthRecord, WritesCountThenWidthsLittleEndian) {
    EXPECT_EQ(WriteWidthRecord({80, 80, 80, 80, 80, 80}), Record({6, 80, 80, 80, 80, 80, 80}));
    EXPECT_EQ(WriteWidthRecord({80, 80, 80, 80, 80, 80}).size(), 28);
    EXPECT_EQ(WriteWidthRecord({0x01020304, -1}),
              QByteArray("\x02\0\0\0\x04\x03\x02\x01\xff\xff\xff\xff", 12));
    EXPECT_EQ(WriteWidthRecord({}), QByteArray(4, '\0'));
}

TEST(WidthRecord, ReadsWhatWasWritten) {
    const std::vector<int> widths = {120, 35, 0, 80, 1000, 7};
    EXPECT_EQ(ReadWidthRecord(WriteWidthRecord(widths), 6), widths);
}

struct ReadCase {
    const char* name;
    QByteArray record;
    int nCurrentCount;
    std::optional<std::vector<int>> expected;
};

TEST(WidthRecord, Reading) {
    const QByteArray six = Record({6, 100, 0, 80, 80, 80, 80});
    const ReadCase cases[] = {
        {"six columns", six, 6, std::vector<int>{100, 0, 80, 80, 80, 80}},
        {"table of five", six, 5, std::nullopt},
        {"table of seven", six, 7, std::nullopt},
        {"extra bytes ignored", six + QByteArray("xyz12"), 6, std::vector<int>{100, 0, 80, 80, 80, 80}},
        {"negative width becomes 0", Record({2, -40, 50}), 2, std::vector<int>{0, 50}},
        {"most negative width", Record({1, static_cast<int>(0x80000000u)}), 1, std::vector<int>{0}},
        {"empty record", QByteArray(), 0, std::nullopt},
        {"shorter than the count", QByteArray("\x06\0\0", 3), 6, std::nullopt},
        {"one width missing", six.left(24), 6, std::nullopt},
        {"last width cut", six.left(27), 6, std::nullopt},
        {"no columns", Record({0}), 0, std::vector<int>{}},
        {"negative count", Record({-1}), -1, std::nullopt},
        {"huge count, short record", Record({0x7fffffff, 80}), 0x7fffffff, std::nullopt},
    };
    for (const ReadCase& c : cases)
        EXPECT_EQ(ReadWidthRecord(c.record, c.nCurrentCount), c.expected) << c.name;
}

} // namespace
