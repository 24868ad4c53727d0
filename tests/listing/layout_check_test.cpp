#include "listing/layout_check.h"

#include <vector>

#include <gtest/gtest.h>

namespace {

struct Summary {
    std::size_t files, filesWithBlocks;
    std::uint64_t firstBlock, lastBlock, blocksUsed, gapBlocks;

    bool operator==(const Summary&) const = default;
};

Summary SummaryOf(const LayoutReport& report) {
    return {report.files,     report.filesWithBlocks, report.firstBlock,
            report.lastBlock, report.blocksUsed,      report.gapBlocks};
}

void PrintTo(const Summary& s, std::ostream* os) {
    *os << s.files << " files, " << s.filesWithBlocks << " with blocks, blocks " << s.firstBlock << "-"
        << s.lastBlock << ", used " << s.blocksUsed << ", gaps " << s.gapBlocks;
}

} // namespace

void PrintTo(const LayoutOverlap& o, std::ostream* os) {
    *os << "overlap " << o.first << "/" << o.second << " at " << o.firstShared << "-" << o.lastShared;
}
void PrintTo(const LayoutGap& g, std::ostream* os) {
    *os << "gap " << g.before << "/" << g.after << " at " << g.firstBlock << "-" << g.lastBlock;
}

TEST(CheckLayout, PlantedOverlapsAndGaps) {
    struct Case {
        const char* what;
        std::vector<LayoutFile> files;
        std::uint32_t blockSize;
        std::vector<LayoutOverlap> overlaps;
        std::vector<LayoutGap> gaps;
        Summary summary;
        std::vector<LayoutShared> shared = {};
    };
    const Case cases[] = {
        {"back to back, 2048 and 2049 bytes",
         {{10, 2048}, {11, 2049}, {13, 1}},
         2048,
         {},
         {},
         {3, 3, 10, 13, 4, 0}},
        {"empty files cover nothing, even where others lie",
         {{10, 4096}, {11, 0}, {500, 0}},
         2048,
         {},
         {},
         {3, 1, 10, 11, 2, 0}},
        {"a gap, found in block order from a listing out of order",
         {{20, 2048}, {10, 4096}},
         2048,
         {},
         {{1, 0, 12, 19}},
         {2, 2, 10, 20, 3, 8}},
        {"one shared block", {{10, 4096}, {11, 2048}}, 2048, {{0, 1, 11, 11}}, {}, {2, 2, 10, 11, 2, 0}},
        {"a file inside another, then a gap after the longer one",
         {{10, 10 * 2048}, {12, 2048}, {30, 1}},
         2048,
         {{0, 1, 12, 12}},
         {{0, 2, 20, 29}},
         {3, 3, 10, 30, 11, 10}},
        {"a pile on one block: each later file once, with the one reaching farthest",
         {{5, 1}, {5, 3 * 2048}, {6, 1}},
         2048,
         {{0, 1, 5, 5}, {1, 2, 6, 6}},
         {},
         {3, 3, 5, 7, 3, 0}},
        {"block size 512", {{0, 1024}, {2, 513}}, 512, {}, {}, {2, 2, 0, 3, 4, 0}},
        {"unsigned 32-bit values run past the top of the range",
         {{0xFFFFFFFFu, 0xFFFFFFFFu}, {0x7FFFFFFFu, 1}},
         2048,
         {},
         {{1, 0, 0x80000000ull, 0xFFFFFFFEull}},
         {2, 2, 0x7FFFFFFFull, 0xFFFFFFFFull + 0x200000ull - 1, 1 + 0x200000ull, 0x7FFFFFFFull}},
        {"no files", {}, 2048, {}, {}, {0, 0, 0, 0, 0, 0}},
        {"same extent three times amid others: shared with the first, no overlap, the gap after once",
         {{10, 4096}, {12, 1}, {10, 4096}, {10, 4096}, {20, 1}},
         2048,
         {},
         {{1, 4, 13, 19}},
         {5, 5, 10, 20, 4, 7},
         {{0, 2}, {0, 3}}},
        {"same start, other size: an overlap, not shared",
         {{10, 4096}, {10, 4095}, {10, 4096}},
         2048,
         {{0, 1, 10, 11}},
         {},
         {3, 3, 10, 11, 2, 0},
         {{0, 2}}},
    };
    for (const Case& c : cases) {
        const LayoutReport report = CheckLayout(c.files, c.blockSize);
        EXPECT_EQ(report.overlaps, c.overlaps) << c.what;
        EXPECT_EQ(report.gaps, c.gaps) << c.what;
        EXPECT_EQ(report.shared, c.shared) << c.what;
        EXPECT_EQ(SummaryOf(report), c.summary) << c.what;
    }
}
